// Finding the editor's menus by their captions and command identifiers, and giving menu items
// small bitmaps made from the plug-in's icons.
#pragma once

#include <windows.h>

// The sub-menu under the editor's top-level item "&Plugins", or null.
HMENU findPluginsMenu();
// Position of the first item whose whole caption equals text (letters A to Z without regard to
// case, accelerator ampersands included), or -1.
int findMenuItemByCaption(HMENU menu, const wchar_t* caption);
// The plug-in's own sub-menu inside the Plugins menu, found by the display name, or null.
HMENU findOwnPluginMenu();
// The sub-menu under "&?"; the menu bar itself when there is none.
HMENU findHelpMenu();
// Gives the item with the command identifier (in the menu or its sub-menus) the bitmap.
bool setMenuItemBitmap(HMENU menu, UINT commandId, HBITMAP bitmap);
// A new DIB-section bitmap showing the icon with its transparency, 16 x 16 at 100 % and scaled
// with the display.
HBITMAP iconToMenuBitmap(HICON icon);
// With visual styles off, makes the menu and its sub-menus draw bitmaps in the check-mark column.
bool applyClassicMenuStyle(HMENU menu);
// Whether a menu is the editing view's context menu: by the editor's command identifiers, which a
// translated editor keeps, and by the English captions only when those don't tell.
bool isEditorContextMenu(HMENU menu);
// The judgement by identifiers: all six of the editor's Cut, Copy, Paste,
// Delete, UPPERCASE and lowercase commands present.
bool isEditorContextMenuById(HMENU menu);
// The same judgement by captions: at least three of "Hide lines", "UPPERCASE", "lowercase",
// "toggle block comment" and "stream comment".
bool isEditorContextMenuByCaption(HMENU menu);
