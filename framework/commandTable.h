// Filling the command table that the editor reads in place.
#pragma once

#include "hostInterface.h"

// An empty caption with no callback is shown by the editor as a separator.
void setCommand(FuncItem& item, const wchar_t* caption, PFUNCPLUGINCMD callback, ShortcutKey* shortcut);
