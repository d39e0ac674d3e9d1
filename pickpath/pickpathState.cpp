#include "pickpathState.h"

namespace pickpath {

SearchEntryTable searchEntryTable;
PickpathOptions pickpathOptions;

ToolbarImages ToolbarButtonImages;
StatusNote PassingNote = {};

} // namespace pickpath
