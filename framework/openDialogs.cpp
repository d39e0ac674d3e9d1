#include "openDialogs.h"

#include "darkMode.h"
#include "pluginHost.h"

#include <algorithm>
#include <vector>

namespace {
// The Options dialog, its entry editor and what they open in turn, in the order they opened.
std::vector<HWND> openDialogs;

// Drops the open dialogs for which drop holds, keeping the others in their order.
template <typename Drop> void dropIf(Drop drop)
{
    openDialogs.erase(std::remove_if(openDialogs.begin(), openDialogs.end(), drop), openDialogs.end());
}

// A dialog destroyed without its WM_DESTROY reaching us (its thread ended) is no longer open.
void dropVanished()
{
    dropIf([](HWND dialog) { return IsWindow(dialog) == FALSE; });
}

HWND topDialog()
{
    dropVanished();
    return openDialogs.empty() ? nullptr : openDialogs.back();
}
} // namespace

void onDialogOpened(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    centreOverOwner(dialog, owner != nullptr ? owner : nppData._nppHandle);
    themeDialog(dialog);
    dropVanished();
    openDialogs.push_back(dialog);
}

void onDialogClosed(HWND dialog)
{
    forgetThemedDialog(dialog);
    dropIf([dialog](HWND open) { return open == dialog; });
}

HWND messageOwner()
{
    HWND dialog = topDialog();
    return dialog != nullptr ? dialog : nppData._nppHandle;
}

bool bringOpenDialogForward()
{
    HWND dialog = topDialog();
    if (dialog == nullptr)
        return false;
    if (IsIconic(dialog))
        ShowWindow(dialog, SW_RESTORE);
    SetForegroundWindow(dialog);
    SetActiveWindow(dialog);
    return true;
}

void centreOverOwner(HWND dialog, HWND owner)
{
    RECT own;
    RECT box;
    if (owner == nullptr || !GetWindowRect(owner, &own) || !GetWindowRect(dialog, &box))
        return;
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    int left = own.left + ((own.right - own.left) - width) / 2;
    int top = own.top + ((own.bottom - own.top) - height) / 2;
    // An editor partly off its screen still gets a dialog that shows whole, caption first.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (left + width > work.right)
            left = work.right - width;
        if (top + height > work.bottom)
            top = work.bottom - height;
        if (left < work.left)
            left = work.left;
        if (top < work.top)
            top = work.top;
    }
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
