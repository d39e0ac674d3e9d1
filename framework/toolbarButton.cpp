#include "toolbarButton.h"

#include "editorVersion.h"
#include "iconImages.h"
#include "pluginHost.h"

namespace {
// The standard set's bitmap and the small Fluent sets at 100 %; the large ones are half again.
constexpr int smallIconSize = 16;
constexpr int largeIconSize = 24;
constexpr LRESULT fluentLarge = 1;
constexpr LRESULT filledFluentLarge = 3;

// The editor takes one icon per face and fits it to its buttons: made at the size the chosen
// set shows at the display's scale, it is never blown up.
int toolbarIconSize()
{
    LRESULT set = SendMessageW(nppData._nppHandle, NPPM_GETTOOLBARICONSETCHOICE, 0, 0);
    bool large = set == fluentLarge || set == filledFluentLarge;
    return scaledToDisplay(large ? largeIconSize : smallIconSize);
}

HBITMAP loadStandardBitmap(HINSTANCE module, const ToolbarArt& art)
{
    if (art.bitmapId != 0)
        return static_cast<HBITMAP>(LoadImageW(
            module, MAKEINTRESOURCEW(art.bitmapId), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE));
    UniqueIcon icon(loadIconSized(module, art.standardIconId, smallIconSize));
    return iconToAlphaBitmap(icon.get(), smallIconSize);
}
} // namespace

void makeToolbarImages(ToolbarImages& images, HINSTANCE module, const ToolbarArt& art)
{
    if (!images.bitmap)
        images.bitmap.reset(loadStandardBitmap(module, art));
    int size = toolbarIconSize();
    if (!images.icon)
        images.icon.reset(loadIconSized(module, art.lightIconId, size));
    if (!images.darkIcon)
        images.darkIcon.reset(loadIconSized(module, art.darkIconId, size));
    images.faces = {images.bitmap.get(), images.icon.get(), images.darkIcon.get()};
    images.bitmapOnly = {images.bitmap.get(), nullptr};
}

void registerToolbarButton(int commandId, ToolbarImages& images)
{
    // Before 8.0 the editor knows only the bitmap; a message it doesn't know would give no button.
    if (editorIsAtLeast(8, 0))
        SendMessageW(nppData._nppHandle, NPPM_ADDTOOLBARICON_FORDARKMODE, static_cast<WPARAM>(commandId),
            reinterpret_cast<LPARAM>(&images.faces));
    else
        SendMessageW(nppData._nppHandle, NPPM_ADDTOOLBARICON, static_cast<WPARAM>(commandId),
            reinterpret_cast<LPARAM>(&images.bitmapOnly));
}

void releaseToolbarImages(ToolbarImages& images)
{
    images = ToolbarImages{};
}
