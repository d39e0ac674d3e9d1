#include "optionsDialog.h"

#include "entryEditor.h"
#include "helpSettings.h"
#include "openDialogs.h"
#include "pluginHost.h"
#include "resource.h"
#include "wordlampMenus.h"

#include <strsafe.h>

#include <memory>

namespace wordlamp {

namespace {
// The radio buttons in the order of the modes they stand for.
const int menuModeButtons[] = {IDC_MENU_DONT_SHOW, IDC_MENU_PLUGIN, IDC_MENU_HELP, IDC_MENU_CONTEXT};
static_assert(_countof(menuModeButtons) == helpMenuModeCount, "one radio button per mode");

class OptionsDialog final : public HelpEntryDialog {
public:
    OptionsDialog()
        : HelpEntryDialog(helpEntryTable)
    {
    }

private:
    std::wstring rowText(unsigned index) const override { return formatEntryRow(WorkingTable.Entries[index]); }
    unsigned entriesNotShown() const override { return settingsEntriesNotShown(); }
    bool runEntryEditor(HWND dialog, int slot) override { return editEntry(dialog, EditRecord, WorkingTable, slot); }

    void fillOptions(HWND dialog) override
    {
        check(dialog, IDC_STAY_ON_TOP, helpOptions.StayOnTop);
        check(dialog, IDC_MENU_SEARCH_WORD, helpOptions.HelpMenuSearchWord);
        check(dialog, IDC_TOOLBAR_BUTTON, helpOptions.ShowToolBarButton);
        check(dialog, IDC_CONTEXT_ENTRY, helpOptions.ShowContextMenuEntry);
        check(dialog, IDC_CONTEXT_ON_TOP, helpOptions.ShowContextMenuEntryOnTop);
        check(dialog, IDC_MENU_ICONS, helpOptions.ShowMenuIcons);
        // An unknown mode checks none of the four.
        for (int mode = 0; mode < helpMenuModeCount; ++mode)
            check(dialog, menuModeButtons[mode], helpOptions.HelpMenuMode == mode);
        enableControl(dialog, IDC_MENU_SEARCH_WORD, helpOptions.HelpMenuMode != HelpMenuNowhere);
    }

    void onOptionCommand(HWND dialog, WORD id) override
    {
        switch (id) {
        case IDC_MENU_DONT_SHOW:
        case IDC_MENU_PLUGIN:
        case IDC_MENU_HELP:
        case IDC_MENU_CONTEXT:
            // The search word matters only where the entries are shown.
            enableControl(dialog, IDC_MENU_SEARCH_WORD, !isChecked(dialog, IDC_MENU_DONT_SHOW));
            break;
        case IDC_CONTEXT_ENTRY:
            enableControl(dialog, IDC_CONTEXT_ON_TOP, isChecked(dialog, IDC_CONTEXT_ENTRY));
            break;
        }
    }

    void storeOptions(HWND dialog) override
    {
        helpOptions.StayOnTop = isChecked(dialog, IDC_STAY_ON_TOP);
        // No radio button checked (an unknown mode kept as it was) stores "nowhere".
        helpOptions.HelpMenuMode = HelpMenuNowhere;
        for (int mode = helpMenuModeCount - 1; mode > 0; --mode)
            if (isChecked(dialog, menuModeButtons[mode]))
                helpOptions.HelpMenuMode = mode;
        // A disabled box keeps its state and is read like any other.
        helpOptions.HelpMenuSearchWord = isChecked(dialog, IDC_MENU_SEARCH_WORD);
        helpOptions.ShowToolBarButton = isChecked(dialog, IDC_TOOLBAR_BUTTON);
        helpOptions.ShowContextMenuEntry = isChecked(dialog, IDC_CONTEXT_ENTRY);
        helpOptions.ShowContextMenuEntryOnTop = isChecked(dialog, IDC_CONTEXT_ON_TOP);
        helpOptions.ShowMenuIcons = isChecked(dialog, IDC_MENU_ICONS);
        rebuildHelpMenuEntries();
    }
};
} // namespace

void showOptionsDialog()
{
    // One Options dialog at a time: a second one would store its own working copy over the first's.
    if (bringOpenDialogForward())
        return;
    // Unless the editor never said it was ready, this was told already.
    tellIfSettingsUnread();
    // The working copy is too large for the stack; it lives as long as the dialog. Saved at OK,
    // where a failure can be told, rather than only at unload, where it can't.
    auto dialog = std::make_unique<OptionsDialog>();
    if (dialog->show(pluginModule, IDD_OPTIONS, nppData._nppHandle)) {
        saveSettings(SaveMode::tellUser);
        // The save takes in entries the user added to the file by hand meanwhile.
        rebuildHelpMenuEntries();
    }
}

std::wstring formatEntryRow(const HelpEntry& entry)
{
    wchar_t row[textCapacity];
    StringCchPrintfW(row, _countof(row), L"%s (%s) => %s", entry.Name, entry.Mask, entry.File);
    return row;
}

} // namespace wordlamp
