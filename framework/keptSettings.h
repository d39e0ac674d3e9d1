// What the settings file held when it was loaded: every section and line the plug-in's tables did
// not take (sections past the table's capacity, sections it doesn't know, keys it doesn't know),
// kept raw to be written back unchanged after the ones the tables hold, and the file's bytes, so a
// save that would write them again writes nothing.
#pragma once

#include "settingsFile.h"
#include "textHelpers.h"

class KeptSettings {
public:
    KeptSettings() = default;
    ~KeptSettings();
    KeptSettings(const KeptSettings&) = delete;
    KeptSettings& operator=(const KeptSettings&) = delete;

    // Reads the file as the profile reader does: UTF-16 after a byte-order mark (either order),
    // UTF-8 after its mark, otherwise the ANSI code page; a line ends at any run of CR and LF; a
    // line whose first non-blank character is "[" and which has a "]" after it starts a section
    // named by what lies between the "[" and the last "]", without blanks around it. Forgets what an
    // earlier read kept. A missing or unreadable file keeps nothing.
    void read(const wchar_t* path);

    unsigned sectionCount() const { return sectionCount_; }
    // A section's name as the profile reader lists it.
    const wchar_t* sectionName(unsigned section) const;
    // Whether the file's text is held, so values can be read from it rather than from the file.
    bool holdsText() const { return sections_ != nullptr; }
    // Whether there was a file to read (held or not).
    bool fileExisted() const { return fileExisted_; }
    // The value of the section's first line that sets the key (compared as the profile reader
    // compares keys) with "=", as the reader takes it: without the blanks around it and up to a NUL
    // it may hold, still inside any quotes. nullptr when no line sets the key.
    const wchar_t* findValue(unsigned section, const wchar_t* key, size_t* length) const;

    // The section gave the options or one of the table's entries: the lines of the keys (compared as
    // the profile reader compares them) are the table's; every other line of the section is kept for
    // whatever it gave, and the section is no longer kept whole.
    void markLoaded(unsigned section, const wchar_t* const* keys, size_t keyCount);

    // Lines before the first section, for the top of the file.
    void writeLeadingLines(SettingsWriter& writer) const;
    // The kept lines of the section an entry or the options were loaded from, to follow the keys just
    // written for them, whatever name they have now. loadedFrom is 1 + the section, 0 for none.
    void writeKeptLines(SettingsWriter& writer, unsigned loadedFrom) const;
    // Every section no table took, unchanged and in file order, for the end of the file.
    void writeUnloadedSections(SettingsWriter& writer) const;

    // Replaces the settings file by the writer's text unless that is what the file held when read
    // or last saved. Answers ERROR_SUCCESS or the system's error code.
    DWORD save(const wchar_t* path, const SettingsWriter& writer);

private:
    struct Section {
        size_t start;     // the header line; for the leading lines, the start of the text
        size_t bodyStart; // the line after the header
        size_t end;
        size_t nameStart; // into names_
        wchar_t* keptLines = nullptr; // what the tables didn't take of a loaded section
        size_t keptLength = 0;
        bool loaded = false;
    };

    void clear();
    bool addSection(size_t start, size_t bodyStart, const wchar_t* name, size_t nameLength);

    wchar_t* text_ = nullptr;
    size_t length_ = 0;
    wchar_t* names_ = nullptr; // every section name, each ended by a NUL
    size_t namesLength_ = 0;
    Section* sections_ = nullptr; // sections_[0] holds the lines before the first section
    unsigned sectionCount_ = 0;
    unsigned sectionCapacity_ = 0;
    unsigned long long fingerprint_ = 0; // of the bytes the file held when read or last saved
    bool fileExisted_ = false;
};

// The values of one section as the profile functions read them: from the kept text when the file
// is held, from the file itself when it couldn't be (too large, or memory ran out). A section the
// file lacks, or a missing file, gives every key's default.
class SettingsValues {
public:
    // section: the index in kept, or noSection.
    SettingsValues(const KeptSettings& kept, unsigned section, const wchar_t* path, const wchar_t* name)
        : kept_(kept), section_(section), path_(path), name_(name)
    {
    }
    static constexpr unsigned noSection = ~0u;

