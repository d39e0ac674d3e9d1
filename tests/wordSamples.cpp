#include "wordSamples.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <random>

const wchar_t cmdSpecialCharacters[] = L"&|<>^%!\"()\r\n";

std::vector<std::wstring> sampleWords(uint32_t seed, size_t count)
{
    std::vector<std::wstring> words = {L"x&echo INJECTED>marker.txt", L"x|echo INJECTED>marker.txt", L"x>marker.txt",
        L"x^&echo INJECTED>marker.txt", L"x\r\necho INJECTED>marker.txt", L"!PATH!", L"(x)", L"a<b", L"two words",
        L"C++", L"a&b=c", L"x#frag", L"50%", L"a\" /evil \"b", L"%USERNAME%", L"$nppdir$", L"$date$", L"$WORD$",
        L"trailing\\", L"trailing\\\\", L"a\\\"b", L"\\\\server\\share\\", L"tab\there", L"Gr\u00FC\u00DFe",
        L"\U0001F600x\U0001D11E", L"!#$'*+,/:;=?@[]`{}~-._", L" a,b;c=d ", std::wstring(2000, L'w'),
        std::wstring(1500, L'\u00E4') + L"\\", std::wstring(3000, L'&')};
    const wchar_t characters[] = L" !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~aZ09\\\\\t\u00E9";
    std::mt19937 random(seed);
    for (size_t i = 0; i < count; ++i) {
        std::wstring word;
        while (word.size() < 1 + random() % 24)
            word += random() % 8 == 0 ? L"\U0001F4A1"
                                      : std::wstring(1, characters[random() % (_countof(characters) - 1)]);
        words.push_back(word + std::wstring(random() % 3, L'\\'));
    }
    return words;
}

bool percentDecodeUtf8(const std::wstring& encoded, std::wstring& decoded)
{
    std::string bytes;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == L'%' && i + 2 < encoded.size() && iswxdigit(encoded[i + 1]) && iswxdigit(encoded[i + 2])) {
            bytes += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if ((iswalnum(encoded[i]) && encoded[i] < 0x80) || wcschr(L"-._~", encoded[i]) != nullptr) {
            bytes += static_cast<char>(encoded[i]);
        } else {
            return false;
        }
    }
    decoded.assign(bytes.size(), L'\0');
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
        &decoded[0], static_cast<int>(bytes.size()));
    decoded.resize(static_cast<size_t>(length > 0 ? length : 0));
    return length > 0 || bytes.empty();
}

std::vector<std::wstring> commandLineArguments(const std::wstring& commandLine)
{
    int count = 0;
    LPWSTR* read = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> arguments(read, read + (read != nullptr ? count : 0));
    LocalFree(read);
    return arguments;
}
