#include "iconImages.h"

#include "pluginHost.h"
#include "scopedWin.h"

namespace {
constexpr int defaultDpi = 96;

struct PixelCanvas {
    UniqueBitmap bitmap;
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
    canvas.bitmap.reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    canvas.pixels = static_cast<DWORD*>(bits);
    return canvas;
}

void drawOver(HDC memory, const PixelCanvas& canvas, int size, COLORREF background, HICON icon)
{
    SelectedObject drawnOn(memory, canvas.bitmap.get());
    RECT all = {0, 0, size, size};
    UniqueBrush brush(CreateSolidBrush(background));
    FillRect(memory, &all, brush.get());
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
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
    ScreenDc screen;
    int dpi = screen.get() == nullptr ? 0 : GetDeviceCaps(screen.get(), LOGPIXELSY);
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
    PixelCanvas overBlack;
    PixelCanvas overWhite;
    UniqueMemoryDc memory;
    {
        ScreenDc screen;
        overBlack = makeCanvas(screen.get(), size);
        overWhite = makeCanvas(screen.get(), size);
        memory.reset(CreateCompatibleDC(screen.get()));
    }
    if (!overBlack.bitmap || !overWhite.bitmap || !memory)
        return nullptr;
    drawOver(memory.get(), overBlack, size, RGB(0, 0, 0), icon);
    drawOver(memory.get(), overWhite, size, RGB(255, 255, 255), icon);
    memory.reset();
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
    return overBlack.bitmap.release();
}
