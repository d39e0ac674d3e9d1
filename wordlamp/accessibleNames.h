// Names for screen readers where a control's own text says too little (a "..." button): given
// through the system's accessibility annotations, where the system offers them.
#pragma once

#include <windows.h>

namespace wordlamp {

// At the dialog's WM_INITDIALOG; false where the system keeps no annotations.
bool setAccessibleName(HWND control, const wchar_t* name);
// At the dialog's WM_DESTROY.
void clearAccessibleName(HWND control);

} // namespace wordlamp
