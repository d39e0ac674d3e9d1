// Words as documents may hold them, for properties of what becomes of the word on its way to a help
// viewer, and the readers that give back what a viewer received.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Chosen words (every character cmd acts on, ASCII punctuation, %...% and $...$ references,
// characters beyond the BMP, trailing backslashes, a few thousand characters) and count random ones
// made of the same kinds of characters; the same for the same seed. None is empty.
std::vector<std::wstring> sampleWords(uint32_t seed, size_t count);
// The characters cmd acts on, each once: & | < > ^ % ! " ( ) and the two line-break characters.
extern const wchar_t cmdSpecialCharacters[];

// Percent-decodes text and reads the bytes as UTF-8; false when a "%" starts no escape, when a
// character other than A-Z a-z 0-9 - . _ ~ stands unescaped, or when the bytes are no valid UTF-8.
bool percentDecodeUtf8(const std::wstring& encoded, std::wstring& decoded);
// The arguments CommandLineToArgvW reads from a command line, the program's name first.
std::vector<std::wstring> commandLineArguments(const std::wstring& commandLine);
