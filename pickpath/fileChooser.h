// The list of every file a search found, in search order, to open the one chosen: name and folder
// in columns, the count above them.
#pragma once

#include "fileSearch.h"

namespace pickpath {

// Shows the files found for name, owned by the editor's window; the index of the file chosen with
// Enter or a double click, or -1 when the list was closed.
int chooseFoundFile(const SearchOutcome& outcome, const wchar_t* name);

// The line above the list: how many files were found for name, and whether the list stopped at
// its limit.
void formatFoundCount(const SearchOutcome& outcome, const wchar_t* name, wchar_t* text, size_t capacity);

} // namespace pickpath
