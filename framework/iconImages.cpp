#include "iconImages.h"

#include "pluginHost.h"

namespace {
constexpr int defaultDpi = 96;

struct PixelCanvas {
    HBITMAP bitmap = nullptr;
    DWORD* pixels = nullptr;
};

// Bottom-up like any bitmap loaded from a resource, 32 bits per pixel.
PixelCanvas makeCanvas(HDC screen, int size)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    PixelCanvas canvas;
    void* bits = nullptr;
    canvas.bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas.pixels = static_cast<DWORD*>(bits);
    return canvas;
}

void drawOver(HDC memory, const PixelCanvas& canvas, int size, COLORREF background, HICON icon)
{
    HGDIOBJ previous = SelectObject(memory, canvas.bitmap);
    RECT all = {0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    SelectObject(memory, previous);
}

BYTE channel(DWORD pixel, int shift)
{
    return static_cast<BYTE>((pixel >> shift) & 0xFF);
}
} // namespace

int displayDpi()
{
    // Asked per window where the system can, so a per-monitor-aware editor gets its monitor's scale.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto dpiForWindow = user == nullptr
        ? nullptr
        : reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
    if (dpiForWindow != nullptr && nppData._nppHandle != nullptr) {
        UINT dpi = dpiForWindow(nppData._nppHandle);
        if (dpi != 0)
            return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    int dpi = screen == nullptr ? 0 : GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : defaultDpi;
}

int scaledToDisplay(int size)
{
    return MulDiv(size, displayDpi(), defaultDpi);
}

HICON loadIconSized(HINSTANCE module, int iconId, int size)
{
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
}

HBITMAP iconToAlphaBitmap(HICON icon, int size)
{
    if (icon == nullptr || size <= 0)
        return nullptr;
    // Drawn once over black and once over white: where the two differ the icon lets the
    // background through, which gives its alpha whatever form the icon's own transparency takes.
    HDC screen = GetDC(nullptr);
    PixelCanvas overBlack = makeCanvas(screen, size);
    PixelCanvas overWhite = makeCanvas(screen, size);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (overBlack.bitmap == nullptr || overWhite.bitmap == nullptr || memory == nullptr) {
        if (overBlack.bitmap != nullptr)
            DeleteObject(overBlack.bitmap);
        if (overWhite.bitmap != nullptr)
            DeleteObject(overWhite.bitmap);
        if (memory != nullptr)
            DeleteDC(memory);
        return nullptr;
    }
    drawOver(memory, overBlack, size, RGB(0, 0, 0), icon);
    drawOver(memory, overWhite, size, RGB(255, 255, 255), icon);
    DeleteDC(memory);
    for (int i = 0; i < size * size; ++i) {
        DWORD black = overBlack.pixels[i];
        DWORD white = overWhite.pixels[i];
        int through = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            int difference = channel(white, shift) - channel(black, shift);
            if (difference > through)
                through = difference;
        }
        DWORD alpha = static_cast<DWORD>(255 - through);
        // Over black the colour is already premultiplied by the alpha.
        DWORD colour = black & 0x00FFFFFF;
        overBlack.pixels[i] = alpha == 0 ? 0 : (alpha << 24) | colour;
    }
    DeleteObject(overWhite.bitmap);
    return overBlack.bitmap;
}
