#include "iniText.h"

#include <strsafe.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {
const BYTE utf16Mark[] = {0xFF, 0xFE};
const BYTE utf16ReversedMark[] = {0xFE, 0xFF};
const BYTE utf8Mark[] = {0xEF, 0xBB, 0xBF};

bool startsWith(const BYTE* bytes, size_t size, const BYTE* mark, size_t markSize)
{
    return size >= markSize && memcmp(bytes, mark, markSize) == 0;
}

// Text without a byte-order mark is the ANSI code page's, as the profile reader takes it, unless it
// is valid UTF-8 holding more than ASCII: read as ANSI such text would be frozen garbled by the
// first save ("\u041F" becomes "\u00D0\u0178"), while ANSI text beyond ASCII is hardly ever valid UTF-8.
bool isUtf8BeyondAscii(const BYTE* bytes, size_t size)
{
    bool beyondAscii = false;
    for (size_t i = 0; i < size && !beyondAscii; ++i)
        beyondAscii = bytes[i] >= 0x80;
    return beyondAscii && size <= INT_MAX
        && MultiByteToWideChar(
               CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes), static_cast<int>(size), nullptr, 0)
        > 0;
}
} // namespace

bool isProfileBlank(wchar_t c)
{
    return (c >= L'\t' && c <= L'\r') || c == L' ' || c == 0x1A;
}

std::wstring_view withoutProfileBlanks(std::wstring_view name)
{
    while (!name.empty() && isProfileBlank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isProfileBlank(name.back()))
        name.remove_suffix(1);
    return name;
}

bool sameSectionName(const wchar_t* left, const wchar_t* right)
{
    std::wstring_view leftName = withoutProfileBlanks(left);
    std::wstring_view rightName = withoutProfileBlanks(right);
    return CompareStringOrdinal(leftName.data(), static_cast<int>(leftName.size()), rightName.data(),
               static_cast<int>(rightName.size()), TRUE)
        == CSTR_EQUAL;
}

std::wstring decodeIniBytes(const BYTE* bytes, size_t size)
{
    if (startsWith(bytes, size, utf16Mark, sizeof(utf16Mark))
        || startsWith(bytes, size, utf16ReversedMark, sizeof(utf16ReversedMark))) {
        bool reversed = bytes[0] == 0xFE;
        size_t count = (size - 2) / 2;
        std::wstring text(count, L'\0');
        for (size_t i = 0; i < count; ++i) {
            BYTE low = bytes[2 + 2 * i + (reversed ? 1 : 0)];
            BYTE high = bytes[2 + 2 * i + (reversed ? 0 : 1)];
            text[i] = static_cast<wchar_t>(low | (high << 8));
        }
        // The reader takes a last odd byte for a character of its own, in either byte order, so a
        // value cut there keeps it.
        if ((size - 2) % 2 != 0)
            text += static_cast<wchar_t>(bytes[size - 1]);
        return text;
    }
    UINT codePage = CP_ACP;
    if (startsWith(bytes, size, utf8Mark, sizeof(utf8Mark))) {
        codePage = CP_UTF8;
        bytes += sizeof(utf8Mark);
        size -= sizeof(utf8Mark);
    } else if (isUtf8BeyondAscii(bytes, size)) {
        codePage = CP_UTF8;
    }
    const char* narrow = reinterpret_cast<const char*>(bytes);
    int count = size == 0 ? 0 : MultiByteToWideChar(codePage, 0, narrow, static_cast<int>(size), nullptr, 0);
    std::wstring text(static_cast<size_t>(count), L'\0');
    if (count > 0)
        MultiByteToWideChar(codePage, 0, narrow, static_cast<int>(size), text.data(), count);
    return text;
}

IniLine iniLineAt(std::wstring_view text, size_t start)
{
    IniLine line{start, start, start, start};
    size_t end = start;
    while (end < text.size() && text[end] != L'\r' && text[end] != L'\n')
        ++end;
    line.next = end;
    while (line.next < text.size() && (text[line.next] == L'\r' || text[line.next] == L'\n'))
        ++line.next;
    while (line.contentStart < end && isProfileBlank(text[line.contentStart]))
        ++line.contentStart;
    line.contentEnd = end;
    while (line.contentEnd > line.contentStart && isProfileBlank(text[line.contentEnd - 1]))
        --line.contentEnd;
    return line;
}

