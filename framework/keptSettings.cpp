#include "keptSettings.h"

#include "textBuffers.h"

#include <strsafe.h>

#include <climits>
#include <new>

namespace {
constexpr unsigned long long fingerprintStart = 14695981039346656037ull;

unsigned long long addToFingerprint(unsigned long long fingerprint, const void* data, size_t size)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    for (size_t i = 0; i < size; ++i)
        fingerprint = (fingerprint ^ bytes[i]) * 1099511628211ull;
    return fingerprint;
}

const BYTE utf16Mark[] = {0xFF, 0xFE};
const BYTE utf16ReversedMark[] = {0xFE, 0xFF};
const BYTE utf8Mark[] = {0xEF, 0xBB, 0xBF};

// A settings file larger than this is not one the plug-in could keep in memory; it is read through
// the profile functions alone and its unknown parts are not kept.
constexpr unsigned long long largestKeptFile = 1ull << 30;

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

// The text of the file's bytes as the profile reader decodes them; nullptr when memory runs out.
wchar_t* decode(const BYTE* bytes, size_t size, size_t* length)
{
    *length = 0;
    if (startsWith(bytes, size, utf16Mark, sizeof(utf16Mark))
        || startsWith(bytes, size, utf16ReversedMark, sizeof(utf16ReversedMark))) {
        bool reversed = bytes[0] == 0xFE;
        size_t count = (size - 2) / 2;
        // The reader takes a last odd byte for a character of its own, in either byte order, so a
        // value cut there keeps it.
        bool oddByte = (size - 2) % 2 != 0;
        wchar_t* text = new (std::nothrow) wchar_t[count + 2];
        if (text == nullptr)
            return nullptr;
        for (size_t i = 0; i < count; ++i) {
            BYTE low = bytes[2 + 2 * i + (reversed ? 1 : 0)];
            BYTE high = bytes[2 + 2 * i + (reversed ? 0 : 1)];
            text[i] = static_cast<wchar_t>(low | (high << 8));
        }
        if (oddByte)
            text[count++] = bytes[size - 1];
        text[count] = L'\0';
        *length = count;
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
    int count = size == 0 ? 0
                          : MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes),
                                static_cast<int>(size), nullptr, 0);
    wchar_t* text = new (std::nothrow) wchar_t[static_cast<size_t>(count) + 1];
    if (text == nullptr)
        return nullptr;
    if (count > 0)
        MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size), text, count);
    text[count] = L'\0';
    *length = static_cast<size_t>(count);
    return text;
}

// One line of the text: its content without the blanks around it, and where the next line starts
// (after the run of CR and LF that ends this one).
struct Line {
    size_t start;
    size_t contentStart;
    size_t contentEnd;
    size_t next;
};

Line lineAt(const wchar_t* text, size_t length, size_t start)
{
    Line line{start, start, start, start};
    size_t end = start;
    while (end < length && text[end] != L'\r' && text[end] != L'\n')
        ++end;
    line.next = end;
    while (line.next < length && (text[line.next] == L'\r' || text[line.next] == L'\n'))
        ++line.next;
    line.contentStart = start;
    while (line.contentStart < end && isProfileBlank(text[line.contentStart]))
        ++line.contentStart;
    line.contentEnd = end;
    while (line.contentEnd > line.contentStart && isProfileBlank(text[line.contentEnd - 1]))
        --line.contentEnd;
    return line;
}

// Whether the line is a section header; if so, where its name lies without blanks around it.
bool isHeader(const wchar_t* text, const Line& line, size_t* nameStart, size_t* nameEnd)
{
    if (line.contentStart >= line.contentEnd || text[line.contentStart] != L'[')
        return false;
    size_t close = line.contentEnd - 1;
    while (close > line.contentStart && text[close] != L']')
        --close;
    if (close == line.contentStart)
        return false;
    size_t first = line.contentStart + 1;
    size_t last = close;
    while (first < last && isProfileBlank(text[first]))
        ++first;
    while (last > first && isProfileBlank(text[last - 1]))
        --last;
    *nameStart = first;
    *nameEnd = last;
    return true;
}

// The key a line sets, without blanks around it: what comes before its first "=", or the whole line.
void keyOf(const wchar_t* text, const Line& line, size_t* keyStart, size_t* keyEnd)
{
    size_t end = line.contentStart;
    while (end < line.contentEnd && text[end] != L'=')
        ++end;
    while (end > line.contentStart && isProfileBlank(text[end - 1]))
        --end;
    *keyStart = line.contentStart;
    *keyEnd = end;
}
} // namespace

