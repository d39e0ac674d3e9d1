// Wordlamp's process-wide state, all in one place: the help entries, the options and what the
// binding to the editor keeps for the life of the library.
#pragma once

#include "hostInterface.h"
#include "scopedWin.h"
#include "textBuffers.h"
#include "toolbarButton.h"

#include <windows.h>

namespace wordlamp {

constexpr unsigned MaxHelpEntries = 50;

struct HelpEntry {
    wchar_t Name[pathCapacity];
    wchar_t Mask[pathCapacity]; // file-name masks such as *.c;*.h
    wchar_t File[pathCapacity]; // the help location, a path template
    int Show;                   // non-zero: the entry gets a menu item of its own
    // 1 + the settings file's section the entry was read from, whose keys the plug-in doesn't know go
    // back with the entry whatever it is called now; 0 for an entry added since.
    unsigned LoadedFrom;
};

struct HelpEntryTable {
    HelpEntry Entries[MaxHelpEntries];
    unsigned Count; // slots 0 to Count - 1 are in use, in the user's order
};

// Where the entries whose Show is set get menu items of their own; the settings file holds the number.
enum HelpMenuMode : int {
    HelpMenuNowhere = 0,
    HelpMenuOwnSubMenu = 1,
    HelpMenuHelpMenu = 2,
    HelpMenuContextMenu = 3,
};
constexpr int helpMenuModeCount = 4; // any other number acts as HelpMenuNowhere

// Each field is named after its key in the settings file's section "Options".
struct HelpOptions {
    int StayOnTop;
    int HelpMenuMode; // a HelpMenuMode, or a number that acts as HelpMenuNowhere
    int HelpMenuSearchWord;
    int ShowToolBarButton;
    int ShowContextMenuEntry;
    int ShowContextMenuEntryOnTop;
    int ShowMenuIcons;
};

extern HelpEntryTable helpEntryTable;
extern HelpOptions helpOptions;

// Entry i of the table answers the menu command firstHelpEntryCommand + i.
constexpr UINT firstHelpEntryCommand = 65000;

// The binding to the editor, kept for the life of the library.
extern int PlacedMenuMode;                // the HelpMenuMode under which the help-menu entries were last placed
extern UniqueBitmap HelpBitmap;           // life buoy: the "Help" command, the entries, the toolbar button
extern UniqueBitmap OptionsBitmap;        // wrench: "Options..."
extern UniqueBitmap AboutBitmap;          // information sign: "About"
extern ToolbarImages ToolbarButtonImages; // sent with the toolbar button, so it must outlive the request

} // namespace wordlamp
