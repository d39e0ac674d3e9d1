#include "wordlampPlugin.h"

#include "aboutBox.h"
#include "commandTable.h"
#include "darkMode.h"
#include "editorBinding.h"
#include "helpLookup.h"
#include "helpSettings.h"
#include "msHelpViewer.h"
#include "optionsDialog.h"
#include "pluginHost.h"
#include "resource.h"
#include "wordlampMenus.h"
#include "wordlampState.h"

#include <new>

namespace wordlamp {

FuncItem funcItems[wordlampCommandCount];

namespace {
// Allocated once with the table and kept for the life of the library.
ShortcutKey* helpShortcut = nullptr;

void fillCommandTable()
{
    if (helpShortcut == nullptr)
        helpShortcut = new (std::nothrow) ShortcutKey{true, false, false, VK_F1};
    setCommand(funcItems[helpCommandIndex], L"Help", lookupHelp, helpShortcut);
    setCommand(funcItems[1], L"", nullptr, nullptr);
    setCommand(funcItems[optionsCommandIndex], L"Options...", showOptionsDialog, nullptr);
    setCommand(funcItems[3], L"", nullptr, nullptr);
    setCommand(funcItems[aboutCommandIndex], L"About", showAbout, nullptr);
}
} // namespace

void onLibraryAttach(HINSTANCE module)
{
    pluginModule = module;
    makeMenuBitmaps(module);
    fillCommandTable();
    loadSettings();
}

void onLibraryDetach(bool processEnding)
{
    // The editor's window must not keep calling into a library that is going away.
    unbindEditorWindow();
    // Silent: the loader lock is held. Writes nothing when the save at shutdown already did.
    saveSettings(SaveMode::silently);
    releaseMsHelpClient(processEnding);
    releaseToolbarImages(ToolbarButtonImages);
    releaseMenuBitmaps();
}

} // namespace wordlamp

using namespace wordlamp;

extern "C" FuncItem* getFuncsArray(int* count)
{
    if (count != nullptr)
        *count = wordlampCommandCount;
    return funcItems;
}

extern "C" void beNotified(SCNotification* notification)
{
    if (notification == nullptr)
        return;
    switch (notification->nmhdr.code) {
    case NPPN_READY:
        rebuildHelpMenuEntries();
        bindEditorWindow(onEditorMessage);
        if (helpOptions.ShowMenuIcons)
            setPluginMenuIcons();
        // The first moment a message box may be shown: the load ran under the loader lock.
        tellIfSettingsUnread();
        break;
    case NPPN_SHUTDOWN:
        saveSettings(SaveMode::tellUser);
        break;
    case NPPN_TBMODIFICATION:
        if (notification->nmhdr.hwndFrom != nppData._nppHandle || !helpOptions.ShowToolBarButton)
            break;
        makeToolbarImages(ToolbarButtonImages, pluginModule, {0, IDI_HELP_ICON, IDI_TOOLBAR_LIGHT, IDI_TOOLBAR_DARK});
        registerToolbarButton(funcItems[helpCommandIndex]._cmdID, ToolbarButtonImages);
        break;
    case NPPN_DARKMODECHANGED:
        onDarkModeChanged();
        break;
    }
}