unsigned long long settingsFingerprint(const wchar_t* text, size_t length)
{
    return addToFingerprint(addToFingerprint(fingerprintStart, utf16Mark, sizeof(utf16Mark)), text,
        length * sizeof(wchar_t));
}

KeptSettings::~KeptSettings()
{
    clear();
}

void KeptSettings::clear()
{
    for (unsigned i = 0; i < sectionCapacity_ && sections_ != nullptr; ++i) {
        delete[] sections_[i].keptLines;
    }
    delete[] sections_;
    delete[] names_;
    delete[] text_;
    sections_ = nullptr;
    names_ = nullptr;
    text_ = nullptr;
    length_ = 0;
    namesLength_ = 0;
    sectionCount_ = 0;
    sectionCapacity_ = 0;
    fileExisted_ = false;
    readError_ = ERROR_SUCCESS;
    fingerprint_ = 0;
}

bool KeptSettings::addSection(size_t start, size_t bodyStart, const wchar_t* name, size_t nameLength)
{
    // sections_[0] holds the leading lines, so the array has one slot more than there are sections.
    if (sectionCount_ + 1 >= sectionCapacity_) {
        unsigned capacity = sectionCapacity_ < 64 ? 64 : sectionCapacity_ * 2;
        Section* grown = new (std::nothrow) Section[capacity];
        if (grown == nullptr)
            return false;
        for (unsigned i = 0; i < sectionCapacity_; ++i)
            grown[i] = sections_[i];
        delete[] sections_;
        sections_ = grown;
        sectionCapacity_ = capacity;
    }
    Section& section = sections_[sectionCount_ + 1];
    section.start = start;
    section.bodyStart = bodyStart;
    section.end = length_;
    section.nameStart = namesLength_;
    memcpy(names_ + namesLength_, name, nameLength * sizeof(wchar_t));
    namesLength_ += nameLength;
    names_[namesLength_++] = L'\0';
    sections_[sectionCount_].end = start;
    ++sectionCount_;
    return true;
}

DWORD KeptSettings::read(const wchar_t* path)
{
    for (int attempt = 1;; ++attempt) {
        clear();
        readError_ = readOnce(path);
        // A file cut short while read is being written by another program, which soon lets go.
        if (readError_ == ERROR_SUCCESS || attempt == heldFileAttempts
            || !(isTransientRefusal(readError_) || readError_ == ERROR_HANDLE_EOF))
            break;
        Sleep(heldFilePause);
    }
    if (readError_ != ERROR_SUCCESS) {
        DWORD error = readError_;
        clear();
        // Known to be there, with its contents unknown.
        fileExisted_ = true;
        readError_ = error;
    }
    return readError_;
}

DWORD KeptSettings::readOnce(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    fileExisted_ = true;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        DWORD error = GetLastError();
        CloseHandle(file);
        return error;
    }
    // Too large to keep, or no memory for it: readable still, through the profile functions alone.
    BYTE* bytes = static_cast<unsigned long long>(size.QuadPart) <= largestKeptFile
        ? new (std::nothrow) BYTE[static_cast<size_t>(size.QuadPart) + 1]
        : nullptr;
    DWORD error = ERROR_SUCCESS;
    size_t done = 0;
    while (bytes != nullptr && done < static_cast<size_t>(size.QuadPart)) {
        DWORD chunk = 0;
        size_t left = static_cast<size_t>(size.QuadPart) - done;
        if (!ReadFile(file, bytes + done, left > (1u << 24) ? (1u << 24) : static_cast<DWORD>(left), &chunk, nullptr)) {
            error = GetLastError();
            break;
        }
        if (chunk == 0) {
            error = ERROR_HANDLE_EOF;
            break;
        }
        done += chunk;
    }
    CloseHandle(file);
    if (bytes == nullptr || error != ERROR_SUCCESS) {
        delete[] bytes;
        return error;
    }
    fingerprint_ = addToFingerprint(fingerprintStart, bytes, static_cast<size_t>(size.QuadPart));
    text_ = decode(bytes, static_cast<size_t>(size.QuadPart), &length_);
    delete[] bytes;
    parse();
    return ERROR_SUCCESS;
}

bool KeptSettings::takeText(const wchar_t* text, size_t length)
{
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (copy == nullptr)
        return false;
    memcpy(copy, text, length * sizeof(wchar_t));
    copy[length] = L'\0';
    clear();
    text_ = copy;
    length_ = length;
    fileExisted_ = true;
    fingerprint_ = settingsFingerprint(text, length);
    return parse();
}

