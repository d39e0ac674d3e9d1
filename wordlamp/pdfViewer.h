// The PDF viewer: a search in Acrobat through DDE, else in Reader by its command line.
#pragma once

#include <windows.h>

void showPdfHelp(const wchar_t* location, const wchar_t* word);

// The wait between attempts to reach Acrobat, replaceable so that tests need not sit through the
// real waits.
// Null puts back the real wait (Sleep).
void setPdfRetrySleep(void (*sleep)(DWORD milliseconds));
