// Wordlamp's binding to the editor through the real library: help-menu entries in every mode, the
// context menu, entry commands, the toolbar button, the menu icons and the subclassed main window.
#include "dialogDriver.h"
#include "resource.h"
#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {
const int helpId = firstPluginCommandId; // the editor gives Wordlamp's "Help" the first identifier
const std::wstring helpItem = L"Help#" + std::to_wstring(helpId);
const std::wstring entriesPopup = L"Wordlamp >>[C#65000,CSS#65002]";
const std::vector<std::wstring> placedEntries = {L"-", L"C#65000", L"CSS#65002"};

std::vector<std::wstring> plainContextMenu()
{
    StandinEditor editor;
    return describeMenu(editor.openContextMenu());
}

std::vector<std::wstring> joined(
    std::vector<std::wstring> head, const std::vector<std::wstring>& middle, const std::vector<std::wstring>& tail = {})
{
    head.insert(head.end(), middle.begin(), middle.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

void runCommand(WordlampInEditor& wordlamp, WORD id, WORD source = 0)
{
    SendMessageW(wordlamp.editor.mainWindow(), WM_COMMAND, MAKEWPARAM(id, source), 0);
}

// Runs the Options dialog, does what the action says and presses OK.
void changeOptions(WordlampInEditor& wordlamp, std::function<void(HWND)> change)
{
    DialogDriver driver;
    driver.then([&](HWND dialog) {
        change(dialog);
        DialogDriver::click(dialog, IDOK);
    });
    wordlamp.openOptions();
    EXPECT_EQ(driver.pending(), 0u);
    EXPECT_TRUE(driver.unexpectedDialogs.empty());
}

struct PixelCounts {
    int red = 0;
    int blue = 0;
    int grey = 0;
};

// The picture's own pixels: those that are not the background.
PixelCounts countPixels(const std::vector<COLORREF>& pixels, COLORREF background = CLR_INVALID)
{
    PixelCounts counts;
    for (COLORREF pixel : pixels) {
        if (pixel == background)
            continue;
        int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
        if (r > 150 && g < 100 && b < 100)
            ++counts.red;
        else if (b > 150 && r < 120 && b > g + 30)
            ++counts.blue;
        else if (r > 100 && abs(r - g) < 30 && abs(b - g) < 30)
            ++counts.grey;
    }
    return counts;
}

PixelCounts countPixels(HBITMAP bitmap)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> pixels(256);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, 16, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> colours;
    for (const RGBQUAD& pixel : pixels)
        colours.push_back(RGB(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue));
    return countPixels(colours);
}
} // namespace

TEST(WordlampMenus, EachModePlacesTheShownEntriesInItsMenu)
{
    struct Case {
        int mode;
        std::vector<std::wstring> ownTail;
        std::vector<std::wstring> helpTail;
        std::vector<std::wstring> contextTail;
    };
    const Case cases[] = {
        {0, {}, {}, {}}, {1, placedEntries, {}, {}}, {2, {}, placedEntries, {}}, {3, {}, {}, {L"-", entriesPopup}},
        {7, {}, {}, {}}, // an unknown mode places nothing
    };
    const std::vector<std::wstring> context = plainContextMenu();
    for (const Case& c : cases) {
        SettingsText settings;
        settings.helpMenuMode = c.mode;
        settings.entries = threeEntries();
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        // Entry 1 has Show clear: no item, and its identifier 65001 is left free.
        EXPECT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems), c.ownTail) << "mode " << c.mode;
        EXPECT_EQ(menuTail(wordlamp.editor.helpMenu(), helpMenuItems), c.helpTail) << "mode " << c.mode;
        EXPECT_EQ(describeMenu(wordlamp.editor.openContextMenu()), joined(context, c.contextTail)) << "mode " << c.mode;
    }
}