// Finds the sections of text_; without memory for them nothing is kept, but a save that writes what
// the file holds still writes nothing.
bool KeptSettings::parse()
{
    names_ = text_ != nullptr ? new (std::nothrow) wchar_t[length_ + 1] : nullptr;
    sections_ = names_ != nullptr ? new (std::nothrow) Section[1] : nullptr;
    if (sections_ == nullptr) {
        unsigned long long fingerprint = fingerprint_;
        clear();
        fileExisted_ = true;
        fingerprint_ = fingerprint;
        return false;
    }
    sectionCapacity_ = 1;
    sections_[0] = Section{0, 0, length_, 0};
    for (size_t at = 0; at < length_;) {
        Line line = lineAt(text_, length_, at);
        size_t nameStart;
        size_t nameEnd;
        if (isHeader(text_, line, &nameStart, &nameEnd)
            && !addSection(line.start, line.next, text_ + nameStart, nameEnd - nameStart))
            break;
        at = line.next;
    }
    return true;
}

const wchar_t* KeptSettings::sectionName(unsigned section) const
{
    return section < sectionCount_ ? names_ + sections_[section + 1].nameStart : L"";
}

const wchar_t* KeptSettings::findValue(unsigned section, const wchar_t* key, size_t* length) const
{
    *length = 0;
    if (section >= sectionCount_ || text_ == nullptr)
        return nullptr;
    const Section& found = sections_[section + 1];
    for (size_t at = found.bodyStart; at < found.end;) {
        Line line = lineAt(text_, found.end, at);
        at = line.next;
        size_t keyStart;
        size_t keyEnd;
        keyOf(text_, line, &keyStart, &keyEnd);
        // The reader compares keys up to a NUL they may hold.
        size_t keyLength = wcsnlen(text_ + keyStart, keyEnd - keyStart);
        if (keyLength == 0
            || CompareStringOrdinal(text_ + keyStart, static_cast<int>(keyLength), key, -1, TRUE) != CSTR_EQUAL)
            continue;
        size_t equals = keyEnd;
        while (equals < line.contentEnd && text_[equals] != L'=')
            ++equals;
        // The first line of the key is the one the reader knows; without "=" it holds no value.
        if (equals == line.contentEnd)
            return nullptr;
        size_t valueStart = equals + 1;
        while (valueStart < line.contentEnd && isProfileBlank(text_[valueStart]))
            ++valueStart;
        *length = wcsnlen(text_ + valueStart, line.contentEnd - valueStart);
        return text_ + valueStart;
    }
    return nullptr;
}

void KeptSettings::markLoaded(unsigned section, const wchar_t* const* keys, size_t keyCount)
{
    if (section >= sectionCount_)
        return;
    Section& loaded = sections_[section + 1];
    loaded.loaded = true;
    delete[] loaded.keptLines;
    loaded.keptLines = new (std::nothrow) wchar_t[loaded.end - loaded.bodyStart + 1];
    loaded.keptLength = 0;
    if (loaded.keptLines == nullptr)
        return;
    // Every line of a key the table reads is the table's: the profile reader sees only the first, so a
    // later one holds nothing any reader gets, and keeping it would make it the first at the next load.
    for (size_t at = loaded.bodyStart; at < loaded.end;) {
        Line line = lineAt(text_, loaded.end, at);
        size_t keyStart;
        size_t keyEnd;
        keyOf(text_, line, &keyStart, &keyEnd);
        bool tableKey = false;
        for (size_t k = 0; k < keyCount && !tableKey && keyEnd > keyStart; ++k)
            tableKey = CompareStringOrdinal(text_ + keyStart, static_cast<int>(keyEnd - keyStart), keys[k], -1, TRUE)
                == CSTR_EQUAL;
        if (!tableKey) {
            memcpy(loaded.keptLines + loaded.keptLength, text_ + line.start, (line.next - line.start) * sizeof(wchar_t));
            loaded.keptLength += line.next - line.start;
        }
        at = line.next;
    }
    loaded.keptLines[loaded.keptLength] = L'\0';
}

