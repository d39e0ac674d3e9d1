// INI text as the system's profile reader reads it: the bytes' encoding, lines, section headers,
// keys and values, numbers; and the reader itself, for files too large to keep.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The blanks the profile reader drops around a line, a section name, a key and a value: tab, line
// feed, vertical tab, form feed, carriage return, space and ^Z; other spaces (U+00A0, U+2002) stay.
bool isProfileBlank(wchar_t c);
// The name without the blanks around it.
std::wstring_view withoutProfileBlanks(std::wstring_view name);
// Whether two names are one section of the settings file: the profile functions ignore letter
// case and blanks around a name.
bool sameSectionName(const wchar_t* left, const wchar_t* right);

// The text of a file's bytes as the profile reader decodes them: UTF-16 after a byte-order mark
// (either order, a last odd byte read as a character of its own), UTF-8 after its mark, otherwise
// the ANSI code page, but for text that is valid UTF-8 with characters beyond ASCII, which people's
// editors write without a mark.
std::wstring decodeIniBytes(const BYTE* bytes, size_t size);

// One line of the text: its content without the blanks around it, and where the next line starts
// (after the run of CR and LF that ends this one).
struct IniLine {
    size_t start;
    size_t contentStart;
    size_t contentEnd;
    size_t next;
};
IniLine iniLineAt(std::wstring_view text, size_t start);
// Whether the line starts a section: its first non-blank character is "[" and a "]" comes after
// it. If so, the name is what lies between the "[" and the last "]", without blanks around it.
bool isSectionHeader(std::wstring_view text, const IniLine& line, std::wstring_view* name);
// The key a line sets, without blanks around it: what comes before its first "=", or the whole line.
std::wstring_view keyOf(std::wstring_view text, const IniLine& line);
// The value of the section body's first line that sets the key (compared as the reader compares
// keys) with "=", as the reader takes it: without the blanks around it and up to a NUL it may hold,
// still inside any quotes. False when no line sets the key.
bool findIniValue(std::wstring_view body, const wchar_t* key, std::wstring_view* value);

// Whether the reader takes off the pair of like quotes enclosing a value.
bool isQuoted(std::wstring_view value);
// The value's leading number as the reader reads it: blanks and a sign before it, decimal unless
// "0b", "0o" or "0x" says otherwise.
int profileNumber(std::wstring_view value);

// Reads a value through the profile reader into a buffer of capacity characters; a longer value is
// cut to fit.
void readSetting(const wchar_t* path, const wchar_t* section, const wchar_t* key, wchar_t* buffer, size_t capacity);
