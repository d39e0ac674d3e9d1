#include "searchSettings.h"

#include "settingsPath.h"
#include "settingsStore.h"

#include <cstddef>

namespace pickpath {

namespace {
// In the order in which the file holds them.
const SettingKey optionKeys[] = {
    {L"ShowToolBarButton", SettingKind::flag, offsetof(PickpathOptions, ShowToolBarButton), 0, 0},
    {L"ShowContextMenuEntry", SettingKind::flag, offsetof(PickpathOptions, ShowContextMenuEntry), 0, 0},
    {L"ShowContextMenuEntryOnTop", SettingKind::flag, offsetof(PickpathOptions, ShowContextMenuEntryOnTop), 0, 0},
};

// An entry's keys besides its name, which is its section's.
const SettingKey entryKeys[] = {
    {L"Mask", SettingKind::text, offsetof(SearchEntry, Mask), pathCapacity, 0},
    {L"Path", SettingKind::text, offsetof(SearchEntry, Path), folderListCapacity, 0},
    {L"Ext", SettingKind::text, offsetof(SearchEntry, Ext), pathCapacity, 0},
};

const SettingsLayout<SearchEntry> layout = {optionKeys, _countof(optionKeys), entryKeys, _countof(entryKeys), nullptr};

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