    // The value, without one pair of quotes enclosing it, cut to fit capacity characters; empty when
    // the key is missing.
    void text(const wchar_t* key, wchar_t* buffer, size_t capacity) const;
    // The value's leading number as the profile reader reads it (blanks and a sign before it, decimal
    // unless "0b", "0o" or "0x" says otherwise); whenMissing when the key is missing or its value empty.
    int number(const wchar_t* key, int whenMissing) const;

private:
    const KeptSettings& kept_;
    unsigned section_;
    const wchar_t* path_;
    const wchar_t* name_;
};

// The bytes a save would write for the text, as a fingerprint.
unsigned long long settingsFingerprint(const wchar_t* text, size_t length);

// Fills the Options dialog's note on the entries the file holds beyond those it shows; empty when
// there are none.
void showEntriesNotShown(HWND dialog, int control, unsigned count);

// Ends a save: every section no table took goes after the writer's entries, and the file is
// replaced unless it already holds that text; a failure is told to the user when the mode asks.
void finishSettingsSave(KeptSettings& kept, SettingsWriter& writer, const wchar_t* path, SaveMode mode);

// Reads the file into kept and takes its sections, in file order, as the options and the entries
// of a table: the first section named optionsSection is the options' (its optionKeys' keys are
// theirs, any other line is kept; optionsLoadedFrom tells it to writeKeptLines) and
// readOptions(values) reads them, from that section or, when there is none, as defaults; every
// other named section not already in the table becomes the next entry through readEntry(values,
// name, entry), which reads it under its full name, while the table has room; the entry's
// LoadedFrom tells its section to writeKeptLines. Later sections of a name already taken, and the
// sections past the table's capacity, stay in the file as they are. The file is read once. Answers
// how many entries the file holds beyond capacity.
template <typename EntryTable, typename OptionKey, size_t optionCount, size_t entryKeyCount, typename ReadOptions,
    typename ReadEntry>
unsigned takeSettingsSections(KeptSettings& kept, const wchar_t* path, EntryTable& table,
    const wchar_t* optionsSection, const OptionKey (&optionKeys)[optionCount],
    const wchar_t* const (&entryKeys)[entryKeyCount], ReadOptions readOptions, ReadEntry readEntry,
    unsigned& optionsLoadedFrom)
{
    constexpr unsigned capacity = sizeof(table.Entries) / sizeof(table.Entries[0]);
    const wchar_t* optionKeyNames[optionCount];
    for (size_t i = 0; i < optionCount; ++i)
        optionKeyNames[i] = optionKeys[i].key;
    kept.read(path);
    optionsLoadedFrom = 0;
    unsigned notShown = 0;
    bool optionsRead = false;
    for (unsigned section = 0; section < kept.sectionCount(); ++section) {
        const wchar_t* name = kept.sectionName(section);
        // The profile functions read the first section of a name; any later one is kept as it is.
        if (equalIgnoringAsciiCase(name, optionsSection)) {
            if (!optionsRead) {
                readOptions(SettingsValues(kept, section, path, optionsSection));
                kept.markLoaded(section, optionKeyNames, optionCount);
                optionsLoadedFrom = section + 1;
            }
            optionsRead = true;
            continue;
        }
        if (name[0] == L'\0' || isSectionLoaded(table, name))
            continue;
        // Sections beyond the table's capacity stay in the file, unseen.
        if (table.Count >= capacity) {
            ++notShown;
            continue;
        }
        auto& entry = table.Entries[table.Count];
        readEntry(SettingsValues(kept, section, path, name), name, entry);
        entry.LoadedFrom = section + 1;
        kept.markLoaded(section, entryKeys, entryKeyCount);
        ++table.Count;
    }
    if (!optionsRead)
        readOptions(SettingsValues(kept, SettingsValues::noSection, path, optionsSection));
    return notShown;
}
