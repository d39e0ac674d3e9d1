// What the running editor can do, judged by the version it reports.
#pragma once

#include <windows.h>

// The editor's version as NPPM_GETNPPVERSION gives it with a zero-padded minor part: major in the
// high word, minor and patch in the low (8.9.7 is MAKELONG(970, 8)); 0 from an editor that
// doesn't answer.
DWORD editorVersion();
// Whether the editor is at least major.minorPadded (8.5.4 is 8, 540).
bool editorIsAtLeast(WORD major, WORD minorPadded);
