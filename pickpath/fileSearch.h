// The file search: names looked for along the folders and extensions of the search entry that
// applies to the current document, folder by folder.
#pragma once

#include "pickpathState.h"
#include "pointedText.h"
#include "searchProgress.h"

#include <windows.h>

#include <string>
#include <vector>

namespace pickpath {

// Index of the first entry of searchEntryTable whose Mask matches the file name, or -1.
int findSearchEntry(const wchar_t* fileName);

// The folder and extension lists of one search; both end with ";", and the empty item after it is
// the system search path and the bare name.
struct SearchLists {
    wchar_t Folders[folderListCapacity];
    wchar_t Extensions[pathCapacity];
};

// Asks the editor for the document's extension and folder and assembles the lists: the document's
// folder, the working folder and the entry's folders; the document's extension and the entry's
// extensions (the entry's part only when entry is not null).
void buildSearchLists(const SearchEntry* entry, SearchLists& lists);

enum class SearchResult { found, notFound, stopped };

// How a whole sub-tree is searched: from each folder's listing, held in memory from an earlier
// search of the same tree where one is held and listed from the disk where not; from each folder's
// listing on the disk; or by asking the file system for every name tried in every folder (the
// slower way, which the listing defers to where it must).
enum class TreeSearch { fromMemory, fromListings, askingForEachName };

// What a search keeps: the one file the open command opens, or every file it finds.
enum class Gather { first, every };

// Most names one search looks for, and most files it gathers for the list.
constexpr size_t maxSearchNames = 2 * maxReadings + 1;
constexpr size_t maxGatheredFiles = 500;

struct FoundFile {
    std::wstring Path; // in the long form when it is MAX_PATH or longer
    size_t NameIndex;  // the name, of those looked for, that found it
};

struct SearchOutcome {
    SearchResult Result = SearchResult::notFound;
    // In search order: all the files of the first name, then of the next; the first file is the
    // one the open command opens. Each file once, however many ways lead to it.
    std::vector<FoundFile> Files;
    size_t Folders = 0;        // folders searched, the system search path counted as one
    size_t FoldersTooDeep = 0; // folders found that could not be searched, their paths too long
    bool Capped = false;       // the list reached maxGatheredFiles and the search stopped there
};

// Looks for each name, the first before the next, in every folder of folderList with every
// extension of extensionList: an empty folder item is the system search path, a "!" item takes its
// whole sub-tree. All names go through the folders together, so that a miss costs one walk: a
// name's file counts only when no name before it is found anywhere. A file a listing held in memory
// names is checked to be there before it counts. A long search shows its progress and stops on
// Esc. Out of memory, it throws std::bad_alloc.
SearchOutcome searchFiles(const wchar_t* folderList, const wchar_t* extensionList, const PointedName* names,
    size_t nameCount, Gather gather, SearchProgress& progress, TreeSearch treeSearch = TreeSearch::fromMemory);

// Looks for one name as given and hands the first file found to the editor.
SearchResult searchAndOpen(const wchar_t* folderList, const wchar_t* extensionList, const wchar_t* name,
    SearchProgress& progress, TreeSearch treeSearch = TreeSearch::fromMemory);

// Hands a file to the editor; true when the editor opened it.
bool openInEditor(const wchar_t* path);

} // namespace pickpath
