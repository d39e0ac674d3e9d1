// The PDF viewer: a search in Acrobat through DDE, else in Reader by its command line.
#pragma once

#include <windows.h>

namespace wordlamp {

void showPdfHelp(const wchar_t* location, const wchar_t* word);

// The wait between attempts to reach Acrobat, replaceable so that tests need not sit through the
// real waits. The wait answers false when the user gave up (Esc). Null puts back the real wait,
// which lets the editor repaint meanwhile.
void setPdfRetryWait(bool (*wait)(DWORD milliseconds));

} // namespace wordlamp
