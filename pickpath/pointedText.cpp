#include "pointedText.h"

#include <windows.h>

#include <strsafe.h>

#include <cwchar>

namespace pickpath {

namespace {
// A line or column has at most this many digits, so that it fits its number.
constexpr size_t maxDigits = 9;
// A file address's path as UTF-8 bytes: three at most for each character.
constexpr size_t utf8Capacity = pathCapacity * 3;

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool isDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool isAsciiLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// What may be written around a name: the pairs of quotes and brackets.
struct Enclosure {
    wchar_t opening;
    wchar_t closing;
    bool nests;
};
const Enclosure enclosures[] = {
    {L'"', L'"', false},
    {L'\'', L'\'', false},
    {L'`', L'`', false},
    {L'`', L'\'', false},          // as older compilers quote
    {L'\x2018', L'\x2019', false}, // typographic single quotes, as newer compilers quote
    {L'\x201C', L'\x201D', false}, // typographic double quotes
    {L'<', L'>', true},
    {L'(', L')', true},
};

// Whether the whole of text[0, length) is enclosed by one pair: "(a)(b)" is not.
bool isEnclosed(const wchar_t* text, size_t length)
{
    if (length < 2)
        return false;
    for (const Enclosure& pair : enclosures) {
        if (text[0] != pair.opening || text[length - 1] != pair.closing)
            continue;
        if (!pair.nests)
            return true;
        int depth = 0;
        size_t i = 0;
        for (; i < length; ++i) {
            depth += text[i] == pair.opening ? 1 : text[i] == pair.closing ? -1 : 0;
            if (depth == 0)
                break;
        }
        if (i == length - 1)
            return true;
    }
    return false;
}

// A trailing ".,;:" ends a sentence, not a name; a drive's own colon stays.
bool endsWithPunctuation(const wchar_t* text, size_t length)
{
    if (length == 0 || wcschr(L".,;:", text[length - 1]) == nullptr)
        return false;
    return !(length == 2 && text[1] == L':' && isAsciiLetter(text[0]));
}

// Trims blanks, trailing punctuation and enclosing pairs, in turns until none is left; false when
// nothing else is.
bool unwrap(wchar_t* text)
{
    size_t start = 0;
    size_t end = wcslen(text);
    for (bool changed = true; changed;) {
        changed = false;
        while (start < end && isBlank(text[start])) {
            ++start;
            changed = true;
        }
        while (end > start && isBlank(text[end - 1])) {
            --end;
            changed = true;
        }
        while (endsWithPunctuation(text + start, end - start)) {
            --end;
            changed = true;
        }
        if (isEnclosed(text + start, end - start)) {
            ++start;
            --end;
            changed = true;
        }
    }
    wmemmove(text, text + start, end - start);
    text[end - start] = L'\0';
    return end > start;
}

int hexValue(wchar_t c)
{
    if (isDigit(c))
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// The path of a file address: file:///C:/a%20b/c.txt is C:/a b/c.txt, file://server/share/x is
// //server/share/x, file://localhost/ names this machine. Escapes are bytes of UTF-8; the
// characters written as they are stand for themselves.
bool addressToPath(const wchar_t* address, wchar_t* path, size_t capacity)
{
    const wchar_t* rest = address + wcslen(L"file:");
    wchar_t host[pathCapacity] = L"";
    if (wcsncmp(rest, L"//", 2) == 0) {
        rest += 2;
        const wchar_t* slash = wcschr(rest, L'/');
        size_t hostLength = slash != nullptr ? static_cast<size_t>(slash - rest) : wcslen(rest);
        StringCchCopyNW(host, _countof(host), rest, hostLength);
        rest += hostLength;
        if (_wcsicmp(host, L"localhost") == 0)
            host[0] = L'\0';
    }
    if (rest[0] != L'/')
        return false;
    // A drive comes without the slash before it; a path without one starts at the root.
    if (host[0] == L'\0' && isAsciiLetter(rest[1]) && (rest[2] == L':' || rest[2] == L'|'))
        ++rest;
    char bytes[utf8Capacity];
    size_t length = 0;
    auto add = [&](const char* from, size_t count) {
        if (length + count >= sizeof(bytes))
            return false;
        for (size_t i = 0; i < count; ++i)
            bytes[length++] = from[i];
        return true;
    };
    if (host[0] != L'\0') {
        char prefix[utf8Capacity];
        int prefixLength = WideCharToMultiByte(CP_UTF8, 0, host, -1, prefix, sizeof(prefix), nullptr, nullptr);
        if (prefixLength <= 0 || !add("//", 2) || !add(prefix, static_cast<size_t>(prefixLength - 1)))
            return false;
    }
    for (const wchar_t* c = rest; *c != L'\0'; ++c) {
        int high = *c == L'%' ? hexValue(c[1]) : -1;
        int low = high >= 0 ? hexValue(c[2]) : -1;
        if (low >= 0) {
            char byte = static_cast<char>(high * 16 + low);
            if (!add(&byte, 1))
                return false;
            c += 2;
            continue;
        }
        // A character written as itself (a surrogate pair as one), in UTF-8 like the escapes.
        int units = IS_HIGH_SURROGATE(*c) && IS_LOW_SURROGATE(c[1]) ? 2 : 1;
        char encoded[8];
        int count = WideCharToMultiByte(CP_UTF8, 0, c, units, encoded, sizeof(encoded), nullptr, nullptr);
        if (count <= 0 || !add(encoded, static_cast<size_t>(count)))
            return false;
        c += units - 1;
    }
    if (length == 0)
        return false;
    int written = MultiByteToWideChar(
        CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(length), path, static_cast<int>(capacity - 1));
    if (written <= 0)
        return false;
    path[written] = L'\0';
    // The old way of writing a drive: file:///C|/x.
    if (host[0] == L'\0' && written >= 2 && isAsciiLetter(path[0]) && path[1] == L'|')
        path[1] = L':';
    return wcslen(path) == static_cast<size_t>(written);
}

// Reads a line or column number of 1 to maxDigits digits at text; how many characters it took,
// or 0.
size_t readNumber(const wchar_t* text, unsigned& number)
{
    size_t length = 0;
    unsigned value = 0;
    while (isDigit(text[length]) && length < maxDigits)
        value = value * 10 + static_cast<unsigned>(text[length++] - L'0');
    if (length == 0 || isDigit(text[length]))
        return 0;
    number = value;
    return length;
}

// What may follow a position: nothing, or ":" and a message after a blank (a compiler's).
bool endsPosition(const wchar_t* rest, bool blanksBeforeColon)
{
    if (blanksBeforeColon)
        while (*rest == L' ')
            ++rest;
    if (*rest == L'\0')
        return true;
    return rest[0] == L':' && (rest[1] == L'\0' || isBlank(rest[1]));
}

// A name holds a colon only as its drive's, at its start or after the prefix of a long path
// (\\?\C:); any other marks a position, so the text around it is no name.
bool hasOnlyDriveColons(const wchar_t* name)
{
    for (const wchar_t* colon = wcschr(name, L':'); colon != nullptr; colon = wcschr(colon + 1, L':')) {
        size_t at = static_cast<size_t>(colon - name);
        bool longPrefix = at == 5 && (wcsncmp(name, L"\\\\?\\", 4) == 0 || wcsncmp(name, L"\\\\.\\", 4) == 0);
        if (!((at == 1 || longPrefix) && isAsciiLetter(colon[-1])))
            return false;
    }
    return true;
}

// The name before a position, cleaned.
bool takeName(const wchar_t* text, size_t length, PointedName& reading)
{
    if (length == 0 || length >= pathCapacity)
        return false;
    wchar_t name[pathCapacity];
    StringCchCopyNW(name, _countof(name), text, length);
    return cleanName(name, reading.Name, _countof(reading.Name)) && hasOnlyDriveColons(reading.Name);
}

// File "name", line LINE, and whatever a trace writes after ", ".
bool readTraceLine(const wchar_t* text, PointedName& reading)
{
    const wchar_t lead[] = L"File \"";
    if (wcsncmp(text, lead, wcslen(lead)) != 0)
        return false;
    const wchar_t* name = text + wcslen(lead);
    const wchar_t* quote = wcschr(name, L'"');
    const wchar_t lineLead[] = L"\", line ";
    if (quote == nullptr || wcsncmp(quote, lineLead, wcslen(lineLead)) != 0)
        return false;
    const wchar_t* number = quote + wcslen(lineLead);
    unsigned line = 0;
    size_t digits = readNumber(number, line);
    if (digits == 0 || line == 0 || (number[digits] != L'\0' && number[digits] != L','))
        return false;
    if (!takeName(name, static_cast<size_t>(quote - name), reading))
        return false;
    reading.Line = line;
    reading.Column = 0;
    return true;
}

// name:LINE[:COL] or name(LINE[,COL]) at the first place where one reads whole.
bool readCompilerPosition(const wchar_t* text, PointedName& reading)
{
    for (size_t i = 1; text[i] != L'\0'; ++i) {
        wchar_t mark = text[i];
        if ((mark != L':' && mark != L'(') || !isDigit(text[i + 1]))
            continue;
        // "C:42" is a drive and a name, not a name and a line.
        if (mark == L':' && i == 1 && isAsciiLetter(text[0]))
            continue;
        unsigned line = 0;
        unsigned column = 0;
        const wchar_t* at = text + i + 1;
        size_t digits = readNumber(at, line);
        if (digits == 0 || line == 0)
            continue;
        at += digits;
        wchar_t columnMark = mark == L':' ? L':' : L',';
        if (at[0] == columnMark && isDigit(at[1])) {
            digits = readNumber(at + 1, column);
            if (digits == 0)
                continue;
            at += 1 + digits;
        }
        if (mark == L'(') {
            if (*at != L')')
                continue;
            ++at;
        }
        if (!endsPosition(at, mark == L'(') || !takeName(text, i, reading))
            continue;
        reading.Line = line;
        reading.Column = column;
        return true;
    }
    return false;
}
} // namespace

bool cleanName(const wchar_t* text, wchar_t* name, size_t capacity)
{
    wchar_t unwrapped[pathCapacity];
    if (StringCchCopyW(unwrapped, _countof(unwrapped), text) != S_OK || !unwrap(unwrapped))
        return false;
    if (_wcsnicmp(unwrapped, L"file:", 5) == 0) {
        if (!addressToPath(unwrapped, name, capacity))
            return false;
    } else if (StringCchCopyW(name, capacity, unwrapped) != S_OK) {
        return false;
    }
    for (wchar_t* c = name; *c != L'\0'; ++c)
        if (*c == L'/')
            *c = L'\\';
    return name[0] != L'\0';
}

bool readPosition(const wchar_t* text, PointedName& reading)
{
    wchar_t cleaned[pathCapacity];
    // Cleaned first, so that a position inside quotes or brackets or before a full stop is seen;
    // the address form has become a path by then.
    if (!cleanName(text, cleaned, _countof(cleaned)))
        return false;
    return readTraceLine(cleaned, reading) || readCompilerPosition(cleaned, reading);
}

bool readPositionAfter(const wchar_t* name, const wchar_t* lineText, PointedName& reading)
{
    // The name may hold part of the position already ("util.c:42" of "util.c:42:7").
    wchar_t wanted[pathCapacity];
    PointedName own = {};
    if (readPosition(name, own))
        StringCchCopyW(wanted, _countof(wanted), own.Name);
    else if (!cleanName(name, wanted, _countof(wanted)))
        return false;
    size_t nameLength = wcslen(name);
    // The whole line (a trace's), or the line from the name on (a compiler's message, perhaps
    // after other words), where the name starts after a blank or a quote or bracket.
    for (const wchar_t* at = lineText; *at != L'\0'; ++at) {
        bool startsLine = at == lineText;
        bool startsName = startsLine || wcschr(L" \t\"[(<>", at[-1]) != nullptr;
        if (!startsLine && (!startsName || wcsncmp(at, name, nameLength) != 0))
            continue;
        wchar_t rest[pathCapacity];
        if (StringCchCopyW(rest, _countof(rest), at) == STRSAFE_E_INVALID_PARAMETER)
            return false;
        PointedName found = {};
        if (readPosition(rest, found) && wcscmp(found.Name, wanted) == 0) {
            reading = found;
            return true;
        }
    }
    return false;
}

size_t readPointedText(const wchar_t* text, PointedName (&readings)[maxReadings])
{
    size_t count = 0;
    auto add = [&](const PointedName& reading) {
        const PointedName* last = count > 0 ? &readings[count - 1] : nullptr;
        if (reading.Name[0] == L'\0'
            || (last != nullptr && wcscmp(last->Name, reading.Name) == 0 && last->Line == reading.Line
                && last->Column == reading.Column))
            return;
        readings[count++] = reading;
    };
    PointedName reading = {};
    if (StringCchCopyW(reading.Name, _countof(reading.Name), text) != S_OK)
        return 0;
    add(reading);
    if (cleanName(text, reading.Name, _countof(reading.Name)))
        add(reading);
    if (readPosition(text, reading))
        add(reading);
    return count;
}

} // namespace pickpath
