// The thin library entry point of Pickpath.dll; everything else lives in the static library.
#include "pickpathPlugin.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        pickpath::onLibraryAttach(module);
    else if (reason == DLL_PROCESS_DETACH)
        pickpath::onLibraryDetach(reserved != nullptr);
    return TRUE;
}
