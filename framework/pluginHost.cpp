#include "pluginHost.h"

#include <shlwapi.h>

NppData nppData = {nullptr, nullptr, nullptr};
HINSTANCE pluginModule = nullptr;

void getModuleFileName(HMODULE module, wchar_t* buffer, size_t capacity)
{
    DWORD length = GetModuleFileNameW(module, buffer, static_cast<DWORD>(capacity));
    // A name cut to the buffer is no usable file name either.
    if (length == 0 || length >= capacity)
        buffer[0] = L'\0';
}

void getPluginFileName(wchar_t* buffer, size_t capacity)
{
    getModuleFileName(pluginModule, buffer, capacity);
}

void getProgramFolder(wchar_t* buffer, size_t capacity)
{
    getModuleFileName(nullptr, buffer, capacity);
    PathRemoveFileSpecW(buffer);
}

void askEditor(UINT message, wchar_t* buffer, size_t capacity)
{
    buffer[0] = L'\0';
    // The capacity always goes with the request, so the editor can never write past the buffer.
    SendMessageW(nppData._nppHandle, message, capacity, reinterpret_cast<LPARAM>(buffer));
    buffer[capacity - 1] = L'\0';
}
