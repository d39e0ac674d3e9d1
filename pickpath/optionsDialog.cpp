#include "optionsDialog.h"

#include "entryEditor.h"
#include "openDialogs.h"
#include "pluginHost.h"
#include "resource.h"
#include "searchSettings.h"

#include <strsafe.h>

#include <memory>

namespace pickpath {

namespace {
class OptionsDialog final : public SearchEntryDialog {
public:
    OptionsDialog()
        : SearchEntryDialog(searchEntryTable)
    {
    }

private:
    std::wstring rowText(unsigned index) const override { return formatEntryRow(WorkingTable.Entries[index]); }
    unsigned entriesNotShown() const override { return settingsEntriesNotShown(); }
    bool runEntryEditor(HWND dialog, int slot) override { return editEntry(dialog, EditRecord, WorkingTable, slot); }

    void fillOptions(HWND dialog) override
    {
        check(dialog, IDC_TOOLBAR_BUTTON, pickpathOptions.ShowToolBarButton);
        check(dialog, IDC_CONTEXT_ENTRY, pickpathOptions.ShowContextMenuEntry);
        check(dialog, IDC_CONTEXT_ON_TOP, pickpathOptions.ShowContextMenuEntryOnTop);
    }

    void onOptionCommand(HWND, WORD) override { }

    void storeOptions(HWND dialog) override
    {
        pickpathOptions.ShowToolBarButton = isChecked(dialog, IDC_TOOLBAR_BUTTON);
        pickpathOptions.ShowContextMenuEntry = isChecked(dialog, IDC_CONTEXT_ENTRY);
        pickpathOptions.ShowContextMenuEntryOnTop = isChecked(dialog, IDC_CONTEXT_ON_TOP);
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
    if (dialog->show(pluginModule, IDD_OPTIONS, nppData._nppHandle))
        saveSettings(SaveMode::tellUser);
}

std::wstring formatEntryRow(const SearchEntry& entry)
{
    wchar_t row[textCapacity];
    StringCchPrintfW(row, _countof(row), L"%s (%s) => %s (%s)", entry.Name, entry.Mask, entry.Path, entry.Ext);
    return row;
}

} // namespace pickpath
