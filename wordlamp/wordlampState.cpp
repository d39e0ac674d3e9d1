#include "wordlampState.h"

namespace wordlamp {

HelpEntryTable helpEntryTable;
HelpOptions helpOptions;

int PlacedMenuMode = 0;
HBITMAP HelpBitmap = nullptr;
HBITMAP OptionsBitmap = nullptr;
HBITMAP AboutBitmap = nullptr;
ToolbarImages ToolbarButtonImages = {};

} // namespace wordlamp
