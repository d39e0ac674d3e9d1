#include "helpSettings.h"

#include "keptSettings.h"
#include "settingsFile.h"
#include "settingsPath.h"
#include "textHelpers.h"

#include <strsafe.h>

namespace wordlamp {

namespace {
const wchar_t optionsSection[] = L"Options";

struct OptionKey {
    const wchar_t* key;
    int HelpOptions::*field;
    int whenMissing;
    bool isFlag; // flags are written as "1" or "0", the menu mode as the number it holds
};

// In the order in which the file holds them.
const OptionKey optionKeys[] = {
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

// What the file held beyond the options and the table, from the load to the last save.
KeptSettings keptSettings;
unsigned entriesNotShown = 0;
unsigned optionsLoadedFrom = 0;

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

void readOptions(const SettingsValues& values)
{
    for (const OptionKey& option : optionKeys)
        helpOptions.*option.field = values.number(option.key, option.whenMissing);
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
} // namespace

void loadSettings()
{
    entriesNotShown = takeSettingsSections(keptSettings, getSettingsFilePath(), helpEntryTable, optionsSection,
        optionKeys, entryKeys, readOptions, readEntry, optionsLoadedFrom);
}

void saveSettings(SaveMode mode)
{
    SettingsWriter writer;
    keptSettings.writeLeadingLines(writer);
    for (const OptionKey& option : optionKeys) {
        if (option.isFlag)
            writer.writeFlag(optionsSection, option.key, helpOptions.*option.field);
        else
            writer.writeNumber(optionsSection, option.key, helpOptions.*option.field);
    }
    keptSettings.writeKeptLines(writer, optionsLoadedFrom);
    for (unsigned i = 0; i < helpEntryTable.Count && i < MaxHelpEntries; ++i) {
        const HelpEntry& entry = helpEntryTable.Entries[i];
        // A section without a name can't be read back as an entry, and its keys would land outside
        // any section or hide the sections after it.
        if (entry.Name[0] == L'\0')
            continue;
        writer.write(entry.Name, L"Mask", entry.Mask);
        writer.write(entry.Name, L"File", entry.File);
        writer.writeFlag(entry.Name, L"Show", entry.Show);
        keptSettings.writeKeptLines(writer, entry.LoadedFrom);
    }
    finishSettingsSave(keptSettings, writer, getSettingsFilePath(), mode);
}

unsigned settingsEntriesNotShown()
{
    return entriesNotShown;
}

} // namespace wordlamp