TEST(WordlampMenus, ModeSwitchesInTheOptionsDialogMoveTheEntries)
{
    // Made first: the stand-in serves one editor at a time.
    const std::vector<std::wstring> context = plainContextMenu();
    SettingsText settings;
    settings.helpMenuMode = 1;
    settings.entries = threeEntries();
    WordlampInEditor wordlamp(settings);
    ASSERT_TRUE(wordlamp.loaded);
    ASSERT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems), placedEntries);

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::click(dialog, IDC_MENU_HELP); });
    EXPECT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems), std::vector<std::wstring>{});
    EXPECT_EQ(menuTail(wordlamp.editor.helpMenu(), helpMenuItems), placedEntries);

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::click(dialog, IDC_MENU_DONT_SHOW); });
    EXPECT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems), std::vector<std::wstring>{});
    EXPECT_EQ(menuTail(wordlamp.editor.helpMenu(), helpMenuItems), std::vector<std::wstring>{});
    EXPECT_EQ(describeMenu(wordlamp.editor.openContextMenu()), context);

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::click(dialog, IDC_MENU_CONTEXT); });
    EXPECT_EQ(describeMenu(wordlamp.editor.openContextMenu()), joined(context, {L"-", entriesPopup}));

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::setChecked(dialog, IDC_CONTEXT_ENTRY, true); });
    EXPECT_EQ(describeMenu(wordlamp.editor.openContextMenu()), joined(context, {L"-", helpItem, entriesPopup}));
    // The menu is built anew for every showing, so the items never pile up.
    EXPECT_EQ(describeMenu(wordlamp.editor.openContextMenu()), joined(context, {L"-", helpItem, entriesPopup}));

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::click(dialog, IDC_MENU_PLUGIN); });
    EXPECT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems), placedEntries);
    EXPECT_EQ(describeMenu(wordlamp.editor.openContextMenu()), joined(context, {L"-", helpItem}));
}

TEST(WordlampMenus, RebuildingLeavesOtherItemsInTheSameMenuAlone)
{
    SettingsText settings;
    settings.helpMenuMode = 2;
    settings.entries = threeEntries();
    WordlampInEditor wordlamp(settings);
    ASSERT_TRUE(wordlamp.loaded);
    HMENU help = wordlamp.editor.helpMenu();
    const std::wstring about = describeMenu(help)[0];
    // Something else adds an item behind Wordlamp's entries and one before everything.
    AppendMenuW(help, MF_STRING, 30001, L"Behind");
    InsertMenuW(help, 0, MF_BYPOSITION | MF_STRING, 30000, L"Before");
    AppendMenuW(wordlamp.ownMenu(), MF_STRING, 30002, L"Own extra");

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::click(dialog, IDC_MENU_PLUGIN); });
    EXPECT_EQ(describeMenu(help), (std::vector<std::wstring>{L"Before#30000", about, L"Behind#30001"}));
    EXPECT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems), joined({L"Own extra#30002"}, placedEntries));

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::click(dialog, IDC_MENU_HELP); });
    EXPECT_EQ(describeMenu(help), joined({L"Before#30000", about, L"Behind#30001"}, placedEntries));
    EXPECT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems), std::vector<std::wstring>{L"Own extra#30002"});

    changeOptions(wordlamp, [](HWND dialog) { DialogDriver::click(dialog, IDC_MENU_DONT_SHOW); });
    EXPECT_EQ(describeMenu(help), (std::vector<std::wstring>{L"Before#30000", about, L"Behind#30001"}));
}

TEST(WordlampMenus, ContextMenuItemsGoToTheTopOrTheBottom)
{
    struct Case {
        int mode;
        int showHelp;
        int onTop;
        std::vector<std::wstring> head;
        std::vector<std::wstring> tail;
    };
    const Case cases[] = {
        {3, 1, 0, {}, {L"-", helpItem, entriesPopup}},
        {3, 1, 1, {helpItem, entriesPopup, L"-"}, {}},
        {3, 0, 1, {entriesPopup, L"-"}, {}},
        {1, 1, 0, {}, {L"-", helpItem}},
        {1, 1, 1, {helpItem, L"-"}, {}},
        {0, 0, 1, {}, {}},
        {2, 0, 0, {}, {}},
    };
    const std::vector<std::wstring> context = plainContextMenu();
    for (const Case& c : cases) {
        SettingsText settings;
        settings.helpMenuMode = c.mode;
        settings.showContextMenuEntry = c.showHelp;
        settings.showContextMenuEntryOnTop = c.onTop;
        settings.entries = threeEntries();
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        EXPECT_EQ(describeMenu(wordlamp.editor.openContextMenu()), joined(c.head, context, c.tail))
            << "mode " << c.mode << ", Help " << c.showHelp << ", on top " << c.onTop;
    }
}

