#include "pickpathState.h"

SearchEntryTable searchEntryTable;
PickpathOptions pickpathOptions;

HBITMAP ToolbarBitmap = nullptr;
