// Pickpath's binding to the editor: the command table and the library's start and stop.
#pragma once

#include "hostInterface.h"

namespace pickpath {

constexpr int pickpathCommandCount = 5;
constexpr int openCommandIndex = 0;
// Where a separator was: the indexes of the commands after it, which the editor's shortcut
// settings keep, stay as they were.
constexpr int chooseCommandIndex = 1;
constexpr int optionsCommandIndex = 2;
constexpr int aboutCommandIndex = 4;

// A command the editor leaves free for plug-ins; sent to its main window, it opens the selection.
constexpr WORD openSelectionMenuCommand = 65101;

extern FuncItem funcItems[pickpathCommandCount];

// Pickpath's share of the editor's main window: the open command sent as a menu command, and the
// entry in the editing view's context menu.
bool onEditorMessage(UINT message, WPARAM wParam, LPARAM lParam);

// Called from the library's entry point; the test programs call them to stand in for it.
void onLibraryAttach(HINSTANCE module);
void onLibraryDetach(bool processEnding);

} // namespace pickpath