TEST(WordlampMenus, OnlyTheEditingViewsContextMenuGetsItems)
{
    SettingsText settings;
    settings.helpMenuMode = 3;
    settings.showContextMenuEntry = 1;
    settings.entries = threeEntries();
    WordlampInEditor wordlamp(settings);
    ASSERT_TRUE(wordlamp.loaded);
    const UINT hostCommands[] = {42001, 42002, 42005, 42006, 42016, 42017};
    for (UINT missing : hostCommands) {
        HMENU menu = CreatePopupMenu();
        for (UINT id : hostCommands)
            AppendMenuW(menu, MF_STRING, id == missing ? 42007 : id, L"Item");
        wordlamp.editor.announcePopup(menu);
        EXPECT_EQ(GetMenuItemCount(menu), 6) << "without " << missing;
        DestroyMenu(menu);
    }
    HMENU complete = CreatePopupMenu();
    for (UINT id : hostCommands)
        AppendMenuW(complete, MF_STRING, id, L"Item");
    wordlamp.editor.announcePopup(complete);
    EXPECT_EQ(GetMenuItemCount(complete), 9);
    DestroyMenu(complete);
}

TEST(WordlampMenus, EntryCommandsAreWordlampsUpTo65049)
{
    // Every entry's location is a help file that isn't there, so running one shows the viewer's message.
    SettingsText settings;
    settings.entries = numberedEntries(50);
    for (EntryText& entry : settings.entries)
        entry.file = L"c:\\no\\such\\folder\\" + entry.name + L".chm";
    settings.entries[1].show = 0;
    {
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        DialogDriver driver;
        runCommand(wordlamp, 65049);
        runCommand(wordlamp, 65001);    // an entry without a menu item still owns its identifier
        runCommand(wordlamp, 65000, 1); // the high word doesn't matter
        runCommand(wordlamp, 65050);
        ASSERT_EQ(driver.messageBoxes.size(), 3u);
        const unsigned entriesRun[] = {49, 1, 0};
        for (size_t i = 0; i < driver.messageBoxes.size(); ++i)
            EXPECT_EQ(driver.messageBoxes[i].text,
                L"The specified help file does not exist!\n" + settings.entries[entriesRun[i]].file);
        EXPECT_EQ(wordlamp.editor.hostCommands, std::vector<UINT>{65050});
    }
    settings.entries.resize(3);
    {
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        DialogDriver driver;
        // Identifiers of free slots are Wordlamp's too: they do nothing and don't reach the editor.
        runCommand(wordlamp, 65003);
        runCommand(wordlamp, 65049);
        EXPECT_TRUE(driver.messageBoxes.empty());
        EXPECT_TRUE(wordlamp.editor.hostCommands.empty());
        // Choosing an entry in the context sub-menu sends its identifier.
        runCommand(wordlamp, 65002);
        ASSERT_EQ(driver.messageBoxes.size(), 1u);
        EXPECT_EQ(driver.messageBoxes[0].caption, L"Wordlamp");
    }
}

TEST(WordlampMenus, ToolbarButtonRunsHelpWithTheLifeBuoy)
{
    for (int show : {0, 1}) {
        SettingsText settings;
        settings.showToolBarButton = show;
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        ASSERT_EQ(wordlamp.editor.toolbarButtons.size(), static_cast<size_t>(show));
        if (!show)
            continue;
        const ToolbarButton& button = wordlamp.editor.toolbarButtons[0];
        EXPECT_EQ(button.commandId, helpId);
        EXPECT_EQ(button.icon, nullptr);
        BITMAP picture = {};
        ASSERT_EQ(GetObjectW(button.bitmap, sizeof(picture), &picture), static_cast<int>(sizeof(picture)));
        EXPECT_EQ(picture.bmWidth, 16);
        EXPECT_EQ(picture.bmHeight, 16);
        EXPECT_NE(picture.bmBits, nullptr) << "a DIB section";
        EXPECT_GT(countPixels(button.bitmap).red, 20) << "the life buoy";
        ImageShape shape = shapeOfBitmap(button.bitmap);
        EXPECT_TRUE(shape.someTransparent && shape.someOpaque) << "the toolbar shows through around the buoy";
        // Only the editor's main window asks for toolbar buttons.
        SCNotification fromElsewhere = {};
        fromElsewhere.nmhdr.hwndFrom = wordlamp.editor.textArea();
        fromElsewhere.nmhdr.code = NPPN_TBMODIFICATION;
        wordlamp.editor.plugins().back().beNotified(&fromElsewhere);
        EXPECT_EQ(wordlamp.editor.toolbarButtons.size(), 1u);
    }
}

