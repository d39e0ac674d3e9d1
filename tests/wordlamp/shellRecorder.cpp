// Started by the shell as a help location: writes its command line to shellRecorder.log beside
// itself (UTF-16), through a temporary file so a reader never sees half of it.
#include <windows.h>

#include <shlwapi.h>
#include <strsafe.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t folder[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, folder, MAX_PATH);
    PathRemoveFileSpecW(folder);
    wchar_t logPath[MAX_PATH];
    wchar_t partPath[MAX_PATH];
    StringCchPrintfW(logPath, MAX_PATH, L"%s\\shellRecorder.log", folder);
    StringCchPrintfW(partPath, MAX_PATH, L"%s\\shellRecorder.part", folder);
    HANDLE file = CreateFileW(partPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const wchar_t* commandLine = GetCommandLineW();
    DWORD written = 0;
    const wchar_t byteOrderMark = 0xFEFF;
    WriteFile(file, &byteOrderMark, sizeof(byteOrderMark), &written, nullptr);
    WriteFile(file, commandLine, static_cast<DWORD>(lstrlenW(commandLine) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(partPath, logPath, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
