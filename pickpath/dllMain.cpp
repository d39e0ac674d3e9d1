// The thin library entry point of Pickpath.dll; everything else lives in the static library.
#include "editorCalls.h"
#include "pickpathPlugin.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        callGuarded([module] { pickpath::onLibraryAttach(module); });
    else if (reason == DLL_PROCESS_DETACH)
        callGuarded([reserved] { pickpath::onLibraryDetach(reserved != nullptr); });
    return TRUE;
}
