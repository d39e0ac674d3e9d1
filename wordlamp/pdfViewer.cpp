#include "pdfViewer.h"

#include "busyEditor.h"
#include "pluginHost.h"
#include "helpViewers.h"
#include "textBuffers.h"
#include "textHelpers.h"
#include "userMessages.h"
#include "wordPlacement.h"

#include <ddeml.h>
#include <new>
#include <strsafe.h>

namespace wordlamp {

namespace {
const wchar_t acrobatKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Acrobat.exe";
const wchar_t readerKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\AcroRd32.exe";
const wchar_t docOpenFormat[] = L"[DocOpen(\"%s\")]";
const wchar_t docFindFormat[] = L"[DocFind(NULL, \"%s\", false, true, true)]";
// The program, the switch, then the search and the file, each quoted as one argument.
const wchar_t readerCommandFormat[] = L"\"%s\" /A %s %s";

constexpr size_t ddeCommandCapacity = 4096;
constexpr DWORD retryStep = 200;      // each wait is this much longer than the one before
constexpr DWORD lastRetryWait = 3000; // no further attempt once the wait has passed this
constexpr DWORD executeTimeout = 1000;

// Waits on the editor's thread without freezing the editor: its windows repaint, while input and
// commands stay queued for afterwards, so no second lookup starts inside this one. Esc gives up.
bool waitLettingPaintThrough(DWORD milliseconds)
{
    constexpr DWORD escapePoll = 50;
    // Bounds the repainting in one poll, should a window never validate itself.
    constexpr int maxPaintsPerPoll = 64;
    ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        letWindowsPaint(maxPaintsPerPoll);
        if (escapePressed())
            return false;
        ULONGLONG now = GetTickCount64();
        if (now >= end)
            return true;
        DWORD left = static_cast<DWORD>(end - now);
        MsgWaitForMultipleObjectsEx(0, nullptr, left < escapePoll ? left : escapePoll, QS_PAINT | QS_KEY, 0);
    }
}

bool (*retryWait)(DWORD) = waitLettingPaintThrough;

// Reads the default value of an App Paths key: false when the key doesn't exist. A key without a
// usable value still counts as the program being registered; the path is then empty.
bool findRegisteredProgram(const wchar_t* key, wchar_t* path, DWORD capacity)
{
    path[0] = L'\0';
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = (capacity - 1) * sizeof(wchar_t);
    if (RegQueryValueExW(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS
        && (type == REG_SZ || type == REG_EXPAND_SZ))
        path[size / sizeof(wchar_t)] = L'\0'; // the stored value need not end with a terminator
    else
        path[0] = L'\0';
    RegCloseKey(opened);
    return true;
}

// Started programs are neither waited for nor tracked. The system's error when it did not start,
// else 0.
DWORD startProgram(const wchar_t* program, wchar_t* commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(
            program, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ERROR_SUCCESS;
}

// The word goes inside a quoted text of a DDE command, which has no escape for a double quote: its
// own are dropped, as they would end the text and let the document's text add commands of its own.
void copyWithoutQuotes(wchar_t* destination, size_t capacity, const wchar_t* text)
{
    size_t length = 0;
    for (; *text != L'\0' && length + 1 < capacity; ++text)
        if (*text != L'"')
            destination[length++] = *text;
    destination[length] = L'\0';
}

HDDEDATA CALLBACK ignoreTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

void execute(HCONV conversation, const wchar_t* command)
{
    DWORD bytes = static_cast<DWORD>(wcslen(command) * sizeof(wchar_t));
    DdeClientTransaction(reinterpret_cast<BYTE*>(const_cast<wchar_t*>(command)), bytes, conversation, nullptr, CF_TEXT,
        XTYP_EXECUTE, executeTimeout, nullptr);
}

void searchInAcrobat(const wchar_t* program, const wchar_t* location, const wchar_t* word)
{
    // An Acrobat that did not start may still be running from before, so the connection is tried
    // all the same; the reason it did not start only goes with a failure to connect.
    DWORD startError = startProgram(program, nullptr);

    DWORD instance = 0;
    if (DdeInitializeW(&instance, ignoreTransactions, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        showMessage(L"Failied to initialize DDE!", L"ERROR", MB_OK);
        return;
    }
    HSZ service = DdeCreateStringHandleW(instance, L"acroview", 0);
    HSZ topic = DdeCreateStringHandleW(instance, L"control", 0);

    // Acrobat may still be starting: try again after ever longer waits.
    HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    DWORD wait = 0;
    bool givenUp = false;
    while (conversation == nullptr) {
        // Given up by the user with Esc: the same message as when the last wait has passed.
        if (wait > lastRetryWait || givenUp) {
            wchar_t text[textCapacity] = L"Could not connect to Acrobat DDE server!";
            if (startError != ERROR_SUCCESS) {
                wchar_t failedStart[textCapacity];
                describeFailedStart(program, startError, failedStart, _countof(failedStart));
                StringCchCatW(text, _countof(text), L"\n");
                StringCchCatW(text, _countof(text), failedStart);
            }
            showMessage(text, L"ERROR", MB_OK);
            DdeFreeStringHandle(instance, service);
            DdeFreeStringHandle(instance, topic);
            DdeUninitialize(instance);
            return;
        }
        wait += retryStep;
        givenUp = !retryWait(wait);
        if (givenUp)
            continue;
        conversation = DdeConnect(instance, service, topic, nullptr);
    }

    wchar_t command[ddeCommandCapacity];
    // A location too long for the command would open some other file; send nothing then.
    if (SUCCEEDED(StringCchPrintfW(command, _countof(command), docOpenFormat, location))) {
        execute(conversation, command);
        // A word too long for the command is cut so that the command stays whole.
        const size_t fixedLength = _countof(docFindFormat) - 1 - 2; // without "%s" and the terminator
        wchar_t searched[ddeCommandCapacity];
        copyWithoutQuotes(searched, _countof(command) - fixedLength, word);
        StringCchPrintfW(command, _countof(command), docFindFormat, searched);
        execute(conversation, command);
    }

    DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    DdeUninitialize(instance);
}

void searchInReader(const wchar_t* program, const wchar_t* location, const wchar_t* word)
{
    std::unique_ptr<wchar_t[]> search(new (std::nothrow) wchar_t[commandLineCapacity]);
    std::unique_ptr<wchar_t[]> searchArgument(new (std::nothrow) wchar_t[commandLineCapacity]);
    std::unique_ptr<wchar_t[]> fileArgument(new (std::nothrow) wchar_t[commandLineCapacity]);
    std::unique_ptr<wchar_t[]> commandLine(new (std::nothrow) wchar_t[commandLineCapacity]);
    if (search == nullptr || searchArgument == nullptr || fileArgument == nullptr || commandLine == nullptr)
        return;
    // Each quoted so that the reader reads back exactly the word and the file, whatever the word
    // holds; a cut command line would search or open something else, so nothing starts then.
    if (FAILED(StringCchPrintfW(search.get(), commandLineCapacity, L"search=%s", word))
        || !quoteArgument(search.get(), true, searchArgument.get(), commandLineCapacity)
        || !quoteArgument(location, true, fileArgument.get(), commandLineCapacity)
        || FAILED(StringCchPrintfW(commandLine.get(), commandLineCapacity, readerCommandFormat, program,
            searchArgument.get(), fileArgument.get()))) {
        reportCommandLineTooLong();
        return;
    }
    DWORD startError = startProgram(program, commandLine.get());
    if (startError != ERROR_SUCCESS) {
        wchar_t failedStart[textCapacity];
        describeFailedStart(program, startError, failedStart, _countof(failedStart));
        showMessage(failedStart, getName(), MB_OK | MB_ICONERROR);
    }
}
} // namespace

void setPdfRetryWait(bool (*wait)(DWORD milliseconds))
{
    retryWait = wait != nullptr ? wait : waitLettingPaintThrough;
}

void showPdfHelp(const wchar_t* location, const wchar_t* word)
{
    if (!helpFileExists(location))
        return;
    wchar_t program[pathCapacity];
    if (findRegisteredProgram(acrobatKey, program, _countof(program)))
        searchInAcrobat(program, location, word);
    else if (findRegisteredProgram(readerKey, program, _countof(program)))
        searchInReader(program, location, word);
    else
        shellOpenHelp(location, L"");
}

} // namespace wordlamp
