// The plug-in's dialogs while they are open: each opens centred over the window it belongs to and
// follows the editor's dark mode, the one on top owns every message box the plug-in shows, and a
// command that would open a second one brings the open one forward instead.
#pragma once

#include <windows.h>

// At WM_INITDIALOG: centres the dialog over its owner, asks the editor to theme it and counts it
// as open.
void onDialogOpened(HWND dialog);
// At WM_DESTROY.
void onDialogClosed(HWND dialog);
// The window that owns a message box shown now: the dialog of the plug-in that takes input, so that
// closing the box gives the input back to it and the editor stays disabled; the editor's main
// window when no dialog of the plug-in is open.
HWND messageOwner();
// When a dialog of the plug-in is open, activates the one on top and answers true.
bool bringOpenDialogForward();
// Puts the dialog's centre over the owner's, within the owner's monitor's work area.
void centreOverOwner(HWND dialog, HWND owner);
