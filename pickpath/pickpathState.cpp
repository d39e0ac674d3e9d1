#include "pickpathState.h"

SearchEntryTable searchEntryTable;
PickpathOptions pickpathOptions;

WNDPROC SavedWindowProc = nullptr;
ToolbarImages ToolbarButtonImages = {};
