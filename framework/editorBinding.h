// A plug-in's binding to the editor's main window: its messages pass through the plug-in's handler
// for as long as the library is loaded. (The toolbar button is toolbarButton.h's.)
#pragma once

#include <windows.h>

// Sees every message of the editor's main window before the editor; true when it has answered the
// message (with 0), which then goes no further.
using EditorMessageHandler = bool (*)(UINT message, WPARAM wParam, LPARAM lParam);

// Puts the handler into the main window's chain, once. The common controls' subclassing keeps every
// plug-in's link apart, so plug-ins may bind and unbind in any order.
void bindEditorWindow(EditorMessageHandler handler);
// Takes the handler out of the chain again, if it is in; called at detach.
void unbindEditorWindow();
