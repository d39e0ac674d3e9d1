#include "helpLookup.h"

#include "helpViewers.h"
#include "maskList.h"
#include "msHelpViewer.h"
#include "pathTemplate.h"
#include "pdfViewer.h"
#include "pluginHost.h"
#include "textHelpers.h"
#include "userMessages.h"
#include "wordlampState.h"

#include <shlwapi.h>
#include <strsafe.h>

namespace wordlamp {

namespace {
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
        getName());
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
    wchar_t location[pathCapacity] = L"";
    const HelpEntry* matched = nullptr;
    for (unsigned i = 0; i < helpEntryTable.Count && i < MaxHelpEntries; ++i) {
        const HelpEntry& entry = helpEntryTable.Entries[i];
        if (matchesMaskList(fileName, entry.Mask)) {
            matched = &entry;
            StringCchCopyW(location, _countof(location), expandPathTemplate(entry.File));
        }
    }
    // The entry is looked for before the word, so this message comes whether or not a word is selected.
    if (location[0] == L'\0') {
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

void runHelpEntry(const wchar_t* location)
{
    // From a menu the word is optional: without the option, or with nothing under the caret, the
    // viewer gets an empty word and shows the help's start.
    wchar_t word[textCapacity] = L"";
    if (helpOptions.HelpMenuSearchWord != 0)
        askEditor(NPPM_GETCURRENTWORD, word, _countof(word));
    openHelp(location, word);
}

void openHelp(const wchar_t* location, const wchar_t* word)
{
    // The first rule that fits decides; a web address ending in ".pdf" counts as a PDF file.
    const wchar_t* extension = PathFindExtensionW(location);
    if (equalIgnoringAsciiCase(extension, L".chm"))
        showChmHelp(location, word);
    else if (equalIgnoringAsciiCase(extension, L".hlp"))
        showWinHelp(location, word);
    else if (equalIgnoringAsciiCase(extension, L".pdf"))
        showPdfHelp(location, word);
    else if (StrCmpNIW(location, L"ms-help://", 10) == 0)
        showMsHelp2(location, word);
    else
        shellOpenHelp(location, word);
}

} // namespace wordlamp
