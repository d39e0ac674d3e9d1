// The thin library entry point of Wordlamp.dll; everything else lives in the static library.
#include "wordlampPlugin.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        wordlamp::onLibraryAttach(module);
    else if (reason == DLL_PROCESS_DETACH)
        wordlamp::onLibraryDetach(reserved != nullptr);
    return TRUE;
}
