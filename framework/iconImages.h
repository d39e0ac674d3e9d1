// Images at the display's scale: icon sizes for the current DPI, and icons turned into bitmaps
// that keep their transparency, for menus and the toolbar.
#pragma once

#include <windows.h>

// Dots per inch of the display the editor's main window is on (96 at 100 %).
int displayDpi();
// A size given for 100 % at the display's scale.
int scaledToDisplay(int size);
// The icon resource's image nearest to size x size pixels, scaled to it where none matches; null
// when the resource is missing.
HICON loadIconSized(HINSTANCE module, int iconId, int size);
// A new size x size 32-bit DIB section showing the icon over premultiplied alpha, so that menus
// and image lists show what lies behind its transparent parts; null on failure.
HBITMAP iconToAlphaBitmap(HICON icon, int size);
