// Reading and safely rewriting the plug-in's INI settings file.
#pragma once

#include <windows.h>

// The blanks the profile reader drops around a line, a section name, a key and a value: tab, line
// feed, vertical tab, form feed, carriage return, space and ^Z; other spaces (U+00A0, U+2002) stay.
bool isProfileBlank(wchar_t c);

// The text of a complete settings file, built in memory and written in one piece, so that a
// thousand kept sections cost one write rather than one rewrite of the file each. Keys written
// one after another under the same section name share one section header.
class SettingsWriter {
public:
    SettingsWriter() = default;
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    void write(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    void writeFlag(const wchar_t* section, const wchar_t* key, int flag);
    void writeNumber(const wchar_t* section, const wchar_t* key, int number);
    // Lines taken unchanged from the file as it was loaded; they continue the current section.
    void writeKept(const wchar_t* lines, size_t length);
    // Whole sections, header lines included, taken unchanged from the file as it was loaded.
    void writeKeptSection(const wchar_t* lines, size_t length);

    const wchar_t* text() const { return text_ != nullptr ? text_ : L""; }
    size_t length() const { return length_; }
    // Memory ran out on the way; such a text must not replace the file.
    bool failed() const { return failed_; }

private:
    void append(const wchar_t* text, size_t length);
    void endLine();

    wchar_t* text_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
    size_t sectionStart_ = 0; // where the current section's name starts in the text
    size_t sectionLength_ = 0;
    bool inSection_ = false;
    bool failed_ = false;
};

// Puts the text (UTF-16 with a byte-order mark, so names and paths outside the ANSI code page
// survive) in the settings file's place: written whole under one fixed temporary name beside it,
// then moved over it, so an interruption at any moment leaves either the old or the new file and
// at most one temporary file, which the next save overwrites. A replace refused because another
// program holds the file is tried again for about a second. Creates the missing folders above it.
// Answers ERROR_SUCCESS or the system's error code; on failure the previous file is untouched.
DWORD replaceSettingsFile(const wchar_t* path, const wchar_t* text, size_t length);

// Whether another program holding the file refused it: such a holder (a backup tool, a virus
// scanner, a sync client, an editor) usually lets go within a second, so reads and replaces of the
// settings file try again heldFileAttempts times, heldFilePause milliseconds apart.
bool isTransientRefusal(DWORD error);
constexpr int heldFileAttempts = 10;
constexpr DWORD heldFilePause = 100;

// Whether a failed save tells the user: not at detach, where the loader lock forbids a message box.
enum class SaveMode { tellUser, silently };

// Tells the user, in a box owned by the editor's main window, that the settings could not be
// written to the file and the system's reason.
void reportSettingsNotSaved(const wchar_t* path, DWORD error);
// That the file could not be read when the library was loaded, and the system's reason: the plug-in
// starts without its settings and leaves the file alone.
void reportSettingsNotRead(const wchar_t* path, DWORD error);
// That a save is refused because the file could not be read when the library was loaded.
void reportSettingsNotSavedUnread(const wchar_t* path, DWORD error);

// Whether two names are one section of the settings file: the profile functions ignore letter
// case and blanks around a name.
bool sameSectionName(const wchar_t* left, const wchar_t* right);

// Whether a section of the file already gave one of the table's entries. The profile functions
// read the first of several sections whose names differ only in case, so a later one would come
// back as a copy of it; a name cut to fit the entry is the one the next save writes, so two names
// alike up to the cut are one too.
template <typename EntryTable> bool isSectionLoaded(const EntryTable& table, const wchar_t* sectionName)
{
    constexpr size_t nameCapacity = sizeof(table.Entries[0].Name) / sizeof(wchar_t);
    wchar_t stored[nameCapacity];
    lstrcpynW(stored, sectionName, static_cast<int>(nameCapacity));
    for (unsigned i = 0; i < table.Count; ++i)
        if (sameSectionName(stored, table.Entries[i].Name))
            return true;
    return false;
}

// Reads a value into a buffer of capacity characters; a longer value is cut to fit.
void readSetting(const wchar_t* path, const wchar_t* section, const wchar_t* key, wchar_t* buffer, size_t capacity);
