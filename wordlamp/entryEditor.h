// The entry editor of Wordlamp's Options dialog: one help entry's name, masks, location and menu
// flag, with buttons to pick a help file, see the location expanded, try it, and read what a
// location may hold.
#pragma once

#include "wordlampState.h"

namespace wordlamp {

// Shows the entry editor on entry, modal, owned by owner; table holds the other entries, whose names
// the entry can't take; editedSlot is the entry's slot in it, or -1 for a new entry. True after OK,
// when entry holds what the fields hold.
bool editEntry(HWND owner, HelpEntry& entry, const HelpEntryTable& table, int editedSlot);

} // namespace wordlamp
