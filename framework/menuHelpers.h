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
// Gives the item with the command identifier (in the menu or its sub-menus) the bitmap, as
// menuItemImage hands it to the menu.
bool setMenuItemBitmap(HMENU menu, UINT commandId, HBITMAP bitmap);
// A new DIB-section bitmap showing the icon with its transparency, 16 x 16 at 100 % and scaled
// with the display.
HBITMAP iconToMenuBitmap(HICON icon);
// With visual styles off, makes the menu and its sub-menus draw bitmaps in the check-mark column.
// Not under Wine, whose check-mark column doesn't widen for a bitmap, which then covers the start
// of the item's text.
bool applyClassicMenuStyle(HMENU menu);
bool applyClassicMenuStyle(HMENU menu, bool underWine);
// Wine draws the menus, classic style, whatever the theme.
bool menusDrawnByWine();

// Whether the editor's menus blend a menu bitmap's alpha over their background: with visual
// styles on Windows. The classic look and Wine copy the bitmap as it is (Wine inverts it on a
// highlighted item), which showed the transparent parts as a black square.
bool menusBlendBitmapAlpha();
bool menusBlendBitmapAlpha(bool underWine, bool visualStyles);
// What an item's image is set to: the bitmap itself where menus blend its alpha, else
// HBMMENU_CALLBACK, so that the menu asks its owner window to draw the bitmap (drawMenuItemBitmap).
HBITMAP menuItemImage(HBITMAP bitmap);
// Answers the menu's WM_MEASUREITEM and WM_DRAWITEM for an item whose image is drawn by its owner:
// the bitmap blended over whatever the menu drew behind it, the highlight included.
void measureMenuItemBitmap(MEASUREITEMSTRUCT& item, HBITMAP bitmap);
void drawMenuItemBitmap(const DRAWITEMSTRUCT& item, HBITMAP bitmap);
// Whether a menu is the editing view's context menu: by the editor's command identifiers, which a
// translated editor keeps, and by the English captions only when those don't tell.
bool isEditorContextMenu(HMENU menu);
// The judgement by identifiers: all six of the editor's Cut, Copy, Paste,
// Delete, UPPERCASE and lowercase commands present.
bool isEditorContextMenuById(HMENU menu);
// The same judgement by captions: at least three of "Hide lines", "UPPERCASE", "lowercase",
// "toggle block comment" and "stream comment".
bool isEditorContextMenuByCaption(HMENU menu);
