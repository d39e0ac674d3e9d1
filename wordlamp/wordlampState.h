// Wordlamp's process-wide state, all in one place: the help entries, the options and what the
// binding to the editor keeps for the life of the library.
#pragma once

#include "hostInterface.h"
#include "textBuffers.h"
#include "toolbarButton.h"

#include <windows.h>

constexpr unsigned MaxHelpEntries = 50;

struct HelpEntry {
    wchar_t Name[pathCapacity];
    wchar_t Mask[pathCapacity]; // file-name masks such as *.c;*.h
    wchar_t File[pathCapacity]; // the help location, a path template
    int Show;                   // non-zero: the entry gets a menu item of its own
};

struct HelpEntryTable {
    HelpEntry Entries[MaxHelpEntries];
    unsigned Count; // slots 0 to Count - 1 are in use, in the user's order
};

// Each field is named after its key in the settings file's section "Options".
struct HelpOptions {
    int StayOnTop;
    int HelpMenuMode; // 0 nowhere, 1 own sub-menu, 2 help menu, 3 context sub-menu; others act as 0
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
extern WNDPROC SavedWindowProc;   // the editor's window procedure before ours; null until subclassed
extern int PlacedMenuMode;        // the HelpMenuMode under which the help-menu entries were last placed
extern int OwnMenuBase;           // item count of the plug-in's own sub-menu before entries were placed there
extern int HelpMenuBase;          // item count of the editor's help menu before entries were placed there
extern HBITMAP HelpBitmap;        // life buoy: the "Help" command, the entries, the toolbar button
extern HBITMAP OptionsBitmap;     // wrench: "Options..."
extern HBITMAP AboutBitmap;       // information sign: "About"
extern ToolbarImages ToolbarButtonImages; // sent with the toolbar button, so it must outlive the request
