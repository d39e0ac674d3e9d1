// The exports that both plug-ins answer alike; getFuncsArray and beNotified are each plug-in's own.
#include "pluginHost.h"
#include "pluginIdentity.h"

extern "C" void setInfo(NppData data)
{
    nppData = data;
}

extern "C" LRESULT messageProc(UINT, WPARAM, LPARAM)
{
    return TRUE;
}

extern "C" BOOL isUnicode()
{
    return TRUE;
}
