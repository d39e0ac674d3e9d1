// The viewer stand-ins record what reached them, one line each, in a UTF-16 file.
#pragma once

#include <windows.h>

#include <string>

// A file beside the given module (null: the running program).
inline std::wstring besideModule(HMODULE module, const wchar_t* fileName)
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + fileName;
}

// Appends the line as it is, embedded terminators included, so that the tests see exactly what came.
inline void appendLogLine(const std::wstring& path, const std::wstring& line)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    std::wstring text = size.QuadPart == 0 ? L"\xFEFF" : L"";
    text += line + L"\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}