TEST(WordlampMenus, MenuItemsShowTheirIconsOverTheMenusOwnBackground)
{
    // Backgrounds standing for whatever the menu draws behind an item: one no icon uses, whose blend
    // with an icon's edges counts as none of its colours, and a highlight.
    const COLORREF backgrounds[] = {RGB(255, 0, 255), RGB(0, 120, 215)};
    for (int icons : {1, 0}) {
        SettingsText settings;
        settings.helpMenuMode = 1;
        settings.showContextMenuEntry = 1;
        settings.showMenuIcons = icons;
        settings.entries = threeEntries();
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        HWND owner = wordlamp.editor.mainWindow();
        HMENU plugins = wordlamp.editor.pluginsMenu();
        HMENU own = wordlamp.ownMenu();
        HMENU context = wordlamp.editor.openContextMenu();
        struct Item {
            const char* what;
            HMENU menu;
            UINT item;
            bool byPosition;
        };
        const Item lifeBuoyItems[] = {
            {"Help", own, static_cast<UINT>(wordlamp.commandId(0)), false},
            {"the plug-in's own item in the Plugins menu", plugins, 0, true},
            {"entry 1", own, 65000, false},
            {"entry 3", own, 65002, false},
            {"the context menu's Help", context, static_cast<UINT>(helpId), false},
        };
        for (COLORREF background : backgrounds) {
            auto shown = [&](const Item& item) {
                return menuItemPicture(item.menu, item.item, item.byPosition, owner, background);
            };
            ShownPicture wrench = shown({"Options...", own, static_cast<UINT>(wordlamp.commandId(2)), false});
            ShownPicture information = shown({"About", own, static_cast<UINT>(wordlamp.commandId(4)), false});
            if (!icons) {
                EXPECT_TRUE(wrench.pixels.empty());
                EXPECT_TRUE(information.pixels.empty());
                for (const Item& item : lifeBuoyItems)
                    EXPECT_TRUE(shown(item).pixels.empty()) << item.what;
                continue;
            }
            ShownPicture lifeBuoy = shown(lifeBuoyItems[0]);
            for (const Item& item : lifeBuoyItems)
                EXPECT_EQ(shown(item).pixels, lifeBuoy.pixels) << item.what << " shows the life buoy";
            // Each picture is the one its command stands for, the size of the display's menu icons.
            PixelCounts buoy = countPixels(lifeBuoy.pixels, background);
            PixelCounts tool = countPixels(wrench.pixels, background);
            PixelCounts sign = countPixels(information.pixels, background);
            EXPECT_GT(buoy.red, 20);
            EXPECT_GT(tool.grey, 20);
            EXPECT_GT(sign.blue, 60);
            if (background == backgrounds[0]) {
                EXPECT_EQ(tool.red + tool.blue, 0);
                EXPECT_EQ(sign.red, 0);
            }
            // The menu shows through around each picture instead of a black square.
            for (const ShownPicture* picture : {&lifeBuoy, &wrench, &information}) {
                EXPECT_EQ(picture->width, 16);
                EXPECT_EQ(picture->height, 16);
                EXPECT_GT(picture->count(background), 20);
                EXPECT_EQ(picture->count(RGB(0, 0, 0)), 0) << "no black where the icon lets the menu through";
            }
        }
    }
}

TEST(WordlampMenus, IconResourcesHoldAnImageForEveryDisplayScaleAt32Bits)
{
    HMODULE module = LoadLibraryExW(pluginPath(L"Wordlamp.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    // The menu icons, then the toolbar's outlines for light and dark mode.
    for (int id : {IDI_HELP_ICON, IDI_OPTIONS_ICON, IDI_ABOUT_ICON, IDI_TOOLBAR_LIGHT, IDI_TOOLBAR_DARK}) {
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
        ASSERT_NE(resource, nullptr) << id;
        const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
        WORD count = *reinterpret_cast<const WORD*>(group + 4);
        ASSERT_GE(SizeofResource(module, resource), 6u + 14u * count);
        std::set<int> sizes;
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            EXPECT_EQ(entry[0], entry[1]) << id;
            EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32) << id;
            sizes.insert(entry[0]);
        }
        // 100, 125, 150 and 200 % of a 16-pixel icon.
        for (int size : {16, 20, 24, 32})
            EXPECT_EQ(sizes.count(size), 1u) << id << " at " << size;
    }
    FreeLibrary(module);
}

