// Pickpath's Options dialog and its entry editor.
#pragma once

#include "pickpathState.h"

// The Options dialog's copy of searchEntryTable; nothing reaches the table before OK.
extern SearchEntryTable WorkingTable;
// The entry the entry editor shows and, after its OK, holds; also the exchange buffer of the moves.
extern SearchEntry EditRecord;

// The "Options..." command: the Options dialog, modal, owned by the editor's main window.
void showOptionsDialog();

// The entry editor, modal, on EditRecord. editedSlot is the working entry being changed, or -1 for a
// new one, so that its own name is not taken for another entry's. 1 after OK, 0 after Cancel.
INT_PTR editEntry(HWND owner, int editedSlot);

// "Name (Mask) => Path (Ext)", in a buffer that the next row overwrites.
const wchar_t* formatEntryRow(const SearchEntry& entry);
