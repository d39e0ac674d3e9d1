// Wordlamp in the editor's menus: the help entries as menu items of their own, the context
// menu's "Help" item and "Wordlamp >>" sub-menu, the menu icons and the editor's messages.
#pragma once

#include <windows.h>

namespace wordlamp {

// Makes HelpBitmap, OptionsBitmap and AboutBitmap from the icon resources; once, at attach.
void makeMenuBitmaps(HINSTANCE module);
// Deletes them again; at detach, so that loading and unloading the library leaves none behind.
void releaseMenuBitmaps();
// Removes the help-menu entries placed before and places them anew after HelpMenuMode.
void rebuildHelpMenuEntries();
// A new pop-up menu with one item per entry whose Show is set; empty when none is.
HMENU buildEntriesPopup();
// Gives the plug-in's item in the Plugins menu and its commands their icons.
void setPluginMenuIcons();

// Wordlamp's share of the editor's main window: runs the entry commands and adds Wordlamp's items
// to the editing view's context menu.
bool onEditorMessage(UINT message, WPARAM wParam, LPARAM lParam);

} // namespace wordlamp