TEST(WordlampMenus, TheEditorsWindowProcedureComesBackAtUnload)
{
    {
        StandinEditor editor;
        LONG_PTR original = GetWindowLongPtrW(editor.mainWindow(), GWLP_WNDPROC);
        writeSettings(SettingsText{});
        ASSERT_EQ(editor.loadPlugin(pluginPath(L"Wordlamp.dll")), L"");
        EXPECT_NE(GetWindowLongPtrW(editor.mainWindow(), GWLP_WNDPROC), original);
        // A second NPPN_READY must not make the procedure its own predecessor.
        SCNotification ready = {};
        ready.nmhdr.hwndFrom = editor.mainWindow();
        ready.nmhdr.code = NPPN_READY;
        editor.plugins().back().beNotified(&ready);
        editor.runCommand(IDM_ABOUT);
        EXPECT_EQ(editor.hostCommands, std::vector<UINT>{IDM_ABOUT});
        editor.unloadPlugins();
        EXPECT_EQ(GetWindowLongPtrW(editor.mainWindow(), GWLP_WNDPROC), original);
        editor.runCommand(IDM_ABOUT);
        EXPECT_EQ(editor.hostCommands.size(), 2u);
    }
    {
        // Loaded and unloaded before the editor is ready: nothing to put back, and with nothing
        // changed the file stays as it was.
        StandinEditor editor;
        LONG_PTR original = GetWindowLongPtrW(editor.mainWindow(), GWLP_WNDPROC);
        SettingsText settings;
        settings.helpMenuMode = 2;
        settings.entries = threeEntries();
        // An old Extension key beside a Mask, which a save would drop.
        writeSettings(settings);
        writeTextFile(settingsFilePath(), settings.text() + L"Extension=x\n");
        HMODULE module = LoadLibraryW(pluginPath(L"Wordlamp.dll").c_str());
        ASSERT_NE(module, nullptr);
        libraryEntry<void (*)(NppData)>(module, "setInfo")(editor.nppData());
        FreeLibrary(module);
        EXPECT_EQ(GetWindowLongPtrW(editor.mainWindow(), GWLP_WNDPROC), original);
        EXPECT_EQ(readTextFile(settingsFilePath()), settings.text() + L"Extension=x\n");
    }
}

TEST(WordlampMenus, UnloadingDeletesTheMenuBitmaps)
{
    SettingsText settings;
    settings.showMenuIcons = 1;
    settings.showToolBarButton = 1;
    // Wine doesn't count a process's GDI objects, so each bitmap the library put in its menu or on the
    // toolbar is also asked after the unload whether it still exists.
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::set<HBITMAP> seen;
    unsigned left = 0;
    for (int i = 0; i < 20; ++i) {
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        // The menu holds the life buoy, the wrench and the information sign itself where it blends
        // them; under Wine it asks the editor's window to draw them (the library's own test of its
        // menu bitmaps sees those go). The toolbar holds its standard-set picture.
        std::set<HBITMAP> bitmaps;
        for (int position = 0; position < GetMenuItemCount(wordlamp.ownMenu()); ++position) {
            HBITMAP image = itemBitmap(wordlamp.ownMenu(), static_cast<UINT>(position), true);
            if (image != nullptr && image != HBMMENU_CALLBACK)
                bitmaps.insert(image);
        }
        for (const ToolbarButton& button : wordlamp.editor.toolbarButtons)
            bitmaps.insert(button.bitmap);
        EXPECT_TRUE(bitmaps.size() == 1u || bitmaps.size() == 4u) << bitmaps.size();
        wordlamp.editor.unloadPlugins();
        for (HBITMAP bitmap : bitmaps) {
            seen.insert(bitmap);
            left += GetObjectType(bitmap) != 0 ? 1 : 0;
        }
    }
    DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::printf("Wordlamp, 20 loads and unloads: GDI objects counted %lu before, %lu after; %u bitmaps left\n", before,
        after, left);
    EXPECT_EQ(left, 0u);
    EXPECT_LE(after, before);
}
