#include "pickpathPlugin.h"

#include "aboutBox.h"
#include "commandTable.h"
#include "fileSearch.h"
#include "menuHelpers.h"
#include "optionsDialog.h"
#include "pickpathState.h"
#include "pluginHost.h"
#include "resource.h"
#include "searchSettings.h"

#include <new>

FuncItem funcItems[pickpathCommandCount];

namespace {
// Allocated once with the table and kept for the life of the library.
ShortcutKey* openShortcut = nullptr;

void fillCommandTable()
{
    if (openShortcut == nullptr)
        openShortcut = new (std::nothrow) ShortcutKey{false, true, false, 0x4F};
    setCommand(funcItems[openCommandIndex], L"Open current selection", openCurrentSelection, openShortcut);
    setCommand(funcItems[1], L"", nullptr, nullptr);
    setCommand(funcItems[optionsCommandIndex], L"Options...", showOptionsDialog, nullptr);
    setCommand(funcItems[3], L"", nullptr, nullptr);
    setCommand(funcItems[aboutCommandIndex], L"About", showAbout, nullptr);
}

// Adds the entry for "Open current selection" to the editing view's context menu, before the
// editor sees the menu. The menu is built anew for every showing, so the entry is added each time.
void addContextMenuEntry(HMENU menu)
{
    UINT_PTR openCommand = static_cast<UINT_PTR>(funcItems[openCommandIndex]._cmdID);
    if (pickpathOptions.ShowContextMenuEntryOnTop) {
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, static_cast<UINT_PTR>(-1), L"");
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, openCommand, L"Pickpath");
    } else {
        AppendMenuW(menu, MF_SEPARATOR, static_cast<UINT_PTR>(-1), L"");
        AppendMenuW(menu, MF_STRING, openCommand, L"Pickpath");
    }
}

// The toolbar image is made once and kept for the life of the library; it goes with the library.
void releaseToolbarBitmap()
{
    if (ToolbarIcons.hToolbarBmp != nullptr)
        DeleteObject(ToolbarIcons.hToolbarBmp);
    ToolbarIcons.hToolbarBmp = nullptr;
}

void addToolbarButton()
{
    // Made once and kept for the life of the library, however often the editor asks.
    if (ToolbarIcons.hToolbarBmp == nullptr)
        ToolbarIcons.hToolbarBmp = static_cast<HBITMAP>(LoadImageW(
            pluginModule, MAKEINTRESOURCEW(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE));
    ToolbarIcons.hToolbarIcon = nullptr;
    SendMessageW(nppData._nppHandle, NPPM_ADDTOOLBARICON, static_cast<WPARAM>(funcItems[openCommandIndex]._cmdID),
        reinterpret_cast<LPARAM>(&ToolbarIcons));
}
} // namespace

// The editor's main window procedure while Pickpath is loaded.
LRESULT CALLBACK pickpathWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == openSelectionMenuCommand) {
            openCurrentSelection();
            return 0;
        }
        break;
    case WM_INITMENUPOPUP: {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        if (isEditorContextMenuByCaption(menu) && pickpathOptions.ShowContextMenuEntry)
            addContextMenuEntry(menu);
        break;
    }
    }
    return CallWindowProcW(SavedWindowProc, window, message, wParam, lParam);
}

void onLibraryAttach(HINSTANCE module)
{
    pluginModule = module;
    fillCommandTable();
    loadSettings();
}

void onLibraryDetach(bool)
{
    // Put back only what was replaced: unloaded before NPPN_READY, the editor's procedure is untouched.
    if (SavedWindowProc != nullptr) {
        SetWindowLongPtrW(nppData._nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SavedWindowProc));
        SavedWindowProc = nullptr;
    }
    // Silent: the loader lock is held. Writes nothing when the save at shutdown already did.
    saveSettings(SaveMode::silently);
    releaseToolbarBitmap();
}

extern "C" FuncItem* getFuncsArray(int* count)
{
    if (count != nullptr)
        *count = pickpathCommandCount;
    return funcItems;
}

extern "C" void beNotified(SCNotification* notification)
{
    if (notification == nullptr)
        return;
    switch (notification->nmhdr.code) {
    case NPPN_READY:
        // Subclassing twice would make our procedure call itself.
        if (SavedWindowProc != nullptr)
            break;
        SavedWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(nppData._nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pickpathWndProc)));
        break;
    case NPPN_SHUTDOWN:
        saveSettings(SaveMode::tellUser);
        break;
    case NPPN_TBMODIFICATION:
        if (notification->nmhdr.hwndFrom == nppData._nppHandle && pickpathOptions.ShowToolBarButton)
            addToolbarButton();
        break;
    }
}
