#include "wordlampMenus.h"

#include "helpLookup.h"
#include "iconImages.h"
#include "menuHelpers.h"
#include "pathTemplate.h"
#include "pluginHost.h"
#include "pluginIdentity.h"
#include "resource.h"
#include "wordlampPlugin.h"
#include "wordlampState.h"

#include <initializer_list>
#include <string>

namespace wordlamp {

namespace {
constexpr int menuIconSize = 16;
const wchar_t entriesPopupCaption[] = L"Wordlamp >>";

// The items Wordlamp places in the editor's menus carry this address as their item data, so a
// rebuild finds exactly them, wherever other items have pushed them since.
const char placedItemTagSite = 0;

ULONG_PTR placedItemTag()
{
    return reinterpret_cast<ULONG_PTR>(&placedItemTagSite);
}

HBITMAP bitmapFromIcon(HINSTANCE module, int iconId)
{
    // The image drawn for the display's scale, rather than a 16-pixel one blown up.
    UniqueIcon icon(loadIconSized(module, iconId, scaledToDisplay(menuIconSize)));
    return icon ? iconToMenuBitmap(icon.get()) : nullptr;
}

// The menu that holds the help-menu entries under a mode; null where a mode places none.
HMENU menuForMode(int mode)
{
    if (mode == HelpMenuOwnSubMenu)
        return findOwnPluginMenu();
    if (mode == HelpMenuHelpMenu)
        return findHelpMenu();
    return nullptr;
}

void removePlacedItems(HMENU menu)
{
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) && info.dwItemData == placedItemTag())
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    }
}

void appendSeparator(HMENU menu, ULONG_PTR tag)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType = MFT_SEPARATOR;
    info.dwItemData = tag;
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

// Entry i gets the identifier firstHelpEntryCommand + i whether or not the entries before it are shown.
void appendEntryItems(HMENU menu, ULONG_PTR tag)
{
    for (unsigned i = 0; i < helpEntryTable.Count && i < MaxHelpEntries; ++i) {
        HelpEntry& entry = helpEntryTable.Entries[i];
        if (!entry.Show)
            continue;
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA;
        info.wID = firstHelpEntryCommand + i;
        info.dwTypeData = entry.Name;
        info.dwItemData = tag;
        if (helpOptions.ShowMenuIcons) {
            info.fMask |= MIIM_BITMAP;
            info.hbmpItem = menuItemImage(HelpBitmap.get());
        }
        InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
    }
}

void insertHelpItem(HMENU menu, UINT position)
{
    UINT helpId = static_cast<UINT>(funcItems[helpCommandIndex]._cmdID);
    InsertMenuW(menu, position, MF_BYPOSITION | MF_STRING, helpId, L"Help");
    if (helpOptions.ShowMenuIcons)
        setMenuItemBitmap(menu, helpId, HelpBitmap.get());
}

void insertEntriesPopup(HMENU menu, UINT position)
{
    // Once inserted, the pop-up is the menu's to destroy.
    UniqueMenu popup(buildEntriesPopup());
    if (InsertMenuW(
            menu, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), entriesPopupCaption))
        popup.release();
}

// The editor builds its context menu afresh for every showing, so the items are added every time.
void addContextMenuItems(HMENU menu)
{
    bool showEntries = helpOptions.HelpMenuMode == HelpMenuContextMenu;
    bool showHelp = helpOptions.ShowContextMenuEntry != 0;
    if (!(showEntries || showHelp) || !isEditorContextMenu(menu))
        return;
    if (helpOptions.ShowContextMenuEntryOnTop) {
        // Each insertion goes before the previous one: "Help", "Wordlamp >>", separator.
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        if (showEntries)
            insertEntriesPopup(menu, 0);
        if (showHelp)
            insertHelpItem(menu, 0);
    } else {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        if (showHelp)
            insertHelpItem(menu, static_cast<UINT>(GetMenuItemCount(menu)));
        if (showEntries)
            insertEntriesPopup(menu, static_cast<UINT>(GetMenuItemCount(menu)));
    }
    applyClassicMenuStyle(menu);
}

