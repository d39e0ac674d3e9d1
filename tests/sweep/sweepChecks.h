// What a load followed by a save must keep, read from the files through the platform's own profile
// functions (the ones the plug-ins read with), and what a mask costs the platform's matcher.
#pragma once

#include "sweepInputs.h"

#include <string>
#include <utility>
#include <vector>

// The settings file in a form the profile functions read as the plug-ins read the file itself,
// written to copyPath: UTF-8 without a mark (which the profile functions take for ANSI) gets its
// mark, and UTF-16 ending in an odd byte gets the other half of that byte's character as zero
// (where the profile functions take it from memory they never wrote). Answers copyPath, or path
// when the profile functions read the file as it is.
std::wstring asThePluginsReadIt(const std::wstring& path, const std::wstring& copyPath);

// Every section name of an INI file, in file order, as the profile functions list them.
std::vector<std::wstring> sectionNames(const std::wstring& path);
// A value as read into a buffer of capacity characters.
std::wstring profileValue(const std::wstring& path, const std::wstring& section, const wchar_t* key, size_t capacity);

struct KeptEntry {
    std::wstring name;     // the section name cut to the 259 characters an entry holds
    std::wstring readFrom; // the section the values come from
    std::vector<std::pair<std::wstring, std::wstring>> values; // key and value as a save writes them
};

// The entries a load of the file must give: its sections in file order, names cut to the 259
// characters an entry holds and without the blanks around them that a section name can't keep;
// without "Options" (letters compared without regard to case) and names left empty; a name equal
// to an earlier one without regard to case counted once; at most 50.
std::vector<KeptEntry> entriesToKeep(const std::wstring& path, Plugin plugin);

// Where the rows of an Options dialog (each starting with an entry's name) differ from the entries
// a load must give; empty when they are those, in order.
std::wstring differenceFromLoaded(const std::vector<std::wstring>& rows, const std::vector<KeptEntry>& kept);

// How the file's entry names repeat, for messages.
std::wstring repeatedNames(const std::wstring& path);

// The file's sections a load doesn't take (neither the first "Options" nor one giving a kept entry),
// in file order: a save writes them back after the entries.
std::vector<std::wstring> sectionsNotTaken(const std::wstring& path, const std::vector<KeptEntry>& kept);

// Where a saved file differs from the entries it must keep; empty when it holds them all, in order,
// after "Options", followed by the sections not taken.
std::wstring differenceFromKept(
    const std::wstring& saved, const std::vector<KeptEntry>& kept, const std::vector<std::wstring>& notTaken);

std::string narrowForMessage(const std::wstring& text, size_t longest = 120);
