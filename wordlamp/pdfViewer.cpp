#include "pdfViewer.h"

#include "busyEditor.h"
#include "helpViewers.h"
#include "pluginIdentity.h"
#include "scopedWin.h"
#include "textBuffers.h"
#include "textHelpers.h"
#include "userMessages.h"
#include "wordPlacement.h"

#include <ddeml.h>
#include <strsafe.h>

#include <vector>

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
    UniqueRegistryKey opened;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, opened.put()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = (capacity - 1) * sizeof(wchar_t);
    if (RegQueryValueExW(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) == ERROR_SUCCESS
        && (type == REG_SZ || type == REG_EXPAND_SZ))
        path[size / sizeof(wchar_t)] = L'\0'; // the stored value need not end with a terminator
    else
        path[0] = L'\0';
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
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle started(process.hProcess);
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

// Says that Acrobat could not be reached, and why it did not start when it didn't.
void reportAcrobatUnreachable(const wchar_t* program, DWORD startError)
{
    wchar_t text[textCapacity] = L"Could not connect to Acrobat DDE server!";
    if (startError != ERROR_SUCCESS) {
        wchar_t failedStart[textCapacity];
        describeFailedStart(program, startError, failedStart, _countof(failedStart));
        StringCchCatW(text, _countof(text), L"\n");
        StringCchCatW(text, _countof(text), failedStart);
    }
    showMessage(text, L"ERROR", MB_OK);
}

// Connects to Acrobat's "acroview" service, trying again after ever longer waits while Acrobat may
// still be starting; no conversation when the last wait has passed or the user gave up with Esc.
UniqueDdeConversation connectToAcrobat(DWORD instance)
{
    UniqueDdeString service(instance, L"acroview");
    UniqueDdeString topic(instance, L"control");
    UniqueDdeConversation conversation(DdeConnect(instance, service.get(), topic.get(), nullptr));
    for (DWORD wait = retryStep; !conversation && wait <= lastRetryWait + retryStep; wait += retryStep) {
        if (!retryWait(wait))
            break;
        conversation.reset(DdeConnect(instance, service.get(), topic.get(), nullptr));
    }
    return conversation;
}

void searchInAcrobat(const wchar_t* program, const wchar_t* location, const wchar_t* word)
{
    // An Acrobat that did not start may still be running from before, so the connection is tried
    // all the same; the reason it did not start only goes with a failure to connect.
    DWORD startError = startProgram(program, nullptr);

    UniqueDdeInstance instance;
    if (DdeInitializeW(instance.put(), ignoreTransactions, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        showMessage(L"Failied to initialize DDE!", L"ERROR", MB_OK);
        return;
    }
    UniqueDdeConversation conversation = connectToAcrobat(instance.get());
    if (!conversation) {
        reportAcrobatUnreachable(program, startError);
        return;
    }

    wchar_t command[ddeCommandCapacity];
    // A location too long for the command would open some other file; send nothing then.
    if (SUCCEEDED(StringCchPrintfW(command, _countof(command), docOpenFormat, location))) {
        execute(conversation.get(), command);
        // A word too long for the command is cut so that the command stays whole.
        const size_t fixedLength = _countof(docFindFormat) - 1 - 2; // without "%s" and the terminator
        wchar_t searched[ddeCommandCapacity];
        copyWithoutQuotes(searched, _countof(command) - fixedLength, word);
        StringCchPrintfW(command, _countof(command), docFindFormat, searched);
        execute(conversation.get(), command);
    }
}

void searchInReader(const wchar_t* program, const wchar_t* location, const wchar_t* word)
{
    std::vector<wchar_t> search(commandLineCapacity);
    std::vector<wchar_t> searchArgument(commandLineCapacity);
    std::vector<wchar_t> fileArgument(commandLineCapacity);
    std::vector<wchar_t> commandLine(commandLineCapacity);
    // Each quoted so that the reader reads back exactly the word and the file, whatever the word
    // holds; a cut command line would search or open something else, so nothing starts then.
    if (FAILED(StringCchPrintfW(search.data(), commandLineCapacity, L"search=%s", word))
        || !quoteArgument(search.data(), true, searchArgument.data(), commandLineCapacity)
        || !quoteArgument(location, true, fileArgument.data(), commandLineCapacity)
        || FAILED(StringCchPrintfW(commandLine.data(), commandLineCapacity, readerCommandFormat, program,
            searchArgument.data(), fileArgument.data()))) {
        reportCommandLineTooLong();
        return;
    }
    DWORD startError = startProgram(program, commandLine.data());
    if (startError != ERROR_SUCCESS) {
        wchar_t failedStart[textCapacity];
        describeFailedStart(program, startError, failedStart, _countof(failedStart));
        showMessage(failedStart, pluginName().c_str(), MB_OK | MB_ICONERROR);
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
