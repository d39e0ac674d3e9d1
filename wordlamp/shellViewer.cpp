// Anything that is no help file of a known kind: the shell opens it, a program gets the word as
// its command line.
#include "helpViewers.h"
#include "pluginHost.h"
#include "userMessages.h"

#include <shellapi.h>
#include <strsafe.h>

namespace wordlamp {

namespace {
struct ShellError {
    int code;
    const wchar_t* text;
};

const ShellError shellErrors[] = {
    {0, L"The operating system is out of memory or resources."},
    {ERROR_FILE_NOT_FOUND, L"The specified file was not found."},
    {ERROR_PATH_NOT_FOUND, L"The specified path was not found."},
    {SE_ERR_ACCESSDENIED, L"The operating system denied access to the specified file."},
    {SE_ERR_OOM, L"There was not enough memory to complete the operation."},
    {ERROR_BAD_FORMAT, L"The .exe file is invalid (non-Win32\u00CE\u00A0.exe or error in .exe image)."},
    {SE_ERR_SHARE, L"A sharing violation occurred."},
    {SE_ERR_ASSOCINCOMPLETE, L"The file name association is incomplete or invalid."},
    {SE_ERR_DDETIMEOUT, L"The DDE transaction could not be completed because the request timed out."},
    {SE_ERR_DDEFAIL, L"The DDE transaction failed."},
    {SE_ERR_DDEBUSY,
        L"The DDE transaction could not be completed because other DDE transactions were being processed."},
    {SE_ERR_NOASSOC,
        L"There is no application associated with the given file name extension. This error will also be "
        L"returned if you attempt to print a file that is not printable."},
    {SE_ERR_DLLNOTFOUND, L"The specified dynamic-link library was not found."},
};

const size_t unknownErrorCapacity = 512;
} // namespace

void shellOpenHelp(const wchar_t* location, const wchar_t* parameters)
{
    HINSTANCE result = ShellExecuteW(nppData._nppHandle, nullptr, location, parameters, nullptr, SW_SHOWNORMAL);
    reportShellExecuteError(reinterpret_cast<intptr_t>(result));
}

void reportShellExecuteError(intptr_t code)
{
    if (code > 32)
        return;
    const int number = static_cast<int>(code);
    const wchar_t* text = nullptr;
    for (const ShellError& error : shellErrors)
        if (error.code == number)
            text = error.text;
    wchar_t unknown[unknownErrorCapacity];
    if (text == nullptr) {
        StringCchPrintfW(unknown, _countof(unknown), L"Unknown error: ShellExecuted returned %d.", number);
        text = unknown;
    }
    showMessage(text, getName(), MB_OK | MB_ICONERROR);
}

} // namespace wordlamp
