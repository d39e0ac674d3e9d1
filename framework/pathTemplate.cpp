#include "pathTemplate.h"

#include "pluginHost.h"
#include "textBuffers.h"
#include "textHelpers.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cwchar>

namespace {
constexpr size_t workingCapacity = 520;
constexpr size_t dateTimeCapacity = 256;
// The most ExpandEnvironmentStringsW can give; the result is cut from there, never written past.
constexpr size_t environmentCapacity = 32768;

wchar_t expandedPath[pathCapacity];
wchar_t environmentScratch[environmentCapacity];

struct HostToken {
    const wchar_t* token;
    UINT message;
};

// Answered by the editor, asked on every expansion whether the token occurs or not.
const HostToken documentTokens[] = {
    {L"$fullpath$", NPPM_GETFULLCURRENTPATH},
    {L"$dir$", NPPM_GETCURRENTDIRECTORY},
    {L"$name$", NPPM_GETNAMEPART},
    {L"$ext$", NPPM_GETEXTPART},
};

// Copies at most capacity - 1 characters, never leaving half of a surrogate pair at the end.
void copyCut(wchar_t* target, size_t capacity, const wchar_t* source)
{
    StringCchCopyW(target, capacity, source);
    size_t length = wcslen(target);
    if (length > 0 && IS_HIGH_SURROGATE(target[length - 1]))
        target[length - 1] = L'\0';
}

// The folder "Plugins" below the editor's program folder (the process's main executable).
void findProgramPluginsFolder(wchar_t* folder, size_t capacity)
{
    getProgramFolder(folder, capacity);
    PathAppendW(folder, L"Plugins");
}
} // namespace

const wchar_t* expandPathTemplate(const wchar_t* pathTemplate)
{
    // One reading of the clock, so the date and the time always agree.
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[dateTimeCapacity] = L"";
    wchar_t time[dateTimeCapacity] = L"";
    if (GetDateFormatW(LOCALE_USER_DEFAULT, 0, &now, L"yyyyMMdd", date, _countof(date)) == 0)
        date[0] = L'\0';
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, L"HHmmss", time, _countof(time)) == 0)
        time[0] = L'\0';

    wchar_t working[workingCapacity];
    copyCut(working, _countof(working), pathTemplate != nullptr ? pathTemplate : L"");

    wchar_t value[pathCapacity];
    for (const HostToken& host : documentTokens) {
        askEditor(host.message, value, _countof(value));
        replaceEachNoCase(working, _countof(working), host.token, value);
    }
    // Only the word token spelled exactly so asks the editor for the word; then every spelling goes.
    if (StrStrW(working, L"$word$") != nullptr) {
        askEditor(NPPM_GETCURRENTWORD, value, _countof(value));
        replaceEachNoCase(working, _countof(working), L"$word$", value);
    }
    askEditor(NPPM_GETNPPDIRECTORY, value, _countof(value));
    replaceEachNoCase(working, _countof(working), L"$nppdir$", value);

    // Always below the editor's program folder, wherever the settings file lives.
    wchar_t pluginsFolder[pathCapacity];
    findProgramPluginsFolder(pluginsFolder, _countof(pluginsFolder));
    replaceEachNoCase(working, _countof(working), L"$pdir$", pluginsFolder);
    wchar_t configFolder[pathCapacity];
    StringCchCopyW(configFolder, _countof(configFolder), pluginsFolder);
    PathAppendW(configFolder, L"config");
    replaceEachNoCase(working, _countof(working), L"$cdir$", configFolder);

    value[0] = L'\0';
    DWORD length = GetCurrentDirectoryW(_countof(value), value);
    if (length == 0 || length >= _countof(value))
        value[0] = L'\0';
    replaceEachNoCase(working, _countof(working), L"$wdir$", value);

    replaceEachNoCase(working, _countof(working), L"$date$", date);
    replaceEachNoCase(working, _countof(working), L"$time$", time);

    DWORD expandedLength = ExpandEnvironmentStringsW(working, environmentScratch, _countof(environmentScratch));
    if (expandedLength == 0 || expandedLength > _countof(environmentScratch))
        copyCut(expandedPath, _countof(expandedPath), working);
    else
        copyCut(expandedPath, _countof(expandedPath), environmentScratch);
    return expandedPath;
}
