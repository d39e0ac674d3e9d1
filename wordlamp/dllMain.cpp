// The thin library entry point of Wordlamp.dll; everything else lives in the static library.
#include "editorCalls.h"
#include "wordlampPlugin.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        callGuarded([module] { wordlamp::onLibraryAttach(module); });
    else if (reason == DLL_PROCESS_DETACH)
        callGuarded([reserved] { wordlamp::onLibraryDetach(reserved != nullptr); });
    return TRUE;
}
