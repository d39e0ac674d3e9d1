#include "settingsFile.h"

#include "textBuffers.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cwctype>
#include <new>

namespace {
void trimBlanks(const wchar_t* name, const wchar_t** begin, size_t* length)
{
    const wchar_t* first = name;
    while (*first == L' ' || *first == L'\t')
        ++first;
    size_t count = wcslen(first);
    while (count > 0 && (first[count - 1] == L' ' || first[count - 1] == L'\t'))
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
    trimBlanks(left, &leftBegin, &leftLength);
    trimBlanks(right, &rightBegin, &rightLength);
    return CompareStringOrdinal(
               leftBegin, static_cast<int>(leftLength), rightBegin, static_cast<int>(rightLength), TRUE)
        == CSTR_EQUAL;
}

SectionNameList::SectionNameList(const wchar_t* path)
{
    // The profile reader cuts the list to the buffer it is given, so grow until it all fits.
    for (DWORD capacity = textCapacity; capacity <= (1u << 26); capacity *= 2) {
        names_ = new (std::nothrow) wchar_t[capacity];
        if (names_ == nullptr)
            return;
        DWORD length = GetPrivateProfileSectionNamesW(names_, capacity, path);
        if (length < capacity - 2) {
            names_[length] = L'\0';
            if (length + 1 < capacity)
                names_[length + 1] = L'\0';
            return;
        }
        delete[] names_;
        names_ = nullptr;
    }
}

SectionNameList::~SectionNameList()
{
    delete[] names_;
}

bool createFolderTree(const wchar_t* folder)
{
    if (folder[0] == L'\0' || PathIsRootW(folder) || PathIsDirectoryW(folder))
        return true;
    wchar_t parent[MAX_PATH];
    if (FAILED(StringCchCopyW(parent, _countof(parent), folder)) || !PathRemoveFileSpecW(parent))
        return false;
    if (wcscmp(parent, folder) != 0 && !createFolderTree(parent))
        return false;
    return CreateDirectoryW(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

SettingsWriter::SettingsWriter(const wchar_t* path)
{
    newPath_[0] = L'\0';
    failed_ = FAILED(StringCchCopyW(path_, _countof(path_), path)) || path_[0] == L'\0';
    wchar_t folder[MAX_PATH];
    StringCchCopyW(folder, _countof(folder), path_);
    PathRemoveFileSpecW(folder);
    if (failed_ || !createFolderTree(folder) || GetTempFileNameW(folder, L"set", 0, newPath_) == 0) {
        failed_ = true;
        newPath_[0] = L'\0';
        return;
    }
    // A file that starts with a byte-order mark is written by the profile functions in UTF-16.
    HANDLE file = CreateFileW(newPath_, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const BYTE byteOrderMark[] = {0xFF, 0xFE};
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE || !WriteFile(file, byteOrderMark, sizeof(byteOrderMark), &written, nullptr)
        || written != sizeof(byteOrderMark))
        failed_ = true;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

SettingsWriter::~SettingsWriter()
{
    if (newPath_[0] != L'\0')
        DeleteFileW(newPath_);
}

namespace {
bool isProfileBlank(wchar_t c)
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
    return isProfileBlank(first) || isProfileBlank(last)
        || (length >= 2 && first == last && (first == L'"' || first == L'\''));
}
} // namespace

void SettingsWriter::write(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    if (failed_)
        return;
    if (!needsQuotes(value)) {
        failed_ = !WritePrivateProfileStringW(section, key, value, newPath_);
        return;
    }
    size_t capacity = wcslen(value) + 3;
    wchar_t* quoted = new (std::nothrow) wchar_t[capacity];
    failed_ = quoted == nullptr || FAILED(StringCchPrintfW(quoted, capacity, L"\"%s\"", value))
        || !WritePrivateProfileStringW(section, key, quoted, newPath_);
    delete[] quoted;
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

bool SettingsWriter::commit()
{
    if (failed_)
        return false;
    // Make sure the profile layer has written everything before the file moves.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, newPath_);
    if (!MoveFileExW(newPath_, path_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    newPath_[0] = L'\0';
    return true;
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
