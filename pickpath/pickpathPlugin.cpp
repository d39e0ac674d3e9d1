#include "pickpathPlugin.h"

#include "aboutBox.h"
#include "commandTable.h"
#include "darkMode.h"
#include "editorBinding.h"
#include "editorCalls.h"
#include "menuHelpers.h"
#include "openCommands.h"
#include "optionsDialog.h"
#include "pickpathState.h"
#include "pluginHost.h"
#include "resource.h"
#include "searchSettings.h"
#include "statusNote.h"
#include "treeCache.h"

namespace pickpath {

FuncItem funcItems[pickpathCommandCount];

namespace {
// Kept with the table for the life of the library; the editor reads it where it is.
ShortcutKey openShortcut = {false, true, false, 0x4F};

const wchar_t chooseCommandCaption[] = L"Open current selection\x2026";

void fillCommandTable()
{
    setCommand(
        funcItems[openCommandIndex], L"Open current selection", guardedCommand<openCurrentSelection>, &openShortcut);
    // No key of its own: users give it one in the editor's shortcut settings.
    setCommand(funcItems[chooseCommandIndex], chooseCommandCaption, guardedCommand<chooseCurrentSelection>, nullptr);
    setCommand(funcItems[optionsCommandIndex], L"Options...", guardedCommand<showOptionsDialog>, nullptr);
    setCommand(funcItems[3], L"", nullptr, nullptr);
    setCommand(funcItems[aboutCommandIndex], L"About", guardedCommand<showAbout>, nullptr);
}

// Adds the entries for the two open commands to the editing view's context menu, before the
// editor sees the menu. The menu is built anew for every showing, so the entries are added each time.
void addContextMenuEntries(HMENU menu)
{
    UINT_PTR openCommand = static_cast<UINT_PTR>(funcItems[openCommandIndex]._cmdID);
    UINT_PTR chooseCommand = static_cast<UINT_PTR>(funcItems[chooseCommandIndex]._cmdID);
    if (pickpathOptions.ShowContextMenuEntryOnTop) {
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, static_cast<UINT_PTR>(-1), L"");
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, chooseCommand, chooseCommandCaption);
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, openCommand, L"Pickpath");
    } else {
        AppendMenuW(menu, MF_SEPARATOR, static_cast<UINT_PTR>(-1), L"");
        AppendMenuW(menu, MF_STRING, openCommand, L"Pickpath");
        AppendMenuW(menu, MF_STRING, chooseCommand, chooseCommandCaption);
    }
}

void addPickpathToolbarButton()
{
    // Made once and kept for the life of the library, however often the editor asks.
    makeToolbarImages(ToolbarButtonImages, pluginModule, {IDB_TOOLBAR, 0, IDI_TOOLBAR_LIGHT, IDI_TOOLBAR_DARK});
    registerToolbarButton(funcItems[openCommandIndex]._cmdID, ToolbarButtonImages);
}
} // namespace

bool onEditorMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == openSelectionMenuCommand) {
            openCurrentSelection();
            return true;
        }
        break;
    case WM_INITMENUPOPUP: {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        if (pickpathOptions.ShowContextMenuEntry && isEditorContextMenu(menu))
            addContextMenuEntries(menu);
        break;
    }
    }
    return false;
}

void onLibraryAttach(HINSTANCE module)
{
    pluginModule = module;
    fillCommandTable();
    loadSettings();
}

void onLibraryDetach(bool)
{
    // The editor's window must not keep calling into a library that is going away, nor a timer.
    unbindEditorWindow();
    forgetPassingNote();
    // Silent: the loader lock is held. Writes nothing when the save at shutdown already did.
    saveSettings(SaveMode::silently);
    releaseToolbarImages(ToolbarButtonImages);
}

} // namespace pickpath

using namespace pickpath;

extern "C" FuncItem* getFuncsArray(int* count)
{
    if (count != nullptr)
        *count = pickpathCommandCount;
    return funcItems;
}

namespace {
void onNotification(const SCNotification* notification)
{
    switch (notification->nmhdr.code) {
    case NPPN_READY:
        bindEditorWindow(onEditorMessage);
        // The first moment a message box may be shown: the load ran under the loader lock.
        tellIfSettingsUnread();
        break;
    case NPPN_SHUTDOWN:
        saveSettings(SaveMode::tellUser);
        // The watch thread ends here, on the editor's thread: not under the loader lock later.
        forgetHeldTrees();
        break;
    case NPPN_TBMODIFICATION:
        if (notification->nmhdr.hwndFrom == nppData._nppHandle && pickpathOptions.ShowToolBarButton)
            addPickpathToolbarButton();
        break;
    case NPPN_DARKMODECHANGED:
        onDarkModeChanged();
        break;
    }
}
} // namespace

extern "C" void beNotified(SCNotification* notification)
{
    if (notification != nullptr)
        callGuarded([notification] { onNotification(notification); });
}
