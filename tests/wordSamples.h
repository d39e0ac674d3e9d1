// Words as documents may hold them, and readers of what a viewer received, for properties of what
// becomes of the word on its way out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Chosen words (each character cmd acts on, ASCII punctuation, %...% and $...$ references, beyond
// the BMP, trailing backslashes, thousands of characters) and count random ones; none empty.
std::vector<std::wstring> sampleWords(uint32_t seed, size_t count);
extern const wchar_t cmdSpecialCharacters[]; // & | < > ^ % ! " ( ) and the line breaks

// Percent-decodes text as UTF-8; false when anything but A-Z a-z 0-9 - . _ ~ and %XX stands there.
bool percentDecodeUtf8(const std::wstring& encoded, std::wstring& decoded);
// What CommandLineToArgvW reads from a command line, the program's name first.
std::vector<std::wstring> commandLineArguments(const std::wstring& commandLine);