// The picture of a Wordlamp item whose image its owner window draws, by the item's identifier (a
// sub-menu's item has its menu's handle there); null for any other item.
HBITMAP itemPicture(UINT itemId)
{
    if (itemId == static_cast<UINT>(funcItems[optionsCommandIndex]._cmdID))
        return OptionsBitmap.get();
    if (itemId == static_cast<UINT>(funcItems[aboutCommandIndex]._cmdID))
        return AboutBitmap.get();
    bool entry = itemId >= firstHelpEntryCommand && itemId < firstHelpEntryCommand + MaxHelpEntries;
    if (entry || itemId == static_cast<UINT>(funcItems[helpCommandIndex]._cmdID))
        return HelpBitmap.get();
    HMENU ownMenu = findOwnPluginMenu();
    if (ownMenu != nullptr && itemId == static_cast<UINT>(reinterpret_cast<UINT_PTR>(ownMenu)))
        return HelpBitmap.get();
    return nullptr;
}

void runEntryCommand(unsigned index)
{
    // The identifier of a free slot is still Wordlamp's: it does nothing rather than reach the editor.
    if (index >= helpEntryTable.Count)
        return;
    ExpandedTemplate location;
    expandTemplateAroundWord(helpEntryTable.Entries[index].File, location);
    runHelpEntry(location);
}
} // namespace

void makeMenuBitmaps(HINSTANCE module)
{
    if (!HelpBitmap)
        HelpBitmap.reset(bitmapFromIcon(module, IDI_HELP_ICON));
    if (!OptionsBitmap)
        OptionsBitmap.reset(bitmapFromIcon(module, IDI_OPTIONS_ICON));
    if (!AboutBitmap)
        AboutBitmap.reset(bitmapFromIcon(module, IDI_ABOUT_ICON));
}

void releaseMenuBitmaps()
{
    for (UniqueBitmap* bitmap : {&HelpBitmap, &OptionsBitmap, &AboutBitmap})
        bitmap->reset();
}

void rebuildHelpMenuEntries()
{
    // Only what Wordlamp placed goes: items that something else put before, between or after
    // Wordlamp's stay where they are.
    removePlacedItems(menuForMode(PlacedMenuMode));
    PlacedMenuMode = helpOptions.HelpMenuMode;
    HMENU target = menuForMode(PlacedMenuMode);
    if (target == nullptr)
        return;
    // The separator comes even when no entry is shown.
    appendSeparator(target, placedItemTag());
    appendEntryItems(target, placedItemTag());
    applyClassicMenuStyle(target);
}

HMENU buildEntriesPopup()
{
    HMENU popup = CreatePopupMenu();
    appendEntryItems(popup, 0);
    return popup;
}

void setPluginMenuIcons()
{
    HMENU pluginsMenu = findPluginsMenu();
    if (pluginsMenu == nullptr)
        return;
    // The plug-in's own item opens a sub-menu and has no identifier: it is addressed by position.
    int position = findMenuItemByCaption(pluginsMenu, pluginName().c_str());
    if (position >= 0) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = menuItemImage(HelpBitmap.get());
        SetMenuItemInfoW(pluginsMenu, static_cast<UINT>(position), TRUE, &info);
    }
    setMenuItemBitmap(pluginsMenu, static_cast<UINT>(funcItems[helpCommandIndex]._cmdID), HelpBitmap.get());
    setMenuItemBitmap(pluginsMenu, static_cast<UINT>(funcItems[optionsCommandIndex]._cmdID), OptionsBitmap.get());
    setMenuItemBitmap(pluginsMenu, static_cast<UINT>(funcItems[aboutCommandIndex]._cmdID), AboutBitmap.get());
    applyClassicMenuStyle(pluginsMenu);
}

bool onEditorMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        UINT id = LOWORD(wParam);
        if (id >= firstHelpEntryCommand && id < firstHelpEntryCommand + MaxHelpEntries) {
            runEntryCommand(id - firstHelpEntryCommand);
            return true;
        }
        break;
    }
    case WM_INITMENUPOPUP:
        addContextMenuItems(reinterpret_cast<HMENU>(wParam));
        break;
    case WM_MEASUREITEM: {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        HBITMAP picture = item.CtlType == ODT_MENU ? itemPicture(item.itemID) : nullptr;
        if (picture == nullptr)
            break;
        measureMenuItemBitmap(item, picture);
        return true;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        HBITMAP picture = item.CtlType == ODT_MENU ? itemPicture(item.itemID) : nullptr;
        if (picture == nullptr)
            break;
        drawMenuItemBitmap(item, picture);
        return true;
    }
    }
    return false;
}

} // namespace wordlamp
