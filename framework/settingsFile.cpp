#include "settingsFile.h"

#include "pluginIdentity.h"
#include "textBuffers.h"
#include "userMessages.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <cwctype>
#include <new>

bool isProfileBlank(wchar_t c)
{
    return (c >= L'\t' && c <= L'\r') || c == L' ' || c == 0x1A;
}

namespace {
// Where a name starts and how long it is without the blanks the profile functions drop around it.
void trimProfileBlanks(const wchar_t* name, const wchar_t** begin, size_t* length)
{
    const wchar_t* first = name;
    while (isProfileBlank(*first))
        ++first;
    size_t count = wcslen(first);
    while (count > 0 && isProfileBlank(first[count - 1]))
        --count;
    *begin = first;
    *length = count;
}
} // namespace

bool sameSectionName(const wchar_t* left, const wchar_t* right)
{
    const wchar_t* leftBegin;
    const wchar_t* rightBegin;
    size_t leftLength;
    size_t rightLength;
    trimProfileBlanks(left, &leftBegin, &leftLength);
    trimProfileBlanks(right, &rightBegin, &rightLength);
    return CompareStringOrdinal(
               leftBegin, static_cast<int>(leftLength), rightBegin, static_cast<int>(rightLength), TRUE)
        == CSTR_EQUAL;
}

SettingsWriter::~SettingsWriter()
{
    delete[] text_;
}

void SettingsWriter::append(const wchar_t* text, size_t length)
{
    if (failed_)
        return;
    if (length_ + length + 1 > capacity_) {
        size_t capacity = capacity_ < 1024 ? 1024 : capacity_;
        while (capacity < length_ + length + 1)
            capacity *= 2;
        wchar_t* grown = new (std::nothrow) wchar_t[capacity];
        if (grown == nullptr) {
            failed_ = true;
            return;
        }
        if (length_ > 0)
            memcpy(grown, text_, length_ * sizeof(wchar_t));
        delete[] text_;
        text_ = grown;
        capacity_ = capacity;
    }
    memcpy(text_ + length_, text, length * sizeof(wchar_t));
    length_ += length;
    text_[length_] = L'\0';
}

void SettingsWriter::endLine()
{
    if (length_ > 0 && text_[length_ - 1] != L'\n' && text_[length_ - 1] != L'\r')
        append(L"\r\n", 2);
}

namespace {
bool needsQuotesAround(wchar_t c)
{
    return iswspace(c) || c == 0x1A;
}

// The profile functions drop blanks around a value and one pair of quotes enclosing it, so such a
// value goes into the file inside a pair of quotes of its own, which reading takes off again.
bool needsQuotes(const wchar_t* value)
{
    size_t length = wcslen(value);
    if (length == 0)
        return false;
    wchar_t first = value[0];
    wchar_t last = value[length - 1];
    return needsQuotesAround(first) || needsQuotesAround(last)
        || (length >= 2 && first == last && (first == L'"' || first == L'\''));
}
} // namespace

void SettingsWriter::write(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    // Names go in as the profile functions would store them: without the blanks around them.
    const wchar_t* name;
    size_t nameLength;
    trimProfileBlanks(section, &name, &nameLength);
    bool sameSection = inSection_ && sectionLength_ == nameLength
        && memcmp(text_ + sectionStart_, name, nameLength * sizeof(wchar_t)) == 0;
    if (!sameSection) {
        endLine();
        append(L"[", 1);
        sectionStart_ = length_;
        sectionLength_ = nameLength;
        append(name, nameLength);
        append(L"]\r\n", 3);
        inSection_ = true;
    }
    const wchar_t* keyName;
    size_t keyLength;
    trimProfileBlanks(key, &keyName, &keyLength);
    append(keyName, keyLength);
    append(L"=", 1);
    bool quoted = needsQuotes(value);
    if (quoted)
        append(L"\"", 1);
    append(value, wcslen(value));
    if (quoted)
        append(L"\"", 1);
    append(L"\r\n", 2);
}

void SettingsWriter::writeFlag(const wchar_t* section, const wchar_t* key, int flag)
{
    write(section, key, flag != 0 ? L"1" : L"0");
}

void SettingsWriter::writeNumber(const wchar_t* section, const wchar_t* key, int number)
{
    wchar_t text[16];
    StringCchPrintfW(text, _countof(text), L"%d", number);
    write(section, key, text);
}

