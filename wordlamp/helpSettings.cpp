#include "helpSettings.h"

#include "settingsPath.h"
#include "settingsStore.h"
#include "textHelpers.h"

#include <strsafe.h>

namespace wordlamp {

namespace {
// In the order in which the file holds them; the menu mode is written as the number it holds.
const OptionKey<HelpOptions> optionKeys[] = {
    {L"StayOnTop", &HelpOptions::StayOnTop, 0, true},
    {L"HelpMenuMode", &HelpOptions::HelpMenuMode, 0, false},
    {L"HelpMenuSearchWord", &HelpOptions::HelpMenuSearchWord, 0, true},
    {L"ShowToolBarButton", &HelpOptions::ShowToolBarButton, 0, true},
    {L"ShowContextMenuEntry", &HelpOptions::ShowContextMenuEntry, 0, true},
    {L"ShowContextMenuEntryOnTop", &HelpOptions::ShowContextMenuEntryOnTop, 0, true},
    {L"ShowMenuIcons", &HelpOptions::ShowMenuIcons, 1, true},
};

// The keys of an entry's section the table takes; "Extension" is read into the mask and not
// written again.
const wchar_t* const entryKeys[] = {L"Mask", L"File", L"Show", L"Extension"};

// Older files list extensions separated by blanks under "Extension" instead of a mask:
// "c cpp h" becomes "*.c;*.cpp;*.h", and a missing or empty value "*.".
void readLegacyMask(const SettingsValues& values, HelpEntry& entry)
{
    wchar_t extensions[textCapacity];
    values.text(L"Extension", extensions, _countof(extensions));
    wchar_t mask[textCapacity];
    StringCchCopyW(mask, _countof(mask), L"*.");
    StringCchCatW(mask, _countof(mask), extensions);
    replaceSpaces(mask, _countof(mask), L";*.");
    // A mask too long for the entry is cut to fit.
    StringCchCopyW(entry.Mask, _countof(entry.Mask), mask);
}

void readEntry(const SettingsValues& values, const wchar_t* section, HelpEntry& entry)
{
    // The keys are read under the section's full name; only the stored name is cut to fit.
    StringCchCopyW(entry.Name, _countof(entry.Name), section);
    values.text(L"Mask", entry.Mask, _countof(entry.Mask));
    if (entry.Mask[0] == L'\0')
        readLegacyMask(values, entry);
    values.text(L"File", entry.File, _countof(entry.File));
    entry.Show = values.number(L"Show", 0);
}
bool writeEntry(SettingsWriter& writer, const HelpEntry& entry)
{
    // A section without a name can't be read back as an entry, and its keys would land outside
    // any section or hide the sections after it.
    if (entry.Name[0] == L'\0')
        return false;
    writer.write(entry.Name, L"Mask", entry.Mask);
    writer.write(entry.Name, L"File", entry.File);
    writer.writeFlag(entry.Name, L"Show", entry.Show);
    return true;
}

const SettingsLayout<HelpEntry, HelpOptions> layout
    = {optionKeys, _countof(optionKeys), entryKeys, _countof(entryKeys), readEntry, writeEntry};

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
