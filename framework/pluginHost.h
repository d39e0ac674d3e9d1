// What a plug-in knows of its host and of itself: the editor's window handles and the library's module.
#pragma once

#include "hostInterface.h"

// Handed over by the editor through setInfo; null until then.
extern NppData nppData;
// Kept when the library is attached; its version resource is the plug-in's identity.
extern HINSTANCE pluginModule;

// Full file name of a module (null: the process's program file); empty when it can't be obtained
// whole.
void getModuleFileName(HMODULE module, wchar_t* buffer, size_t capacity);
// Full file name of the plug-in's own library; empty when it can't be obtained.
void getPluginFileName(wchar_t* buffer, size_t capacity);
// The folder of the editor's program file (the process's main executable); empty when unknown.
void getProgramFolder(wchar_t* buffer, size_t capacity);

// Sends a request whose answer the editor writes into buffer. The buffer is emptied first, so
// an unanswered request leaves an empty text rather than an earlier answer.
void askEditor(UINT message, wchar_t* buffer, size_t capacity);
