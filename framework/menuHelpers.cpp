#include "menuHelpers.h"

#include "iconImages.h"
#include "pluginHost.h"
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
    int position = findMenuItemByCaption(pluginsMenu, getName());
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
    info.hbmpItem = bitmap;
    return SetMenuItemInfoW(menu, commandId, FALSE, &info) != FALSE;
}

HBITMAP iconToMenuBitmap(HICON icon)
{
    // Made at the display's scale with real transparency: a bitmap drawn over the screen's black
    // showed as a black square in menus, and a 16-pixel one came out blurred or tiny at 150 %.
    return iconToAlphaBitmap(icon, scaledToDisplay(menuBitmapSize));
}

bool applyClassicMenuStyle(HMENU menu)
{
    wchar_t themeActive[themeValueBytes / sizeof(wchar_t) + 1] = L"";
    DWORD size = themeValueBytes;
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
        L"ThemeActive", RRF_RT_REG_SZ, nullptr, themeActive, &size);
    // Only the classic look draws item bitmaps beside the text instead of in the check-mark column.
    if (status != ERROR_SUCCESS || themeActive[0] != L'0')
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
