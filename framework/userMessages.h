// Message boxes the plug-ins show the user: owned by the plug-in's dialog on top while one is open
// (so the editor stays disabled until the dialog closes), else by the editor's main window.
#pragma once

#include <windows.h>

// OK button and information icon, captioned with the plug-in's display name.
void showInformation(const wchar_t* text);
// Any caption and style.
void showMessage(const wchar_t* text, const wchar_t* caption, UINT style);
// What the system says about an error code, without the line break it ends with; "error N" when it
// says nothing.
void describeSystemError(DWORD error, wchar_t* reason, size_t capacity);
