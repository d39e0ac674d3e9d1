#include "menuHelpers.h"

#include "iconImages.h"
#include "pluginHost.h"
#include "pluginIdentity.h"
#include "scopedWin.h"
#include "textBuffers.h"
#include "textHelpers.h"

namespace {
constexpr int menuBitmapSize = 16;
constexpr DWORD themeValueBytes = 255;

const UINT contextMenuCommands[] = {
    IDM_EDIT_CUT,
    IDM_EDIT_COPY,
    IDM_EDIT_PASTE,
    IDM_EDIT_DELETE,
    IDM_EDIT_UPPERCASE,
    IDM_EDIT_LOWERCASE,
};

const wchar_t* const contextMenuCaptions[] = {
    L"Hide lines",
    L"UPPERCASE",
    L"lowercase",
    L"toggle block comment",
    L"stream comment",
};

// Separators and items without text read as the empty caption.
void readCaption(HMENU menu, int position, wchar_t* caption, int capacity)
{
    caption[0] = L'\0';
    GetMenuStringW(menu, static_cast<UINT>(position), caption, capacity, MF_BYPOSITION);
    caption[capacity - 1] = L'\0';
}

// The classic look: visual styles switched off (Windows 7 and before offer it).
bool visualStylesOff()
{
    wchar_t themeActive[themeValueBytes / sizeof(wchar_t) + 1] = L"";
    DWORD size = themeValueBytes;
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
        L"ThemeActive", RRF_RT_REG_SZ, nullptr, themeActive, &size);
    return status == ERROR_SUCCESS && themeActive[0] == L'0';
}

SIZE bitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0)
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

HMENU findMenuBarSubMenu(const wchar_t* caption)
{
    HMENU menuBar = GetMenu(nppData._nppHandle);
    int position = findMenuItemByCaption(menuBar, caption);
    return position < 0 ? nullptr : GetSubMenu(menuBar, position);
}
} // namespace

int findMenuItemByCaption(HMENU menu, const wchar_t* caption)
{
    if (caption == nullptr)
        return -1;
    int count = GetMenuItemCount(menu);
    wchar_t itemCaption[textCapacity];
    for (int position = 0; position < count; ++position) {
        readCaption(menu, position, itemCaption, _countof(itemCaption));
        if (equalIgnoringAsciiCase(itemCaption, caption))
            return position;
    }
    return -1;
}

HMENU findPluginsMenu()
{
    return findMenuBarSubMenu(L"&Plugins");
}

HMENU findOwnPluginMenu()
{
    HMENU pluginsMenu = findPluginsMenu();
    if (pluginsMenu == nullptr)
        return nullptr;
    int position = findMenuItemByCaption(pluginsMenu, pluginName().c_str());
    return position < 0 ? nullptr : GetSubMenu(pluginsMenu, position);
}

HMENU findHelpMenu()
{
    HMENU menuBar = GetMenu(nppData._nppHandle);
    int position = findMenuItemByCaption(menuBar, L"&?");
    // Without a help menu the callers append to the menu bar itself.
    return position < 0 ? menuBar : GetSubMenu(menuBar, position);
}

bool setMenuItemBitmap(HMENU menu, UINT commandId, HBITMAP bitmap)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = menuItemImage(bitmap);
    return SetMenuItemInfoW(menu, commandId, FALSE, &info) != FALSE;
}

HBITMAP iconToMenuBitmap(HICON icon)
{
    // Made at the display's scale with real transparency: a bitmap drawn over the screen's black
    // showed as a black square in menus, and a 16-pixel one came out blurred or tiny at 150 %.
    return iconToAlphaBitmap(icon, scaledToDisplay(menuBitmapSize));
}

bool menusDrawnByWine()
{
    // Wine names itself through an export of its ntdll.
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool applyClassicMenuStyle(HMENU menu)
{
    return applyClassicMenuStyle(menu, menusDrawnByWine());
}

bool applyClassicMenuStyle(HMENU menu, bool underWine)
{
    // Only the classic look draws item bitmaps beside the text instead of in the check-mark column.
    if (underWine || !visualStylesOff())
        return false;
    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    if (!GetMenuInfo(menu, &info))
        return false;
    info.dwStyle |= MNS_CHECKORBMP;
    info.fMask = MIM_STYLE | MIM_APPLYTOSUBMENUS;
    return SetMenuInfo(menu, &info) != FALSE;
}

bool isEditorContextMenu(HMENU menu)
{
    return isEditorContextMenuById(menu) || isEditorContextMenuByCaption(menu);
}

bool isEditorContextMenuById(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    int matches = 0;
    for (int position = 0; position < count; ++position) {
        // Sub-menus and separators give no identifier that could match.
        UINT id = GetMenuItemID(menu, position);
        for (UINT command : contextMenuCommands)
            if (id == command)
                ++matches;
    }
    return matches > 5;
}

bool isEditorContextMenuByCaption(HMENU menu)
{
    int count = GetMenuItemCount(menu);
    int matches = 0;
    wchar_t caption[textCapacity];
    for (int position = 0; position < count; ++position) {
        readCaption(menu, position, caption, _countof(caption));
        for (const wchar_t* anchor : contextMenuCaptions)
            if (equalIgnoringAsciiCase(caption, anchor))
                ++matches;
    }
    return matches > 2;
}

bool menusBlendBitmapAlpha()
{
    return menusBlendBitmapAlpha(menusDrawnByWine(), !visualStylesOff());
}

bool menusBlendBitmapAlpha(bool underWine, bool visualStyles)
{
    return visualStyles && !underWine;
}

HBITMAP menuItemImage(HBITMAP bitmap)
{
    if (bitmap == nullptr || menusBlendBitmapAlpha())
        return bitmap;
    return HBMMENU_CALLBACK;
}

void measureMenuItemBitmap(MEASUREITEMSTRUCT& item, HBITMAP bitmap)
{
    SIZE size = bitmapSize(bitmap);
    item.itemWidth = static_cast<UINT>(size.cx);
    item.itemHeight = static_cast<UINT>(size.cy);
}

void drawMenuItemBitmap(const DRAWITEMSTRUCT& item, HBITMAP bitmap)
{
    SIZE size = bitmapSize(bitmap);
    if (size.cx == 0)
        return;
    UniqueMemoryDc memory(CreateCompatibleDC(item.hDC));
    if (!memory)
        return;
    SelectedObject drawnFrom(memory.get(), bitmap);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    int top = item.rcItem.top + ((item.rcItem.bottom - item.rcItem.top) - size.cy) / 2;
    GdiAlphaBlend(item.hDC, item.rcItem.left, top, size.cx, size.cy, memory.get(), 0, 0, size.cx, size.cy, blend);
}
