#include "searchSettings.h"

#include "keptSettings.h"
#include "settingsFile.h"
#include "settingsPath.h"
#include "textHelpers.h"

#include <strsafe.h>

namespace pickpath {

namespace {
const wchar_t optionsSection[] = L"Options";

struct OptionKey {
    const wchar_t* key;
    int PickpathOptions::*field;
};

// In the order in which the file holds them.
const OptionKey optionKeys[] = {
    {L"ShowToolBarButton", &PickpathOptions::ShowToolBarButton},
    {L"ShowContextMenuEntry", &PickpathOptions::ShowContextMenuEntry},
    {L"ShowContextMenuEntryOnTop", &PickpathOptions::ShowContextMenuEntryOnTop},
};

// The keys of an entry's section the table takes.
const wchar_t* const entryKeys[] = {L"Mask", L"Path", L"Ext"};

// What the file held beyond the options and the table, from the load to the last save.
KeptSettings keptSettings;
unsigned entriesNotShown = 0;
unsigned optionsLoadedFrom = 0;

void readOptions(const SettingsValues& values)
{
    for (const OptionKey& option : optionKeys)
        pickpathOptions.*option.field = values.number(option.key, 0);
}

void readEntry(const SettingsValues& values, const wchar_t* section, SearchEntry& entry)
{
    // The keys are read under the section's full name; only the stored name is cut to fit.
    StringCchCopyW(entry.Name, _countof(entry.Name), section);
    values.text(L"Mask", entry.Mask, _countof(entry.Mask));
    values.text(L"Path", entry.Path, _countof(entry.Path));
    values.text(L"Ext", entry.Ext, _countof(entry.Ext));
}
} // namespace

void loadSettings()
{
    entriesNotShown = takeSettingsSections(keptSettings, getSettingsFilePath(), searchEntryTable, optionsSection,
        optionKeys, entryKeys, readOptions, readEntry, optionsLoadedFrom);
}

void saveSettings(SaveMode mode)
{
    SettingsWriter writer;
    keptSettings.writeLeadingLines(writer);
    for (const OptionKey& option : optionKeys)
        writer.writeFlag(optionsSection, option.key, pickpathOptions.*option.field);
    keptSettings.writeKeptLines(writer, optionsLoadedFrom);
    for (unsigned i = 0; i < searchEntryTable.Count && i < MaxSearchEntries; ++i) {
        const SearchEntry& entry = searchEntryTable.Entries[i];
        writer.write(entry.Name, L"Mask", entry.Mask);
        writer.write(entry.Name, L"Path", entry.Path);
        writer.write(entry.Name, L"Ext", entry.Ext);
        keptSettings.writeKeptLines(writer, entry.LoadedFrom);
    }
    finishSettingsSave(keptSettings, writer, getSettingsFilePath(), mode);
}

unsigned settingsEntriesNotShown()
{
    return entriesNotShown;
}

} // namespace pickpath