namespace {
// The reader takes off one pair of like quotes enclosing a value.
bool isQuoted(const wchar_t* value, size_t length)
{
    return length >= 2 && (value[0] == L'"' || value[0] == L'\'') && value[length - 1] == value[0];
}

// What the profile reader answers for a number: at most its first 29 characters are read (a
// quoted value loses one more), blanks and a sign may come before the digits, which are decimal
// unless a prefix says otherwise, reading stops at anything else, and the number wraps around as
// an unsigned 32-bit one would.
int profileNumber(const wchar_t* value, size_t length)
{
    constexpr size_t readable = 29;
    bool quoted = isQuoted(value, length);
    size_t count = quoted ? length - 1 : length;
    const wchar_t* at = quoted ? value + 1 : value;
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
            : *at >= L'A' && *at <= L'Z'          ? static_cast<unsigned>(*at - L'A') + 10
            : *at >= L'a' && *at <= L'z'          ? static_cast<unsigned>(*at - L'a') + 10
                                                  : base;
        if (digit >= base)
            break;
        total = total * base + digit;
    }
    return static_cast<int>(negative ? 0u - total : total);
}
} // namespace

void SettingsValues::text(const wchar_t* key, wchar_t* buffer, size_t capacity) const
{
    if (kept_.valuesFromFile()) {
        readSetting(path_, name_, key, buffer, capacity);
        return;
    }
    if (capacity == 0)
        return;
    size_t length = 0;
    const wchar_t* value = kept_.findValue(section_, key, &length);
    buffer[0] = L'\0';
    if (value == nullptr)
        return;
    if (isQuoted(value, length)) {
        ++value;
        length -= 2;
    }
    size_t copied = length < capacity - 1 ? length : capacity - 1;
    memcpy(buffer, value, copied * sizeof(wchar_t));
    buffer[copied] = L'\0';
}

int SettingsValues::number(const wchar_t* key, int whenMissing) const
{
    if (kept_.valuesFromFile())
        return static_cast<int>(GetPrivateProfileIntW(name_, key, whenMissing, path_));
    size_t length = 0;
    const wchar_t* value = kept_.findValue(section_, key, &length);
    if (value == nullptr || length == 0 || (length == 2 && isQuoted(value, length)))
        return whenMissing;
    return profileNumber(value, length);
}

void KeptSettings::writeLeadingLines(SettingsWriter& writer) const
{
    if (sections_ != nullptr)
        writer.writeKept(text_, sections_[0].end);
}

void KeptSettings::writeKeptLines(SettingsWriter& writer, unsigned loadedFrom) const
{
    if (loadedFrom == 0 || loadedFrom > sectionCount_)
        return;
    const Section& section = sections_[loadedFrom];
    if (section.loaded && section.keptLines != nullptr)
        writer.writeKept(section.keptLines, section.keptLength);
}

void KeptSettings::writeUnloadedSections(SettingsWriter& writer) const
{
    for (unsigned i = 1; i <= sectionCount_; ++i)
        if (!sections_[i].loaded)
            writer.writeKeptSection(text_ + sections_[i].start, sections_[i].end - sections_[i].start);
}

DWORD KeptSettings::save(const wchar_t* path, const SettingsWriter& writer)
{
    if (writer.failed())
        return ERROR_NOT_ENOUGH_MEMORY;
    unsigned long long fingerprint = settingsFingerprint(writer.text(), writer.length());
    // A file that went missing meanwhile (or was replaced by another of a different size) is written again.
    WIN32_FILE_ATTRIBUTE_DATA present;
    if (fileExisted_ && fingerprint == fingerprint_ && GetFileAttributesExW(path, GetFileExInfoStandard, &present)
        && (static_cast<unsigned long long>(present.nFileSizeHigh) << 32 | present.nFileSizeLow)
            == 2 + writer.length() * sizeof(wchar_t))
        return ERROR_SUCCESS;
    DWORD error = replaceSettingsFile(path, writer.text(), writer.length());
    if (error == ERROR_SUCCESS) {
        fileExisted_ = true;
        fingerprint_ = fingerprint;
    }
    return error;
}

void showEntriesNotShown(HWND dialog, int control, unsigned count)
{
    wchar_t text[textCapacity] = L"";
    if (count > 0) {
        // Grouped in thousands, as the user counts them: 9,950.
        wchar_t digits[16];
        StringCchPrintfW(digits, _countof(digits), L"%u", count);
        wchar_t grouped[24];
        size_t length = wcslen(digits);
        size_t at = 0;
        for (size_t i = 0; i < length; ++i) {
            if (i > 0 && (length - i) % 3 == 0)
                grouped[at++] = L',';
            grouped[at++] = digits[i];
        }
        grouped[at] = L'\0';
        StringCchPrintfW(text, _countof(text), L"The settings file holds %s more %s than shown here; %s kept.", grouped,
            count == 1 ? L"entry" : L"entries", count == 1 ? L"it is" : L"they are");
    }
    SetDlgItemTextW(dialog, control, text);
}