bool isSectionHeader(std::wstring_view text, const IniLine& line, std::wstring_view* name)
{
    if (line.contentStart >= line.contentEnd || text[line.contentStart] != L'[')
        return false;
    size_t close = line.contentEnd - 1;
    while (close > line.contentStart && text[close] != L']')
        --close;
    if (close == line.contentStart)
        return false;
    *name = withoutProfileBlanks(text.substr(line.contentStart + 1, close - line.contentStart - 1));
    return true;
}

std::wstring_view keyOf(std::wstring_view text, const IniLine& line)
{
    std::wstring_view content = text.substr(line.contentStart, line.contentEnd - line.contentStart);
    return withoutProfileBlanks(content.substr(0, content.find(L'=')));
}

bool findIniValue(std::wstring_view body, const wchar_t* key, std::wstring_view* value)
{
    for (size_t at = 0; at < body.size();) {
        IniLine line = iniLineAt(body, at);
        at = line.next;
        // The reader compares keys up to a NUL they may hold.
        std::wstring_view lineKey = keyOf(body, line);
        lineKey = lineKey.substr(0, lineKey.find(L'\0'));
        if (lineKey.empty()
            || CompareStringOrdinal(lineKey.data(), static_cast<int>(lineKey.size()), key, -1, TRUE) != CSTR_EQUAL)
            continue;
        std::wstring_view content = body.substr(line.contentStart, line.contentEnd - line.contentStart);
        size_t equals = content.find(L'=');
        // The first line of the key is the one the reader knows; without "=" it holds no value.
        if (equals == std::wstring_view::npos)
            return false;
        std::wstring_view found = content.substr(equals + 1);
        while (!found.empty() && isProfileBlank(found.front()))
            found.remove_prefix(1);
        *value = found.substr(0, found.find(L'\0'));
        return true;
    }
    return false;
}

bool isQuoted(std::wstring_view value)
{
    return value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
}

// What the profile reader answers for a number: at most its first 29 characters are read (a
// quoted value loses one more), blanks and a sign may come before the digits, which are decimal
// unless a prefix says otherwise, reading stops at anything else, and the number wraps around as
// an unsigned 32-bit one would.
int profileNumber(std::wstring_view value)
{
    constexpr size_t readable = 29;
    bool quoted = isQuoted(value);
    size_t count = quoted ? value.size() - 1 : value.size();
    const wchar_t* at = quoted ? value.data() + 1 : value.data();
    size_t taken = count < readable ? count : readable;
    if (quoted && readable + 1 >= count)
        --taken;
    const wchar_t* end = at + taken;
    while (at < end && *at <= L' ')
        ++at;
    bool negative = false;
    if (at < end && (*at == L'+' || *at == L'-'))
        negative = *at++ == L'-';
    // "0b", "0o" and "0x" give another base.
    unsigned base = 10;
    if (end - at >= 2 && at[0] == L'0' && (at[1] == L'b' || at[1] == L'o' || at[1] == L'x')) {
        base = at[1] == L'b' ? 2 : at[1] == L'o' ? 8 : 16;
        at += 2;
    }
    unsigned total = 0;
    for (; at < end; ++at) {
        unsigned digit = *at >= L'0' && *at <= L'9' ? static_cast<unsigned>(*at - L'0')
            : *at >= L'A' && *at <= L'Z'            ? static_cast<unsigned>(*at - L'A') + 10
            : *at >= L'a' && *at <= L'z'            ? static_cast<unsigned>(*at - L'a') + 10
                                                    : base;
        if (digit >= base)
            break;
        total = total * base + digit;
    }
    return static_cast<int>(negative ? 0u - total : total);
}

void readSetting(const wchar_t* path, const wchar_t* section, const wchar_t* key, wchar_t* buffer, size_t capacity)
{
    // Read with room for the pair of quotes a value may carry: the profile reader takes them off
    // only after cutting the value to the buffer, and would then lose the value's last character.
    std::vector<wchar_t> value(capacity + 2);
    GetPrivateProfileStringW(section, key, L"", value.data(), static_cast<DWORD>(value.size()), path);
    StringCchCopyW(buffer, capacity, value.data());
    buffer[capacity - 1] = L'\0';
}
