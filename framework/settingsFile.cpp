#include "settingsFile.h"

#include "iniText.h"
#include "scopedWin.h"
#include "textBuffers.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <cwctype>

namespace {
// A file that starts with a byte-order mark is read by the profile functions as UTF-16.
const BYTE byteOrderMark[] = {0xFF, 0xFE};

constexpr unsigned long long fingerprintStart = 14695981039346656037ull;

unsigned long long addToFingerprint(unsigned long long fingerprint, const void* data, size_t size)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    for (size_t i = 0; i < size; ++i)
        fingerprint = (fingerprint ^ bytes[i]) * 1099511628211ull;
    return fingerprint;
}

bool needsQuotesAround(wchar_t c)
{
    return iswspace(c) || c == 0x1A;
}

// The profile functions drop blanks around a value and one pair of quotes enclosing it, so such a
// value goes into the file inside a pair of quotes of its own, which reading takes off again.
bool needsQuotes(std::wstring_view value)
{
    if (value.empty())
        return false;
    return needsQuotesAround(value.front()) || needsQuotesAround(value.back()) || isQuoted(value);
}

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

void SettingsWriter::endLine()
{
    if (!text_.empty() && text_.back() != L'\n' && text_.back() != L'\r')
        text_ += L"\r\n";
}

void SettingsWriter::write(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    // Names go in as the profile functions would store them: without the blanks around them.
    std::wstring_view name = withoutProfileBlanks(section);
    if (!inSection_ || section_ != name) {
        endLine();
        text_.append(L"[").append(name).append(L"]\r\n");
        section_ = name;
        inSection_ = true;
    }
    text_.append(withoutProfileBlanks(key)).append(L"=");
    bool quoted = needsQuotes(value);
    if (quoted)
        text_ += L'"';
    text_ += value;
    if (quoted)
        text_ += L'"';
    text_ += L"\r\n";
}

void SettingsWriter::writeFlag(const wchar_t* section, const wchar_t* key, int flag)
{
    write(section, key, flag != 0 ? L"1" : L"0");
}

void SettingsWriter::writeNumber(const wchar_t* section, const wchar_t* key, int number)
{
    write(section, key, std::to_wstring(number).c_str());
}

void SettingsWriter::writeKept(std::wstring_view lines)
{
    if (lines.empty())
        return;
    endLine();
    text_ += lines;
}

void SettingsWriter::writeKeptSection(std::wstring_view lines)
{
    writeKept(lines);
    inSection_ = false;
}

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
    UniqueFile file(CreateFileW(newPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    bool written = writeWhole(file.get(), byteOrderMark, sizeof(byteOrderMark))
        && writeWhole(file.get(), text, length * sizeof(wchar_t)) && FlushFileBuffers(file.get());
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    file.reset();
    if (!written) {
        DeleteFileW(newPath);
        return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
    }
    error = tryWhileHeld(
        [&] {
            return MoveFileExW(newPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS
                                                                                                  : GetLastError();
        },
        isTransientRefusal);
    if (error == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    DeleteFileW(newPath);
    return error;
}

unsigned long long bytesFingerprint(const BYTE* bytes, size_t size)
{
    return addToFingerprint(fingerprintStart, bytes, size);
}

unsigned long long settingsFingerprint(const std::wstring& text)
{
    return addToFingerprint(
        bytesFingerprint(byteOrderMark, sizeof(byteOrderMark)), text.data(), text.size() * sizeof(wchar_t));
}
