// Pickpath's Options dialog.
#pragma once

#include "entryListDialog.h"
#include "pickpathState.h"

#include <string>

namespace pickpath {

// The Options dialog's state: WorkingTable, its copy of searchEntryTable, and EditRecord, the entry
// the entry editor shows.
using SearchEntryDialog = EntryTableDialog<SearchEntryTable>;

// The "Options..." command: the Options dialog, modal, owned by the editor's main window.
void showOptionsDialog();

// "Name (Mask) => Path (Ext)", the text of its row in the list.
std::wstring formatEntryRow(const SearchEntry& entry);

} // namespace pickpath
