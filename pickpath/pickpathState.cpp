#include "pickpathState.h"

SearchEntryTable searchEntryTable;
PickpathOptions pickpathOptions;

WNDPROC SavedWindowProc = nullptr;
toolbarIcons ToolbarIcons = {nullptr, nullptr};
