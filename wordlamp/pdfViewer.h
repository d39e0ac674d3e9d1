// The PDF viewer's wait between attempts to reach Acrobat, replaceable so that tests need not
// sit through the real waits.
#pragma once

#include <windows.h>

// The wait answers false when the user gave up (Esc). Null puts back the real wait, which lets the
// editor repaint meanwhile.
void setPdfRetryWait(bool (*wait)(DWORD milliseconds));
