#include "userMessages.h"

#include "pluginHost.h"

void showInformation(const wchar_t* text)
{
    showMessage(text, getName(), MB_OK | MB_ICONINFORMATION);
}

void showMessage(const wchar_t* text, const wchar_t* caption, UINT style)
{
    MessageBoxW(nppData._nppHandle, text, caption, style);
}
