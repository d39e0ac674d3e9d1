#include "wordlampState.h"

HelpEntryTable helpEntryTable;
HelpOptions helpOptions;

WNDPROC SavedWindowProc = nullptr;
int PlacedMenuMode = 0;
HBITMAP HelpBitmap = nullptr;
HBITMAP OptionsBitmap = nullptr;
HBITMAP AboutBitmap = nullptr;
toolbarIcons ToolbarIcons = {nullptr, nullptr};
