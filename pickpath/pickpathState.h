// Pickpath's process-wide state, all in one place: the search entries, the options and what the
// binding to the editor keeps for the life of the library.
#pragma once

#include "hostInterface.h"
#include "textBuffers.h"
#include "toolbarButton.h"

#include <windows.h>

namespace pickpath {

constexpr unsigned MaxSearchEntries = 50;
// A search entry's folder list, and the search path the folders are tried along.
constexpr size_t folderListCapacity = 2600;

struct SearchEntry {
    wchar_t Name[pathCapacity];       // also the entry's section name in the settings file
    wchar_t Mask[pathCapacity];       // file-name masks such as *.c;*.h
    wchar_t Path[folderListCapacity]; // search folders separated by ";", "!" searches the whole sub-tree
    wchar_t Ext[pathCapacity];        // extensions such as .c;.h, tried on a selection without one
    // 1 + the settings file's section the entry was read from, whose keys the plug-in doesn't know go
    // back with the entry whatever it is called now; 0 for an entry added since.
    unsigned LoadedFrom;
};

struct SearchEntryTable {
    SearchEntry Entries[MaxSearchEntries];
    unsigned Count; // slots 0 to Count - 1 are in use, in the user's order
};

// Each field is named after its key in the settings file's section "Options".
struct PickpathOptions {
    int ShowToolBarButton;
    int ShowContextMenuEntry;
    int ShowContextMenuEntryOnTop;
};

// A note in the editor's status bar that goes away by itself, and what the field showed before it.
constexpr size_t noteCapacity = 512;
struct StatusNote {
    wchar_t Shown[noteCapacity];
    wchar_t Before[noteCapacity];
    UINT_PTR Timer; // the thread's timer that takes the note away; 0 while none is shown
};

extern SearchEntryTable searchEntryTable;
extern PickpathOptions pickpathOptions;

// The binding to the editor, kept for the life of the library.
extern ToolbarImages ToolbarButtonImages; // the toolbar button's pictures, made at the first request and kept
extern StatusNote PassingNote;            // the note a search left in the status bar

} // namespace pickpath
