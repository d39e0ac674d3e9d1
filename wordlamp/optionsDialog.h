// Wordlamp's Options dialog.
#pragma once

#include "entryListDialog.h"
#include "wordlampState.h"

#include <string>

namespace wordlamp {

// The Options dialog's state: WorkingTable, its copy of helpEntryTable, and EditRecord, the entry
// the entry editor shows.
using HelpEntryDialog = EntryTableDialog<HelpEntryTable>;

// The "Options..." command: the Options dialog, modal, owned by the editor's main window.
void showOptionsDialog();

// "Name (Mask) => File", the text of its row in the list.
std::wstring formatEntryRow(const HelpEntry& entry);

} // namespace wordlamp
