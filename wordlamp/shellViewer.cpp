// Anything that is no help file of a known kind: the shell opens it, a program gets the word as
// its one argument.
#include "helpViewers.h"
#include "openDialogs.h"
#include "pluginIdentity.h"
#include "textBuffers.h"
#include "textHelpers.h"
#include "userMessages.h"
#include "wordPlacement.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <cwchar>
#include <vector>

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
    SetLastError(ERROR_SUCCESS);
    // Whatever the shell shows of its own belongs, like our messages, to the dialog open on top.
    HINSTANCE result = ShellExecuteW(messageOwner(), nullptr, location, parameters, nullptr, SW_SHOWNORMAL);
    DWORD systemError = GetLastError();
    reportShellExecuteError(reinterpret_cast<intptr_t>(result), location, systemError);
}

void shellOpenAddress(const wchar_t* address)
{
    // An address that fits a path goes the usual way. A longer one is named by its scheme, so the
    // program is found without the shell first taking the address for a file name, which some
    // shells (Wine's) copy into a buffer of a path's length and overrun. A "file:" address is a
    // path in the shell's eyes and goes as one.
    constexpr size_t schemeCapacity = 64;
    wchar_t scheme[schemeCapacity] = L"";
    const wchar_t* colon = wcschr(address, L':');
    size_t schemeLength = colon != nullptr ? static_cast<size_t>(colon - address) : 0;
    if (wcslen(address) < MAX_PATH || schemeLength == 0 || schemeLength >= schemeCapacity
        || StrCmpNIW(address, L"file:", 5) == 0) {
        shellOpenHelp(address, L"");
        return;
    }
    wmemcpy(scheme, address, schemeLength);
    scheme[schemeLength] = L'\0';
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI;
    request.hwnd = messageOwner();
    request.lpFile = address;
    request.lpClass = scheme;
    request.nShow = SW_SHOWNORMAL;
    SetLastError(ERROR_SUCCESS);
    ShellExecuteExW(&request);
    DWORD systemError = GetLastError();
    reportShellExecuteError(reinterpret_cast<intptr_t>(request.hInstApp), address, systemError);
}

void shellOpenWithWord(
    const ExpandedTemplate& location, const wchar_t* placed, const wchar_t* placedWord, const wchar_t* word)
{
    // Judged on both forms: the template's own, and the one the shell gets, which the word may end.
    bool toCmd = isHandedToCmd(placed) || isHandedToCmd(location.text);
    if (toCmd && ((location.placeCount > 0 && refusedByBatchFile(placedWord)) || refusedByBatchFile(word)))
        return;
    // Quoted always for cmd, which would also part the word at "," ";" and "=".
    std::vector<wchar_t> parameters(commandLineCapacity);
    // The quoted location, a blank and the parameters make the program's command line.
    if ((word[0] != L'\0' && !quoteArgument(word, toCmd, parameters.data(), parameters.size()))
        || wcslen(placed) + 3 + wcslen(parameters.data()) >= commandLineCapacity) {
        reportCommandLineTooLong();
        return;
    }
    shellOpenHelp(placed, parameters.data());
}

void describeFailedStart(const wchar_t* program, DWORD systemError, wchar_t* text, size_t capacity)
{
    if (systemError == ERROR_SUCCESS) {
        StringCchPrintfW(text, capacity, L"Could not start \"%s\".", program);
        return;
    }
    wchar_t reason[textCapacity];
    describeSystemError(systemError, reason, _countof(reason));
    StringCchPrintfW(text, capacity, L"Could not start \"%s\": %s", program, reason);
}

void reportShellExecuteError(intptr_t code, const wchar_t* location, DWORD systemError)
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
    // The documented sentence first, then what could not be started and why.
    wchar_t failedStart[textCapacity];
    describeFailedStart(location, systemError, failedStart, _countof(failedStart));
    wchar_t message[textCapacity];
    StringCchPrintfW(message, _countof(message), L"%s\n%s", text, failedStart);
    showMessage(message, pluginName().c_str(), MB_OK | MB_ICONERROR);
}

} // namespace wordlamp
