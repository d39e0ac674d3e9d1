// The entry editor of Pickpath's Options dialog: one search entry's name, masks, folders and
// extensions, with buttons to see the folders expanded and read what they may hold.
#pragma once

#include "pickpathState.h"

namespace pickpath {

// Shows the entry editor on entry, modal, owned by owner; table holds the other entries, whose names
// the entry can't take; editedSlot is the entry's slot in it, or -1 for a new entry. True after OK,
// when entry holds what the fields hold.
bool editEntry(HWND owner, SearchEntry& entry, const SearchEntryTable& table, int editedSlot);

} // namespace pickpath