void SettingsWriter::writeKept(const wchar_t* lines, size_t length)
{
    if (length == 0)
        return;
    endLine();
    append(lines, length);
}

void SettingsWriter::writeKeptSection(const wchar_t* lines, size_t length)
{
    writeKept(lines, length);
    inSection_ = false;
}

namespace {
bool writeWhole(HANDLE file, const void* data, size_t size)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD chunk = size > (1u << 24) ? (1u << 24) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written != chunk)
            return false;
        bytes += chunk;
        size -= chunk;
    }
    return true;
}

} // namespace

bool isTransientRefusal(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

DWORD replaceSettingsFile(const wchar_t* path, const wchar_t* text, size_t length)
{
    wchar_t newPath[MAX_PATH];
    wchar_t folder[MAX_PATH];
    if (path[0] == L'\0' || FAILED(StringCchPrintfW(newPath, _countof(newPath), L"%s.new", path))
        || FAILED(StringCchCopyW(folder, _countof(folder), path)))
        return ERROR_FILENAME_EXCED_RANGE;
    PathRemoveFileSpecW(folder);
    if (folder[0] != L'\0') {
        int created = SHCreateDirectoryExW(nullptr, folder, nullptr);
        if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS && created != ERROR_FILE_EXISTS)
            return static_cast<DWORD>(created);
    }

    // One fixed name, overwritten by every save: a save interrupted before its replace leaves one
    // file behind, never one more each time.
    HANDLE file = CreateFileW(newPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    // A file that starts with a byte-order mark is read by the profile functions as UTF-16.
    const BYTE byteOrderMark[] = {0xFF, 0xFE};
    bool written = writeWhole(file, byteOrderMark, sizeof(byteOrderMark))
        && writeWhole(file, text, length * sizeof(wchar_t)) && FlushFileBuffers(file);
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (!written) {
        DeleteFileW(newPath);
        return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
    }
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(newPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
        if (!isTransientRefusal(error) || attempt == heldFileAttempts)
            break;
        Sleep(heldFilePause);
    }
    DeleteFileW(newPath);
    return error;
}

namespace {
// The system's text for an error, without the line break it ends with.
void describeError(DWORD error, wchar_t* reason, size_t capacity)
{
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reason, static_cast<DWORD>(capacity), nullptr);
    while (length > 0 && isProfileBlank(reason[length - 1]))
        --length;
    reason[length] = L'\0';
    if (length == 0)
        StringCchPrintfW(reason, capacity, L"error %lu", error);
}

// The format takes the path, then the reason.
void reportSettingsProblem(const wchar_t* format, const wchar_t* path, DWORD error)
{
    wchar_t reason[textCapacity];
    describeError(error, reason, _countof(reason));
    wchar_t text[textCapacity];
    StringCchPrintfW(text, _countof(text), format, path, reason);
    showMessage(text, getName(), MB_OK | MB_ICONWARNING);
}
} // namespace

void reportSettingsNotSaved(const wchar_t* path, DWORD error)
{
    reportSettingsProblem(
        L"The settings could not be saved to\n%s\n\n%s\n\nThe file keeps the settings it had before.", path, error);
}

void reportSettingsNotRead(const wchar_t* path, DWORD error)
{
    reportSettingsProblem(L"The settings could not be read from\n%s\n\n%s\n\nThe plugin starts without them, and "
                          L"the file is left as it is until the editor is started again.",
        path, error);
}

void reportSettingsNotSavedUnread(const wchar_t* path, DWORD error)
{
    reportSettingsProblem(L"The settings cannot be saved to\n%s\n\nThe file could not be read when the editor "
                          L"started: %s\n\nIt is left as it is until the editor is started again.",
        path, error);
}

void readSetting(const wchar_t* path, const wchar_t* section, const wchar_t* key, wchar_t* buffer, size_t capacity)
{
    // Read with room for the pair of quotes a value may carry: the profile reader takes them off
    // only after cutting the value to the buffer, and would then lose the value's last character.
    size_t roomy = capacity + 2;
    wchar_t* value = new (std::nothrow) wchar_t[roomy];
    if (value == nullptr) {
        GetPrivateProfileStringW(section, key, L"", buffer, static_cast<DWORD>(capacity), path);
    } else {
        GetPrivateProfileStringW(section, key, L"", value, static_cast<DWORD>(roomy), path);
        StringCchCopyW(buffer, capacity, value);
        delete[] value;
    }
    buffer[capacity - 1] = L'\0';
}
