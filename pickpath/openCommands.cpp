#include "openCommands.h"

#include "editingView.h"
#include "editorVersion.h"
#include "fileChooser.h"
#include "fileSearch.h"
#include "pluginHost.h"
#include "pointedText.h"
#include "statusNote.h"
#include "textHelpers.h"

#include <strsafe.h>

#include <memory>

namespace pickpath {

namespace {
// A line of a build log may be long; the name and position are near its start.
constexpr size_t lineCapacity = textCapacity;

// What the user points at, as the names to look for, best first.
struct PointedNames {
    PointedName Names[maxSearchNames];
    size_t Count = 0;
    size_t Shown = 0; // the name a note or the list names: what the user points at, read at its best
};

// Adds the readings of text that don't repeat a name already there; group 0 gives the name shown.
void addReadings(PointedNames& names, const PointedName* readings, size_t count, bool shownGroup)
{
    for (size_t r = 0; r < count && names.Count < maxSearchNames; ++r) {
        bool repeated = false;
        for (size_t i = 0; i < names.Count && !repeated; ++i)
            repeated = wcscmp(names.Names[i].Name, readings[r].Name) == 0;
        if (repeated)
            continue;
        names.Names[names.Count] = readings[r];
        // The best reading of what the user points at: one with a position, else the last.
        if (shownGroup && (names.Count == 0 || names.Names[names.Shown].Line == 0))
            names.Shown = names.Count;
        ++names.Count;
    }
}

void addText(PointedNames& names, const wchar_t* text, bool shownGroup)
{
    PointedName readings[maxReadings];
    addReadings(names, readings, readPointedText(text, readings), shownGroup);
}

// Editors before 8 keep to the word, as before.
bool editorGivesNameAtCaret()
{
    return editorIsAtLeast(8, 0);
}

// Asks the editor what the user points at: the selection; or, when nothing is selected and the
// editor can tell, the path-like text around the caret, with a position the caret's line shows
// after it, before the word at the caret. Each text is tried as given, cleaned and with its
// position; a name that came already is left out.
void readPointedNames(PointedNames& names)
{
    names = PointedNames{};
    // Asked before the word: the editor selects the word it gives.
    wchar_t atCaret[pathCapacity] = L"";
    if (editorGivesNameAtCaret() && !viewHasSelection())
        askEditor(NPPM_GETFILENAMEATCURSOR, atCaret, _countof(atCaret));
    wchar_t word[pathCapacity];
    askEditor(NPPM_GETCURRENTWORD, word, _countof(word));
    if (atCaret[0] != L'\0') {
        wchar_t line[lineCapacity];
        askEditor(NPPM_GETCURRENTLINESTR, line, _countof(line));
        PointedName withPosition = {};
        if (readPositionAfter(atCaret, line, withPosition))
            addReadings(names, &withPosition, 1, true);
        if (wcscmp(atCaret, word) != 0)
            addText(names, atCaret, true);
    }
    addText(names, word, names.Count == 0);
}

// Everything one command needs before it searches: the lists, the names.
struct SearchRequest {
    SearchLists Lists;
    PointedNames Names;
};

void prepareSearch(SearchRequest& request)
{
    wchar_t fileName[pathCapacity];
    askEditor(NPPM_GETFILENAME, fileName, _countof(fileName));
    int entry = findSearchEntry(fileName);
    readPointedNames(request.Names);
    buildSearchLists(entry >= 0 ? &searchEntryTable.Entries[entry] : nullptr, request.Lists);
}

void noteNothingSelected()
{
    showPassingNote(L"Pickpath: nothing selected");
}

void noteNotFound(const SearchRequest& request, const SearchOutcome& outcome)
{
    const wchar_t* name = request.Names.Names[request.Names.Shown].Name;
    std::wstring folders = groupedNumber(outcome.Folders);
    wchar_t note[noteCapacity];
    // A miss may lie in a folder the search could not reach.
    if (outcome.FoldersTooDeep > 0)
        StringCchPrintfW(note, _countof(note), L"Pickpath: \"%s\" not found (%s folders searched, %s too deep)", name,
            folders.c_str(), groupedNumber(outcome.FoldersTooDeep).c_str());
    else
        StringCchPrintfW(
            note, _countof(note), L"Pickpath: \"%s\" not found (%s folders searched)", name, folders.c_str());
    showPassingNote(note);
}

// Runs the search; the progress of a long one is gone from the status bar when this returns, so
// that a note can follow it.
SearchOutcome search(const SearchRequest& request, Gather gather)
{
    SearchProgress progress(nppData._nppHandle);
    return searchFiles(
        request.Lists.Folders, request.Lists.Extensions, request.Names.Names, request.Names.Count, gather, progress);
}

void openAt(const FoundFile& file, const PointedNames& names)
{
    const PointedName& name = names.Names[file.NameIndex];
    // The caret moves only in the file the editor opened.
    if (openInEditor(file.Path.c_str()) && name.Line > 0)
        showPosition(name.Line, name.Column);
}

// The command's work; the two commands differ in what they gather and what they do with it.
void runOpenCommand(Gather gather)
{
    // Too large for the stack of a callback the editor may call deep in its own work.
    auto request = std::make_unique<SearchRequest>();
    prepareSearch(*request);
    if (request->Names.Count == 0) {
        noteNothingSelected();
        return;
    }
    SearchOutcome outcome = search(*request, gather);
    if (outcome.Result == SearchResult::notFound) {
        noteNotFound(*request, outcome);
        return;
    }
    if (outcome.Result != SearchResult::found)
        return;
    int chosen
        = gather == Gather::first ? 0 : chooseFoundFile(outcome, request->Names.Names[request->Names.Shown].Name);
    if (chosen >= 0)
        openAt(outcome.Files[static_cast<size_t>(chosen)], request->Names);
}
} // namespace

void openCurrentSelection()
{
    runOpenCommand(Gather::first);
}

void chooseCurrentSelection()
{
    runOpenCommand(Gather::every);
}

} // namespace pickpath
