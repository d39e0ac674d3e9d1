#include "editorVersion.h"

#include "pluginHost.h"

DWORD editorVersion()
{
    if (nppData._nppHandle == nullptr)
        return 0;
    // Asked each time: cheap, and an editor that never answers stays "older than any".
    return static_cast<DWORD>(SendMessageW(nppData._nppHandle, NPPM_GETNPPVERSION, TRUE, 0));
}

bool editorIsAtLeast(WORD major, WORD minorPadded)
{
    return editorVersion() >= static_cast<DWORD>(MAKELONG(minorPadded, major));
}
