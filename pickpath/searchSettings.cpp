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

void readEntry(const wchar_t* path, const wchar_t* section, SearchEntry& entry)
{
    // The keys are read under the section's full name; only the stored name is cut to fit.
    StringCchCopyW(entry.Name, _countof(entry.Name), section);
    readSetting(path, section, L"Mask", entry.Mask, _countof(entry.Mask));
    readSetting(path, section, L"Path", entry.Path, _countof(entry.Path));
    readSetting(path, section, L"Ext", entry.Ext, _countof(entry.Ext));
}
} // namespace

void loadSettings()
{
    const wchar_t* path = getSettingsFilePath();
    for (const OptionKey& option : optionKeys)
        pickpathOptions.*option.field = static_cast<int>(GetPrivateProfileIntW(optionsSection, option.key, 0, path));

    entriesNotShown
        = takeSettingsSections(keptSettings, path, searchEntryTable, optionsSection, optionKeys, entryKeys, readEntry);
}

void saveSettings(SaveMode mode)
{
    SettingsWriter writer;
    keptSettings.writeLeadingLines(writer);
    for (const OptionKey& option : optionKeys)
        writer.writeFlag(optionsSection, option.key, pickpathOptions.*option.field);
    keptSettings.writeKeptLines(writer, optionsSection);
    for (unsigned i = 0; i < searchEntryTable.Count && i < MaxSearchEntries; ++i) {
        const SearchEntry& entry = searchEntryTable.Entries[i];
        writer.write(entry.Name, L"Mask", entry.Mask);
        writer.write(entry.Name, L"Path", entry.Path);
        writer.write(entry.Name, L"Ext", entry.Ext);
        keptSettings.writeKeptLines(writer, entry.Name);
    }
    finishSettingsSave(keptSettings, writer, getSettingsFilePath(), mode);
}

unsigned settingsEntriesNotShown()
{
    return entriesNotShown;
}

} // namespace pickpath
