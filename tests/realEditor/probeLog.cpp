#include "probeLog.h"

#include <strsafe.h>

namespace {
std::wstring logPath;
UINT ownMessage = 0;
} // namespace

OwnRequest::OwnRequest(UINT message)
    : previous_(ownMessage)
{
    ownMessage = message;
}

OwnRequest::~OwnRequest()
{
    ownMessage = previous_;
}

bool OwnRequest::isOwn(UINT message)
{
    return message == ownMessage;
}

long long millisecondsSinceStart()
{
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER start = {{created.dwLowDateTime, created.dwHighDateTime}};
    ULARGE_INTEGER end = {{now.dwLowDateTime, now.dwHighDateTime}};
    return static_cast<long long>((end.QuadPart - start.QuadPart) / 10000);
}

void openProbeLog(const std::wstring& path)
{
    logPath = path;
    DeleteFileW(logPath.c_str());
}

void logLine(const std::wstring& line)
{
    if (logPath.empty())
        return;
    std::wstring text = line + L"\n";
    int size
        = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::wstring quoted(const std::wstring& text)
{
    std::wstring result = L"\"";
    for (wchar_t c : text) {
        if (c == L'\n')
            result += L"\\n";
        else if (c == L'\r')
            result += L"\\r";
        else if (c == L'\t')
            result += L"\\t";
        else
            result += c;
    }
    return result + L"\"";
}

std::wstring hex(ULONG_PTR value)
{
    wchar_t text[32];
    StringCchPrintfW(text, _countof(text), L"0x%llX", static_cast<unsigned long long>(value));
    return text;
}
