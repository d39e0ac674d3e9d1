// The menu finders and menu tests on the stand-in editor's real menus, the classic menu style
// under both theme settings, and menu bitmaps made from icons.
#include "menuHelpers.h"
#include "pluginHost.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <gtest/gtest.h>

namespace {
const wchar_t themeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

HMENU menuWithCaptions(std::initializer_list<const wchar_t*> captions)
{
    HMENU menu = CreatePopupMenu();
    UINT id = 100;
    for (const wchar_t* caption : captions)
        if (caption == nullptr)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, id++, caption);
    return menu;
}

HMENU menuWithCommands(std::initializer_list<UINT> ids)
{
    HMENU menu = CreatePopupMenu();
    for (UINT id : ids)
        AppendMenuW(menu, MF_STRING, id, L"item");
    return menu;
}

void renameItem(HMENU menu, int position, const wchar_t* caption)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(caption);
    ASSERT_TRUE(SetMenuItemInfoW(menu, position, TRUE, &info));
}

DWORD menuStyle(HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    GetMenuInfo(menu, &info);
    return info.dwStyle;
}

class MenuHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        pluginModule = GetModuleHandleW(nullptr);
        nppData = editor.nppData();
        // The plug-in's own sub-menu, after another plug-in's, as the editor lists them.
        AppendMenuW(editor.pluginsMenu(), MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"Other");
        ownMenu = CreatePopupMenu();
        AppendMenuW(ownMenu, MF_STRING, firstPluginCommandId, L"Help");
        AppendMenuW(editor.pluginsMenu(), MF_POPUP, reinterpret_cast<UINT_PTR>(ownMenu), L"Wordlamp");
    }
    void TearDown() override { nppData = NppData{}; }

    StandinEditor editor;
    HMENU ownMenu = nullptr;
};
} // namespace

TEST(MenuCaptions, WholeCaptionsMatchWithLettersIgnoringCase)
{
    HMENU menu = menuWithCaptions(
        {L"Plugins", L"&plugins", L"&Plugins", L"Hide lines", L"Hide lines", L"\x00DCml\x00E4ut", nullptr});
    struct Case {
        const wchar_t* caption;
        int position;
    };
    const Case cases[] = {
        {L"&Plugins", 1}, // the first equal caption wins
        {L"&PLUGINS", 1}, {L"Plugins", 0}, {L"Hide lines", 3}, {L"hIDE LINES", 3}, {L"Hide", -1}, {L"Hide lines ", -1},
        {L"\x00DCml\x00E4ut", 5}, {L"\x00FCml\x00C4ut", -1}, // letters beyond A to Z compare exactly
        {L"", 6},                                            // a separator reads as the empty caption
    };
    for (const Case& c : cases)
        EXPECT_EQ(findMenuItemByCaption(menu, c.caption), c.position) << narrow(c.caption);
    EXPECT_EQ(findMenuItemByCaption(nullptr, L"&Plugins"), -1);
    DestroyMenu(menu);
}

TEST_F(MenuHelpers, FindsTheEditorsMenusByTheirCaptions)
{
    EXPECT_EQ(findPluginsMenu(), editor.pluginsMenu());
    EXPECT_EQ(findOwnPluginMenu(), ownMenu);
    EXPECT_EQ(findHelpMenu(), editor.helpMenu());

    renameItem(editor.mainMenu(), 1, L"&PLUGINS");
    EXPECT_EQ(findOwnPluginMenu(), ownMenu);
    renameItem(findPluginsMenu(), 1, L"Word lamp"); // the own menu goes by the display name only
    EXPECT_EQ(findOwnPluginMenu(), nullptr);
    // A translated editor: no Plugins menu, and the help menu falls back to the menu bar.
    renameItem(editor.mainMenu(), 1, L"&Erweiterungen");
    renameItem(editor.mainMenu(), 2, L"&Hilfe");
    EXPECT_EQ(findPluginsMenu(), nullptr);
    EXPECT_EQ(findOwnPluginMenu(), nullptr);
    EXPECT_EQ(findHelpMenu(), editor.mainMenu());
}

TEST_F(MenuHelpers, ContextMenuNeedsAllSixCommands)
{
    HMENU contextMenu = editor.openContextMenu();
    EXPECT_TRUE(isEditorContextMenuById(contextMenu));
    EXPECT_FALSE(isEditorContextMenuById(editor.pluginsMenu()));

    struct Case {
        std::initializer_list<UINT> ids;
        bool expected;
    };
    const Case cases[] = {
        {{IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, IDM_EDIT_DELETE, IDM_EDIT_UPPERCASE, IDM_EDIT_LOWERCASE}, true},
        {{IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, IDM_EDIT_DELETE, IDM_EDIT_UPPERCASE}, false},
        // An identifier that occurs twice counts twice.
        {{IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, IDM_EDIT_DELETE, IDM_EDIT_UPPERCASE, IDM_EDIT_CUT}, true},
        {{}, false},
    };
    for (const Case& c : cases) {
        HMENU menu = menuWithCommands(c.ids);
        EXPECT_EQ(isEditorContextMenuById(menu), c.expected) << c.ids.size() << " items";
        DestroyMenu(menu);
    }
    EXPECT_FALSE(isEditorContextMenuById(nullptr));
}

