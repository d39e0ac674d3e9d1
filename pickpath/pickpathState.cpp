#include "pickpathState.h"

namespace pickpath {

SearchEntryTable searchEntryTable;
PickpathOptions pickpathOptions;

ToolbarImages ToolbarButtonImages = {};

} // namespace pickpath
