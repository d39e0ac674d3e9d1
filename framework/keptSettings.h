// What the settings file held when it was loaded: every section and line the plug-in's tables did
// not take (sections past the table's capacity, sections it doesn't know, keys it doesn't know),
// kept raw to be written back unchanged after the ones the tables hold, and the file's bytes, so a
// save that would write them again writes nothing.
#pragma once

#include "settingsFile.h"

#include <string>
#include <string_view>
#include <vector>

class KeptSettings {
public:
    // Reads the file as the profile reader does (see iniText.h); a line ends at any run of CR and
    // LF. Forgets what an earlier read kept. A file another program holds is tried again for about a
    // second, as a save does. A missing file keeps nothing; one that can't be read keeps nothing
    // and answers the system's reason, also kept as readError().
    DWORD read(const wchar_t* path);
    // Takes the text a save has just written as what the file holds, as read would find it.
    void takeText(const std::wstring& text);

    unsigned sectionCount() const { return holdsText() ? static_cast<unsigned>(sections_.size() - 1) : 0; }
    // A section's name as the profile reader lists it.
    const wchar_t* sectionName(unsigned section) const;
    // Whether the file's text is held, so values can be read from it rather than from the file.
    bool holdsText() const { return !sections_.empty(); }
    // Whether there was a file to read (held or not).
    bool fileExisted() const { return fileExisted_; }
    // ERROR_SUCCESS, or why an existing file could not be read.
    DWORD readError() const { return readError_; }
    // Whether values must be asked of the file itself: it was read but is too large to keep.
    bool valuesFromFile() const { return fileExisted_ && readError_ == ERROR_SUCCESS && !holdsText(); }
    // Of the bytes the file held when read or last saved: the same fingerprint, the same file.
    unsigned long long fingerprint() const { return fingerprint_; }
    // The value of the section's first line that sets the key, as the reader takes it (see
    // findIniValue). False when no line sets the key.
    bool findValue(unsigned section, const wchar_t* key, std::wstring_view* value) const;

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
        std::wstring name;
        std::wstring keptLines; // what the tables didn't take of a loaded section
        bool loaded = false;
    };

    void forgetText();
    DWORD readOnce(const wchar_t* path);
    void parse();
    std::wstring_view body(const Section& section) const;

    std::wstring text_;
    std::vector<Section> sections_;      // sections_[0] holds the lines before the first section
    unsigned long long fingerprint_ = 0; // of the bytes the file held when read or last saved
    bool fileExisted_ = false;
    DWORD readError_ = ERROR_SUCCESS;
};

// The values of one section as the profile functions read them: from the kept text when the file
// is held, from the file itself when it couldn't be (too large, or memory ran out). A section the
// file lacks, or a missing file, gives every key's default.
class SettingsValues {
public:
    // section: the index in kept, or noSection.
    SettingsValues(const KeptSettings& kept, unsigned section, const wchar_t* path, const wchar_t* name)
        : kept_(kept)
        , section_(section)
        , path_(path)
        , name_(name)
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
