#include "busyEditor.h"

bool escapePressed()
{
    MSG message;
    if (PeekMessageW(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) && message.wParam == VK_ESCAPE) {
        PeekMessageW(&message, message.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
        return true;
    }
    // Keys typed before Esc hide it from the queue's head.
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void letWindowsPaint(int maxPaints)
{
    MSG message;
    for (int i = 0; i < maxPaints && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
        DispatchMessageW(&message);
}
