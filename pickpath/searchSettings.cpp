#include "searchSettings.h"

#include "settingsPath.h"
#include "settingsStore.h"

#include <strsafe.h>

namespace pickpath {

namespace {
// In the order in which the file holds them.
const OptionKey<PickpathOptions> optionKeys[] = {
    {L"ShowToolBarButton", &PickpathOptions::ShowToolBarButton, 0, true},
    {L"ShowContextMenuEntry", &PickpathOptions::ShowContextMenuEntry, 0, true},
    {L"ShowContextMenuEntryOnTop", &PickpathOptions::ShowContextMenuEntryOnTop, 0, true},
};

// The keys of an entry's section the table takes.
const wchar_t* const entryKeys[] = {L"Mask", L"Path", L"Ext"};

void readEntry(const SettingsValues& values, const wchar_t* section, SearchEntry& entry)
{
    // The keys are read under the section's full name; only the stored name is cut to fit.
    StringCchCopyW(entry.Name, _countof(entry.Name), section);
    values.text(L"Mask", entry.Mask, _countof(entry.Mask));
    values.text(L"Path", entry.Path, _countof(entry.Path));
    values.text(L"Ext", entry.Ext, _countof(entry.Ext));
}

bool writeEntry(SettingsWriter& writer, const SearchEntry& entry)
{
    writer.write(entry.Name, L"Mask", entry.Mask);
    writer.write(entry.Name, L"Path", entry.Path);
    writer.write(entry.Name, L"Ext", entry.Ext);
    return true;
}

const SettingsLayout<SearchEntry, PickpathOptions> layout
    = {optionKeys, _countof(optionKeys), entryKeys, _countof(entryKeys), readEntry, writeEntry};

// The options and the table as read and saved, and what the file held beyond them.
SettingsStore<SearchEntryTable, PickpathOptions> settingsStore(searchEntryTable, pickpathOptions, layout);
} // namespace

void loadSettings()
{
    settingsStore.load(getSettingsFilePath().c_str());
}

void saveSettings(SaveMode mode)
{
    settingsStore.save(getSettingsFilePath().c_str(), mode);
}

void tellIfSettingsUnread()
{
    settingsStore.tellIfUnread(getSettingsFilePath().c_str());
}

unsigned settingsEntriesNotShown()
{
    return settingsStore.entriesNotShown();
}

} // namespace pickpath
