// The object a dialog belongs to, for its dialog procedure.
#pragma once

#include <windows.h>

// The object handed over in WM_INITDIALOG's lParam and kept with the dialog from then on; null for
// the messages that come before WM_INITDIALOG, which take the default handling.
template <class Object> Object* dialogObject(HWND dialog, UINT message, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<Object*>(GetWindowLongPtrW(dialog, DWLP_USER));
}
