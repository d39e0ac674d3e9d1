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

// The entry editor, modal, on the dialog's EditRecord. editedSlot is the working entry being
// changed, or -1 for a new one, so that its own name is not taken for another entry's. true after OK.
bool editEntry(HWND owner, SearchEntryDialog& options, int editedSlot);

// "Name (Mask) => Path (Ext)", the text of its row in the list.
std::wstring formatEntryRow(const SearchEntry& entry);

} // namespace pickpath
