#include "helpSettings.h"

#include "settingsPath.h"
#include "settingsStore.h"
#include "textHelpers.h"

#include <strsafe.h>

#include <cstddef>

namespace wordlamp {

namespace {
// In the order in which the file holds them; the menu mode is written as the number it holds.
const SettingKey optionKeys[] = {
    {L"StayOnTop", SettingKind::flag, offsetof(HelpOptions, StayOnTop), 0, 0},
    {L"HelpMenuMode", SettingKind::number, offsetof(HelpOptions, HelpMenuMode), 0, 0},
    {L"HelpMenuSearchWord", SettingKind::flag, offsetof(HelpOptions, HelpMenuSearchWord), 0, 0},
    {L"ShowToolBarButton", SettingKind::flag, offsetof(HelpOptions, ShowToolBarButton), 0, 0},
    {L"ShowContextMenuEntry", SettingKind::flag, offsetof(HelpOptions, ShowContextMenuEntry), 0, 0},
    {L"ShowContextMenuEntryOnTop", SettingKind::flag, offsetof(HelpOptions, ShowContextMenuEntryOnTop), 0, 0},
    {L"ShowMenuIcons", SettingKind::flag, offsetof(HelpOptions, ShowMenuIcons), 0, 1},
};

// An entry's keys besides its name, which is its section's.
const SettingKey entryKeys[] = {
    {L"Mask", SettingKind::text, offsetof(HelpEntry, Mask), pathCapacity, 0},
    {L"File", SettingKind::text, offsetof(HelpEntry, File), pathCapacity, 0},
    {L"Show", SettingKind::flag, offsetof(HelpEntry, Show), 0, 0},
};

// Older files list extensions separated by blanks under "Extension" instead of a mask:
// "c cpp h" becomes "*.c;*.cpp;*.h", and a missing or empty value "*.".
void readLegacyMask(const SettingsValues& values, HelpEntry& entry)
{
    if (entry.Mask[0] != L'\0')
        return;
    wchar_t extensions[textCapacity];
    values.text(L"Extension", extensions, _countof(extensions));
    wchar_t mask[textCapacity];
    StringCchCopyW(mask, _countof(mask), L"*.");
    StringCchCatW(mask, _countof(mask), extensions);
    replaceSpaces(mask, _countof(mask), L";*.");
    // A mask too long for the entry is cut to fit.
    StringCchCopyW(entry.Mask, _countof(entry.Mask), mask);
}
const OlderKey<HelpEntry> extensionKey = {L"Extension", readLegacyMask};

const SettingsLayout<HelpEntry> layout
    = {optionKeys, _countof(optionKeys), entryKeys, _countof(entryKeys), &extensionKey};

// The options and the table as read and saved, and what the file held beyond them.
SettingsStore<HelpEntryTable, HelpOptions> settingsStore(helpEntryTable, helpOptions, layout);
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

} // namespace wordlamp
