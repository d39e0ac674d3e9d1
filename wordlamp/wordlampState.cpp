#include "wordlampState.h"

namespace wordlamp {

HelpEntryTable helpEntryTable;
HelpOptions helpOptions;

int PlacedMenuMode = 0;
UniqueBitmap HelpBitmap;
UniqueBitmap OptionsBitmap;
UniqueBitmap AboutBitmap;
ToolbarImages ToolbarButtonImages;

} // namespace wordlamp
