#include "pickpathState.h"

SearchEntryTable searchEntryTable;
PickpathOptions pickpathOptions;

ToolbarImages ToolbarButtonImages = {};
