#include "wordlampPlugin.h"

#include "aboutBox.h"
#include "commandTable.h"
#include "darkMode.h"
#include "editorBinding.h"
#include "editorCalls.h"
#include "helpLookup.h"
#include "helpSettings.h"
#include "msHelpViewer.h"
#include "optionsDialog.h"
#include "pluginHost.h"
#include "resource.h"
#include "wordlampMenus.h"
#include "wordlampState.h"

namespace wordlamp {

FuncItem funcItems[wordlampCommandCount];

namespace {
// Kept with the table for the life of the library; the editor reads it where it is.
ShortcutKey helpShortcut = {true, false, false, VK_F1};

void fillCommandTable()
{
    setCommand(funcItems[helpCommandIndex], L"Help", guardedCommand<lookupHelp>, &helpShortcut);
    setCommand(funcItems[1], L"", nullptr, nullptr);
    setCommand(funcItems[optionsCommandIndex], L"Options...", guardedCommand<showOptionsDialog>, nullptr);
    setCommand(funcItems[3], L"", nullptr, nullptr);
    setCommand(funcItems[aboutCommandIndex], L"About", guardedCommand<showAbout>, nullptr);
}
} // namespace

void onLibraryAttach(HINSTANCE module)
{
    pluginModule = module;
    makeMenuBitmaps(module);
    fillCommandTable();
    loadSettings();
}

void onLibraryDetach(bool)
{
    // The editor's window must not keep calling into a library that is going away.
    unbindEditorWindow();
    // Silent: the loader lock is held. Writes nothing when the save at shutdown already did.
    saveSettings(SaveMode::silently);
    abandonMsHelpClient();
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

namespace {
void onNotification(const SCNotification* notification)
{
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
        // COM is left on the editor's thread now, not at detach, where the loader lock forbids it.
        releaseMsHelpClient();
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
} // namespace

extern "C" void beNotified(SCNotification* notification)
{
    if (notification != nullptr)
        callGuarded([notification] { onNotification(notification); });
}
