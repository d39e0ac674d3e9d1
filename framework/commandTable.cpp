#include "commandTable.h"

#include <strsafe.h>

void setCommand(FuncItem& item, const wchar_t* caption, PFUNCPLUGINCMD callback, ShortcutKey* shortcut)
{
    StringCchCopyW(item._itemName, _countof(item._itemName), caption);
    item._pFunc = callback;
    item._init2Check = false;
    item._pShKey = shortcut;
}
