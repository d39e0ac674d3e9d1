// Message boxes the plug-ins show the user: owned by the editor's main window.
#pragma once

#include <windows.h>

// OK button and information icon, captioned with the plug-in's display name.
void showInformation(const wchar_t* text);
// Any caption and style; the editor's main window owns the box.
void showMessage(const wchar_t* text, const wchar_t* caption, UINT style);