TEST_F(MenuHelpers, ContextMenuByCaptionNeedsThreeOfFive)
{
    EXPECT_TRUE(isEditorContextMenuByCaption(editor.openContextMenu()));
    EXPECT_FALSE(isEditorContextMenuByCaption(editor.mainMenu()));

    struct Case {
        std::initializer_list<const wchar_t*> captions;
        bool expected;
    };
    const Case cases[] = {
        {{L"Hide lines", L"UPPERCASE"}, false},
        {{L"Hide lines", L"UPPERCASE", nullptr, L"lowercase"}, true},
        {{L"uppercase", L"STREAM COMMENT", L"Toggle Block Comment"}, true},
        {{L"&UPPERCASE", L"Hide lines", L"lowercase"}, false},
        {{L"Hide lines ", L"Cut", L"stream comment", L"lowercase"}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        HMENU menu = menuWithCaptions(c.captions);
        EXPECT_EQ(isEditorContextMenuByCaption(menu), c.expected) << c.captions.size() << " items";
        DestroyMenu(menu);
    }
}

TEST_F(MenuHelpers, ClassicStyleOnlyWithVisualStylesOff)
{
    struct Case {
        const wchar_t* themeActive;
        bool applied;
    };
    const Case cases[] = {{L"1", false}, {nullptr, false}, {L"", false}, {L"0", true}};
    // Under Wine never: it would draw the bitmap over the start of the text.
    for (bool underWine : {false, true}) {
        for (const Case& c : cases) {
            std::wstring value = c.themeActive != nullptr ? c.themeActive : L"";
            RegistryValueSwap swap(
                HKEY_CURRENT_USER, themeKey, L"ThemeActive", c.themeActive != nullptr ? &value : nullptr);
            HMENU menu = CreatePopupMenu();
            HMENU subMenu = CreatePopupMenu();
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu), L"Sub");
            bool applied = c.applied && !underWine;
            EXPECT_EQ(applyClassicMenuStyle(menu, underWine), applied) << narrow(value) << underWine;
            DWORD expected = applied ? static_cast<DWORD>(MNS_CHECKORBMP) : 0;
            EXPECT_EQ(menuStyle(menu) & MNS_CHECKORBMP, expected) << narrow(value) << underWine;
            EXPECT_EQ(menuStyle(subMenu) & MNS_CHECKORBMP, expected) << narrow(value) << underWine;
            DestroyMenu(menu);
        }
    }
    std::wstring off = L"0";
    RegistryValueSwap swap(HKEY_CURRENT_USER, themeKey, L"ThemeActive", &off);
    EXPECT_TRUE(applyClassicMenuStyle(editor.pluginsMenu(), false));
    EXPECT_TRUE(menuStyle(ownMenu) & MNS_CHECKORBMP);
    // These tests run under Wine, and the one-argument form knows it.
    EXPECT_TRUE(menusDrawnByWine());
    EXPECT_FALSE(applyClassicMenuStyle(CreatePopupMenu()));
}

TEST_F(MenuHelpers, MenusBlendABitmapsAlphaOnlyWithVisualStylesOnWindows)
{
    struct Case {
        bool underWine;
        bool visualStyles;
        bool blended;
    };
    const Case cases[] = {{false, true, true}, {false, false, false}, {true, true, false}, {true, false, false}};
    for (const Case& c : cases)
        EXPECT_EQ(menusBlendBitmapAlpha(c.underWine, c.visualStyles), c.blended) << c.underWine << c.visualStyles;
    // Where they don't, an item's image is drawn by the menu's owner window; no bitmap stays none.
    EXPECT_FALSE(menusBlendBitmapAlpha());
    HICON icon = makeTwoHalvesIcon(0x00FF0000, 0x000000FF, true);
    HBITMAP bitmap = iconToMenuBitmap(icon);
    EXPECT_EQ(menuItemImage(bitmap), HBMMENU_CALLBACK);
    EXPECT_EQ(menuItemImage(nullptr), nullptr);
    DeleteObject(bitmap);
    DestroyIcon(icon);
}

TEST_F(MenuHelpers, IconsBecomeSixteenPixelDibSections)
{
    // Left half red, right half blue, fully opaque.
    HICON icon = makeTwoHalvesIcon(0x00FF0000, 0x000000FF, false);
    ASSERT_NE(icon, nullptr);

    HBITMAP bitmap = iconToMenuBitmap(icon);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectW(bitmap, sizeof(section), &section), static_cast<int>(sizeof(section)));
    EXPECT_EQ(section.dsBm.bmWidth, 16);
    EXPECT_EQ(abs(section.dsBm.bmHeight), 16);
    ASSERT_NE(section.dsBm.bmBits, nullptr);
    // The screen here has 32 bits per pixel, so the copy has too.
    ASSERT_EQ(section.dsBm.bmBitsPixel, 32);
    const DWORD* bits = static_cast<const DWORD*>(section.dsBm.bmBits);
    EXPECT_EQ(bits[5 * 16 + 2] & 0xFFFFFF, 0x00FF0000u);
    EXPECT_EQ(bits[5 * 16 + 13] & 0xFFFFFF, 0x000000FFu);

    EXPECT_TRUE(setMenuItemBitmap(editor.pluginsMenu(), firstPluginCommandId, bitmap));
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    ASSERT_TRUE(GetMenuItemInfoW(ownMenu, firstPluginCommandId, FALSE, &item));
    EXPECT_EQ(item.hbmpItem, HBMMENU_CALLBACK) << "under Wine the menu asks its owner window to draw the bitmap";
    EXPECT_FALSE(setMenuItemBitmap(editor.pluginsMenu(), firstPluginCommandId + 40, bitmap));

    DeleteObject(bitmap);
    DestroyIcon(icon);
}
