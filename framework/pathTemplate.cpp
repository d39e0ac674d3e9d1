#include "pathTemplate.h"

#include "pluginHost.h"
#include "textBuffers.h"
#include "textHelpers.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cwchar>
#include <vector>

namespace {
constexpr size_t workingCapacity = 520;
constexpr size_t dateTimeCapacity = 256;
// The most ExpandEnvironmentStringsW can give; the result is cut from there, never written past.
constexpr size_t environmentCapacity = 32768;

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
    appendPathComponent(folder, capacity, L"Plugins");
}
} // namespace

void expandTemplateAroundWord(
    const wchar_t* pathTemplate, ExpandedTemplate& expanded, wchar_t* word, size_t wordCapacity)
{
    expanded.text[0] = L'\0';
    expanded.placeCount = 0;

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
    // Only the word token spelled exactly so asks for the word; then every spelling is its place.
    // A document's name may name the word too: its places are found after the document's tokens.
    bool namesWord = StrStrW(working, L"$word$") != nullptr;
    if (namesWord && word != nullptr)
        askEditor(NPPM_GETCURRENTWORD, word, wordCapacity);

    wchar_t editorFolder[pathCapacity];
    askEditor(NPPM_GETNPPDIRECTORY, editorFolder, _countof(editorFolder));
    // Always below the editor's program folder, wherever the settings file lives.
    wchar_t pluginsFolder[pathCapacity];
    findProgramPluginsFolder(pluginsFolder, _countof(pluginsFolder));
    wchar_t configFolder[pathCapacity];
    StringCchCopyW(configFolder, _countof(configFolder), pluginsFolder);
    appendPathComponent(configFolder, _countof(configFolder), L"config");
    wchar_t workingFolder[pathCapacity] = L"";
    DWORD length = GetCurrentDirectoryW(_countof(workingFolder), workingFolder);
    if (length == 0 || length >= _countof(workingFolder))
        workingFolder[0] = L'\0';
    const struct {
        const wchar_t* token;
        const wchar_t* value;
    } laterTokens[] = {
        {L"$nppdir$", editorFolder},
        {L"$pdir$", pluginsFolder},
        {L"$cdir$", configFolder},
        {L"$wdir$", workingFolder},
        {L"$date$", date},
        {L"$time$", time},
    };

    // Each stretch between two places of the word is expanded on its own, so that nothing the
    // word holds can be taken for a token or an environment reference.
    size_t textLength = 0;
    bool full = false;
    const wchar_t* stretch = working;
    std::vector<wchar_t> environmentExpanded(environmentCapacity);
    for (;;) {
        const wchar_t* place = namesWord ? StrStrIW(stretch, L"$word$") : nullptr;
        wchar_t piece[workingCapacity];
        size_t pieceLength = place != nullptr ? static_cast<size_t>(place - stretch) : wcslen(stretch);
        wmemcpy(piece, stretch, pieceLength);
        piece[pieceLength] = L'\0';
        for (const auto& later : laterTokens)
            replaceEachNoCase(piece, _countof(piece), later.token, later.value);
        const wchar_t* pieceText = piece;
        DWORD expandedLength = ExpandEnvironmentStringsW(
            piece, environmentExpanded.data(), static_cast<DWORD>(environmentExpanded.size()));
        if (expandedLength != 0 && expandedLength <= environmentExpanded.size())
            pieceText = environmentExpanded.data();
        if (!full) {
            copyCut(expanded.text + textLength, _countof(expanded.text) - textLength, pieceText);
            size_t added = wcslen(expanded.text + textLength);
            full = added < wcslen(pieceText);
            textLength += added;
        }
        if (place == nullptr)
            break;
        // A place past the cut would put the word where the template's own text was lost.
        if (!full && expanded.placeCount < maxWordPlaces)
            expanded.places[expanded.placeCount++] = textLength;
        stretch = place + 6;
    }
}

bool insertWord(const ExpandedTemplate& expanded, const wchar_t* word, wchar_t* result, size_t capacity)
{
    if (capacity == 0)
        return false;
    result[0] = L'\0';
    size_t length = 0;
    size_t from = 0;
    bool fits = true;
    auto add = [&](const wchar_t* part, size_t count) {
        if (!fits)
            return;
        if (length + count >= capacity) {
            count = capacity - 1 - length;
            fits = false;
        }
        wmemcpy(result + length, part, count);
        length += count;
        // Never half of a surrogate pair at the end of a cut text.
        if (!fits && length > 0 && IS_HIGH_SURROGATE(result[length - 1]))
            --length;
        result[length] = L'\0';
    };
    for (size_t i = 0; i < expanded.placeCount; ++i) {
        add(expanded.text + from, expanded.places[i] - from);
        add(word, wcslen(word));
        from = expanded.places[i];
    }
    add(expanded.text + from, wcslen(expanded.text + from));
    return fits;
}

ExpandedPath expandPathTemplate(const wchar_t* pathTemplate)
{
    ExpandedTemplate expanded;
    wchar_t word[pathCapacity] = L"";
    expandTemplateAroundWord(pathTemplate, expanded, word, _countof(word));
    ExpandedPath path;
    insertWord(expanded, word, path.text, _countof(path.text));
    return path;
}
