#include "helpLookup.h"

#include "helpViewers.h"
#include "maskList.h"
#include "msHelpViewer.h"
#include "pathTemplate.h"
#include "pdfViewer.h"
#include "pluginHost.h"
#include "pluginIdentity.h"
#include "userMessages.h"
#include "wordPlacement.h"
#include "wordlampState.h"

#include <shlwapi.h>
#include <strsafe.h>

namespace wordlamp {

namespace {
// placedWord goes into the location's places, word to the viewer.
void openHelpWith(const ExpandedTemplate& location, const wchar_t* placedWord, const wchar_t* word)
{
    // The template's own text decides: the word never chooses what runs.
    const LocationKind kind = kindOfLocation(location.text);
    std::wstring placed;
    if (!placeWord(location, kind, placedWord, placed))
        return;
    switch (kind) {
    case LocationKind::chm:
        showChmHelp(placed.c_str(), word);
        break;
    case LocationKind::winHelp:
        showWinHelp(placed.c_str(), word);
        break;
    case LocationKind::pdf:
        showPdfHelp(placed.c_str(), word);
        break;
    case LocationKind::documentExplorer:
        showMsHelp2(placed.c_str(), word);
        break;
    case LocationKind::address:
        shellOpenAddress(placed.c_str());
        break;
    case LocationKind::path:
        shellOpenWithWord(location, placed.c_str(), placedWord, word);
        break;
    }
}

// Says what is missing: an entry for the file's extension (or for the name that has none), or the
// help file of the entry that matched; and where to set it.
void reportNoHelpFile(const wchar_t* fileName, const HelpEntry* matched)
{
    const wchar_t* extension = PathFindExtensionW(fileName);
    wchar_t what[textCapacity];
    if (matched != nullptr)
        StringCchPrintfW(
            what, _countof(what), L"The entry \"%s\" matches the file but has none; give it one", matched->Name);
    else if (extension[0] != L'\0')
        StringCchPrintfW(what, _countof(what), L"Files ending in \"%s\" match no entry; add one", extension);
    else
        StringCchPrintfW(what, _countof(what), L"\"%s\" matches no entry; add one", fileName);
    wchar_t text[textCapacity];
    StringCchPrintfW(text, _countof(text),
        L"No help file has been specified for this file extension!\n%s in Plugins > %s > Options\u2026", what,
        pluginName().c_str());
    showInformation(text);
}
} // namespace

void lookupHelp()
{
    wchar_t fileName[pathCapacity];
    askEditor(NPPM_GETFILENAME, fileName, _countof(fileName));
    if (fileName[0] == L'\0')
        return;

    // The last matching entry wins, so later entries override earlier ones.
    ExpandedTemplate location = {};
    const HelpEntry* matched = nullptr;
    for (unsigned i = 0; i < helpEntryTable.Count && i < MaxHelpEntries; ++i) {
        const HelpEntry& entry = helpEntryTable.Entries[i];
        if (matchesMaskList(fileName, entry.Mask)) {
            matched = &entry;
            expandTemplateAroundWord(entry.File, location);
        }
    }
    // The entry is looked for before the word, so this message comes whether or not a word is selected.
    if (location.text[0] == L'\0' && location.placeCount == 0) {
        reportNoHelpFile(fileName, matched);
        return;
    }

    wchar_t word[textCapacity];
    askEditor(NPPM_GETCURRENTWORD, word, _countof(word));
    if (word[0] == L'\0') {
        showInformation(L"Please select a word to lookup first!");
        return;
    }
    openHelp(location, word);
}

void runHelpEntry(const ExpandedTemplate& location)
{
    // From a menu the word is optional: without the option, or with nothing under the caret, the
    // viewer gets an empty word and shows the help's start. A location that names the word gets
    // it all the same.
    wchar_t word[textCapacity] = L"";
    bool searched = helpOptions.HelpMenuSearchWord != 0;
    if (searched || location.placeCount > 0)
        askEditor(NPPM_GETCURRENTWORD, word, _countof(word));
    openHelpWith(location, word, searched ? word : L"");
}

void openHelp(const ExpandedTemplate& location, const wchar_t* word)
{
    openHelpWith(location, word, word);
}

} // namespace wordlamp
