// The PDF viewer's wait between attempts to reach Acrobat, replaceable so that tests need not
// sit through the real waits.
#pragma once

#include <windows.h>

// Null puts back the real wait (Sleep).
void setPdfRetrySleep(void (*sleep)(DWORD milliseconds));
