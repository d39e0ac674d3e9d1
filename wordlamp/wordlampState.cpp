#include "wordlampState.h"

HelpEntryTable helpEntryTable;
HelpOptions helpOptions;

int PlacedMenuMode = 0;
HBITMAP HelpBitmap = nullptr;
HBITMAP OptionsBitmap = nullptr;
HBITMAP AboutBitmap = nullptr;
ToolbarImages ToolbarButtonImages = {};
