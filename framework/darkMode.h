// Following the editor's dark mode: the plug-in's dialogs are themed by the editor itself, at
// their start and whenever the user switches the mode, on editors that offer it.
#pragma once

#include "hostInterface.h"

// At WM_INITDIALOG: asks the editor to theme the dialog and keeps it for later switches. Does
// nothing on an editor too old to theme plug-in dialogs.
void themeDialog(HWND dialog);
// At WM_DESTROY: the dialog no longer follows the mode.
void forgetThemedDialog(HWND dialog);
// At NPPN_DARKMODECHANGED: every open dialog takes the new mode.
void onDarkModeChanged();
