#include "openDialogs.h"

#include "darkMode.h"
#include "pluginHost.h"

namespace {
// The Options dialog, its entry editor and what they open in turn, in the order they opened.
constexpr int maxOpenDialogs = 8;
HWND openDialogs[maxOpenDialogs] = {};
int openCount = 0;

// Keeps the open dialogs for which keep holds, in their order.
template <typename Keep> void keepOnly(Keep keep)
{
    int kept = 0;
    for (int i = 0; i < openCount; ++i)
        if (keep(openDialogs[i]))
            openDialogs[kept++] = openDialogs[i];
    for (int i = kept; i < openCount; ++i)
        openDialogs[i] = nullptr;
    openCount = kept;
}

// A dialog destroyed without its WM_DESTROY reaching us (its thread ended) is no longer open.
void dropVanished()
{
    keepOnly([](HWND dialog) { return IsWindow(dialog) != FALSE; });
}

HWND topDialog()
{
    dropVanished();
    return openCount > 0 ? openDialogs[openCount - 1] : nullptr;
}
} // namespace

void onDialogOpened(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    centreOverOwner(dialog, owner != nullptr ? owner : nppData._nppHandle);
    themeDialog(dialog);
    dropVanished();
    if (openCount < maxOpenDialogs)
        openDialogs[openCount++] = dialog;
}

void onDialogClosed(HWND dialog)
{
    forgetThemedDialog(dialog);
    keepOnly([dialog](HWND open) { return open != dialog; });
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
