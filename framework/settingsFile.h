// Reading and safely rewriting the plug-in's INI settings file.
#pragma once

#include <windows.h>

// Every section name of an INI file, in file order, however many there are.
class SectionNameList {
public:
    explicit SectionNameList(const wchar_t* path);
    ~SectionNameList();
    SectionNameList(const SectionNameList&) = delete;
    SectionNameList& operator=(const SectionNameList&) = delete;

    // The first name; the list ends with an empty name.
    const wchar_t* first() const { return names_ != nullptr ? names_ : L""; }
    static const wchar_t* next(const wchar_t* name) { return name + lstrlenW(name) + 1; }

private:
    wchar_t* names_ = nullptr;
};

// Writes a complete new settings file beside the old one and only then puts it in the old one's
// place, so a failure part-way leaves the previous settings intact. The new file is UTF-16 with a
// byte-order mark, so names and paths outside the ANSI code page survive; its folder is created
// when missing.
class SettingsWriter {
public:
    explicit SettingsWriter(const wchar_t* path);
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    void write(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    void writeFlag(const wchar_t* section, const wchar_t* key, int flag);
    void writeNumber(const wchar_t* section, const wchar_t* key, int number);
    // Replaces the settings file by the new one; false (and the old file untouched) when anything
    // failed on the way.
    bool commit();

private:
    wchar_t path_[MAX_PATH];
    wchar_t newPath_[MAX_PATH];
    bool failed_ = false;
};

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

// Creates the folder and every missing folder above it.
bool createFolderTree(const wchar_t* folder);

// Reads a value into a buffer of capacity characters; a longer value is cut to fit.
void readSetting(const wchar_t* path, const wchar_t* section, const wchar_t* key, wchar_t* buffer, size_t capacity);
