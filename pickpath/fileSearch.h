// The command "Open current selection": the selected text is looked for along the folders and
// extensions of the search entry that applies to the current document, and the first file found is
// opened in the editor.
#pragma once

#include "pickpathState.h"
#include "searchProgress.h"

#include <windows.h>

namespace pickpath {

// The command callback; nothing happens when nothing is found.
void openCurrentSelection();

// Index of the first entry of searchEntryTable whose Mask matches the file name, or -1.
int findSearchEntry(const wchar_t* fileName);

// Asks the editor for the selection, the document's extension and folder, assembles the folder and
// extension lists (the entry's part only when entry is not null) and searches them.
void buildSearchLists(const SearchEntry* entry);

enum class SearchResult { found, notFound, stopped };

// How a whole sub-tree is searched: from each folder's listing, or by asking the file system for
// every name tried in every folder (the slower way, which the listing defers to where it must).
enum class TreeSearch { fromListings, askingForEachName };

// Looks for name in every folder of folderList with every extension of extensionList, folder by
// folder; an empty folder item is the system search path, a "!" item takes its whole sub-tree.
// A file found is handed to the editor. A long search shows its progress and stops on Esc.
SearchResult searchAndOpen(const wchar_t* folderList, const wchar_t* extensionList, const wchar_t* name,
    SearchProgress& progress, TreeSearch treeSearch = TreeSearch::fromListings);

} // namespace pickpath
