#include "wordPlacement.h"

#include "textBuffers.h"
#include "textHelpers.h"
#include "userMessages.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cwchar>
#include <vector>

namespace wordlamp {

namespace {
constexpr size_t messageCapacity = 256;

bool isAsciiLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool isSchemeCharacter(wchar_t c)
{
    return isAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
}

bool equalsOneOf(const wchar_t* text, size_t length, const wchar_t* const* candidates, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (wcslen(candidates[i]) == length && StrCmpNIW(text, candidates[i], static_cast<int>(length)) == 0)
            return true;
    return false;
}

void reportLocationTooLong(size_t longest)
{
    wchar_t message[messageCapacity];
    StringCchPrintfW(message, _countof(message),
        L"The word is too long: this help location may be at most %u characters long.", static_cast<unsigned>(longest));
    showInformation(message);
}

// What the location's target takes: an address as long as browsers take, a Document Explorer
// address as long as its query is read, anything that names a file (a "file:" address too) a path.
size_t longestLocation(LocationKind kind, const wchar_t* location)
{
    if (kind == LocationKind::address && StrCmpNIW(location, L"file:", 5) != 0)
        return maxAddressLength;
    if (kind == LocationKind::documentExplorer)
        return textCapacity - 1;
    return pathCapacity - 1;
}
} // namespace

bool isAddress(const wchar_t* location)
{
    static const wchar_t* const schemes[] = {L"http", L"https", L"ftp", L"mailto", L"file"};
    size_t length = 0;
    if (!isAsciiLetter(location[0]))
        return false;
    while (isSchemeCharacter(location[length]))
        ++length;
    // One letter before the colon is a drive.
    if (location[length] != L':' || length < 2)
        return false;
    if (equalsOneOf(location, length, schemes, _countof(schemes)))
        return true;
    return location[length + 1] == L'/' && location[length + 2] == L'/';
}

bool isHandedToCmd(const wchar_t* location)
{
    static const wchar_t* const batchExtensions[] = {L".bat", L".cmd"};
    // Shortcuts may lead to a batch file, and the program extensions tried on a bare name include
    // the batch files'.
    static const wchar_t* const mayLeadToBatch[] = {L".lnk", L".pif", L""};
    static const wchar_t* const cmdNames[] = {L"cmd", L"cmd.exe"};
    size_t end = wcslen(location);
    // The file system drops trailing dots and blanks, so "run.cmd." starts run.cmd.
    while (end > 0 && (location[end - 1] == L'.' || location[end - 1] == L' '))
        --end;
    size_t nameStart = end;
    while (nameStart > 0 && location[nameStart - 1] != L'\\' && location[nameStart - 1] != L'/'
        && location[nameStart - 1] != L':')
        --nameStart;
    size_t extensionStart = end;
    for (size_t i = nameStart; i < end; ++i)
        if (location[i] == L'.')
            extensionStart = i;
    const wchar_t* extension = location + extensionStart;
    size_t extensionLength = end - extensionStart;
    if (equalsOneOf(extension, extensionLength, batchExtensions, _countof(batchExtensions))
        || equalsOneOf(location + nameStart, end - nameStart, cmdNames, _countof(cmdNames)))
        return true;
    // A folder opens in the file manager, whatever its name.
    return equalsOneOf(extension, extensionLength, mayLeadToBatch, _countof(mayLeadToBatch))
        && !PathIsDirectoryW(location);
}

LocationKind kindOfLocation(const wchar_t* location)
{
    const wchar_t* extension = PathFindExtensionW(location);
    if (equalIgnoringAsciiCase(extension, L".chm"))
        return LocationKind::chm;
    if (equalIgnoringAsciiCase(extension, L".hlp"))
        return LocationKind::winHelp;
    if (equalIgnoringAsciiCase(extension, L".pdf"))
        return LocationKind::pdf;
    if (StrCmpNIW(location, L"ms-help://", 10) == 0)
        return LocationKind::documentExplorer;
    return isAddress(location) ? LocationKind::address : LocationKind::path;
}

bool placeWord(const ExpandedTemplate& location, LocationKind kind, const wchar_t* word, std::wstring& placed)
{
    const size_t capacity = longestLocation(kind, location.text) + 1;
    // In an address the word is one value: none of its characters may end the value, start
    // another, cut the address or read as an escape.
    const wchar_t* inserted = word;
    std::vector<wchar_t> encoded;
    if (kind == LocationKind::address && location.placeCount > 0) {
        encoded.resize(capacity);
        if (!percentEncodeUtf8(word, encoded.data(), capacity)) {
            reportLocationTooLong(capacity - 1);
            return false;
        }
        inserted = encoded.data();
    }
    std::vector<wchar_t> text(capacity);
    if (!insertWord(location, inserted, text.data(), capacity)) {
        reportLocationTooLong(capacity - 1);
        return false;
    }
    placed = text.data();
    return true;
}

bool refusedByBatchFile(const wchar_t* word)
{
    // cmd acts on these even inside quotes (%, !), or once a quote of the word's own has ended the
    // argument; a line break ends the command.
    const wchar_t* found = wcspbrk(word, L"&|<>^%!\"()\r\n");
    if (found == nullptr)
        return false;
    wchar_t named[2] = {*found, L'\0'};
    wchar_t message[messageCapacity];
    StringCchPrintfW(message, _countof(message),
        L"The word contains characters that cannot be passed to a batch file safely: %s",
        *found == L'\r' || *found == L'\n' ? L"a line break" : named);
    showInformation(message);
    return true;
}

void reportCommandLineTooLong()
{
    wchar_t message[messageCapacity];
    StringCchPrintfW(message, _countof(message),
        L"The word is too long: a program's command line may be at most %u characters long.",
        static_cast<unsigned>(commandLineCapacity));
    showInformation(message);
}

} // namespace wordlamp
