#include "searchSettings.h"

#include "settingsFile.h"
#include "settingsPath.h"
#include "textHelpers.h"

#include <strsafe.h>

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

    SectionNameList sections(path);
    for (const wchar_t* name = sections.first(); *name != L'\0'; name = SectionNameList::next(name)) {
        if (equalIgnoringAsciiCase(name, optionsSection) || isSectionLoaded(searchEntryTable, name))
            continue;
        // Sections beyond the table's capacity are left out.
        if (searchEntryTable.Count >= MaxSearchEntries)
            break;
        readEntry(path, name, searchEntryTable.Entries[searchEntryTable.Count]);
        ++searchEntryTable.Count;
    }
}

void saveSettings()
{
    // The new file is complete before it replaces the old one, so a failed save keeps the old settings.
    SettingsWriter writer(getSettingsFilePath());
    for (const OptionKey& option : optionKeys)
        writer.writeFlag(optionsSection, option.key, pickpathOptions.*option.field);
    for (unsigned i = 0; i < searchEntryTable.Count && i < MaxSearchEntries; ++i) {
        const SearchEntry& entry = searchEntryTable.Entries[i];
        writer.write(entry.Name, L"Mask", entry.Mask);
        writer.write(entry.Name, L"Path", entry.Path);
        writer.write(entry.Name, L"Ext", entry.Ext);
    }
    writer.commit();
}
