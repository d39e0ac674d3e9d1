#include "wordSamples.h"

#include <windows.h>

#include <shellapi.h>

#include <random>

const wchar_t cmdSpecialCharacters[] = L"&|<>^%!\"()\r\n";

namespace {
const std::vector<std::wstring> chosenWords = {L"x&echo INJECTED>marker.txt", L"x|echo INJECTED>marker.txt",
    L"x>marker.txt", L"x^&echo INJECTED>marker.txt", L"x\r\necho INJECTED>marker.txt", L"%PATH%", L"!PATH!", L"(x)",
    L"a<b", L"two words", L"C++", L"a&b=c", L"x#frag", L"50%", L"a\" /evil \"b", L"%USERNAME%", L"%WINDIR%",
    L"$nppdir$", L"$date$", L"$word$", L"$WORD$", L"$dir$\\$name$", L"trailing\\", L"trailing\\\\", L"a\\\"b",
    L"\\\\server\\share\\", L"\"", L"\\", L"tab\there", L"Gr\u00FC\u00DFe", L"\u65E5\u672C\u8A9E", L"\U0001F600",
    L"x\U0001D11Ey", L"!#$'*+,/:;=?@[]`{}~", L"-._~AZaz09", L" leading and trailing ", L"a,b;c=d",
    std::wstring(2000, L'w'), std::wstring(1500, L'\u00E4') + L"\\", std::wstring(3000, L'&')};

// What random words are made of: ASCII punctuation, letters, blanks, backslashes, others.
const wchar_t randomCharacters[] = L" !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~aZ09\\\\\t\u00E9\u20AC";
} // namespace

std::vector<std::wstring> sampleWords(uint32_t seed, size_t count)
{
    std::vector<std::wstring> words = chosenWords;
    std::mt19937 random(seed);
    const size_t characterCount = _countof(randomCharacters) - 1;
    for (size_t i = 0; i < count; ++i) {
        std::wstring word;
        size_t length = 1 + random() % 24;
        while (word.size() < length) {
            // Now and then a whole reference, or a character beyond the BMP.
            switch (random() % 12) {
            case 0:
                word += L"%PATH%";
                break;
            case 1:
                word += L"$nppdir$";
                break;
            case 2:
                word += L"\U0001F4A1";
                break;
            default:
                word += randomCharacters[random() % characterCount];
                break;
            }
        }
        if (random() % 4 == 0)
            word.append(1 + random() % 3, L'\\');
        words.push_back(word);
    }
    return words;
}

bool percentDecodeUtf8(const std::wstring& encoded, std::wstring& decoded)
{
    auto hexValue = [](wchar_t c) {
        if (c >= L'0' && c <= L'9')
            return c - L'0';
        if (c >= L'A' && c <= L'F')
            return c - L'A' + 10;
        return -1;
    };
    std::string bytes;
    for (size_t i = 0; i < encoded.size(); ++i) {
        wchar_t c = encoded[i];
        if (c == L'%') {
            if (i + 2 >= encoded.size() || hexValue(encoded[i + 1]) < 0 || hexValue(encoded[i + 2]) < 0)
                return false;
            bytes += static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
            i += 2;
        } else if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'-'
            || c == L'.' || c == L'_' || c == L'~') {
            bytes += static_cast<char>(c);
        } else {
            return false;
        }
    }
    decoded.clear();
    if (bytes.empty())
        return true;
    int length
        = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return false;
    decoded.resize(static_cast<size_t>(length));
    MultiByteToWideChar(
        CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &decoded[0], length);
    return true;
}

std::vector<std::wstring> commandLineArguments(const std::wstring& commandLine)
{
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* read = CommandLineToArgvW(commandLine.c_str(), &count);
    if (read == nullptr)
        return arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(read[i]);
    LocalFree(read);
    return arguments;
}
