#include "editorBinding.h"

#include "editorCalls.h"
#include "pluginHost.h"

#include <commctrl.h>

namespace {
// This library's link in the chain: each plug-in links its own copy of the framework, so the
// address names this plug-in's subclass and no other.
const char subclassIdSite = 0;
HWND boundWindow = nullptr;

UINT_PTR subclassId()
{
    return reinterpret_cast<UINT_PTR>(&subclassIdSite);
}

LRESULT CALLBACK editorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR handler)
{
    if (message == WM_NCDESTROY) {
        // The window goes before the library: nothing is left to unbind.
        RemoveWindowSubclass(window, editorWindowProc, subclassId());
        boundWindow = nullptr;
    } else if (callGuarded(
                   false, [&] { return reinterpret_cast<EditorMessageHandler>(handler)(message, wParam, lParam); })) {
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
} // namespace

void bindEditorWindow(EditorMessageHandler handler)
{
    if (boundWindow != nullptr || nppData._nppHandle == nullptr || handler == nullptr)
        return;
    if (SetWindowSubclass(nppData._nppHandle, editorWindowProc, subclassId(), reinterpret_cast<DWORD_PTR>(handler)))
        boundWindow = nppData._nppHandle;
}

void unbindEditorWindow()
{
    if (boundWindow == nullptr)
        return;
    RemoveWindowSubclass(boundWindow, editorWindowProc, subclassId());
    boundWindow = nullptr;
}
