// Pickpath's binding to the editor: the context-menu entry, the command 65101, the shortcut, the
// toolbar button and the editor's window procedure, through the real library.
#include "pickpathTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {
std::wstring caption(HMENU menu, int position)
{
    wchar_t text[256] = L"";
    GetMenuStringW(menu, static_cast<UINT>(position), text, _countof(text), MF_BYPOSITION);
    return text;
}

// One line per item: "-" for a separator, else "caption#id".
std::vector<std::wstring> describeMenu(HMENU menu)
{
    std::vector<std::wstring> items;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID;
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        items.push_back(info.fType & MFT_SEPARATOR ? L"-" : caption(menu, position) + L"#" + std::to_wstring(info.wID));
    }
    return items;
}

// A document whose own folder holds the file the selection names.
struct DocumentWithFile {
    explicit DocumentWithFile(StandinEditor& editor)
    {
        tree.file(L"util.c");
        editor.document.open(tree.at(L"main.c"));
        editor.document.currentWord = L"util";
    }
    FolderTree tree;
};

SettingsText contextMenuSettings(int entry, int onTop)
{
    SettingsText settings;
    settings.showContextMenuEntry = entry;
    settings.showContextMenuEntryOnTop = onTop;
    return settings;
}

WNDPROC windowProcedure(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

LRESULT CALLBACK otherPluginsProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

TEST(PickpathBinding, PutsItsEntryIntoTheContextMenuAtTheTopOrTheBottom)
{
    struct Case {
        int entry;
        int onTop;
        const char* where; // "top", "bottom" or "none"
    };
    const Case cases[] = {{1, 1, "top"}, {1, 0, "bottom"}, {0, 1, "none"}, {0, 0, "none"}, {7, 3, "top"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        PickpathInEditor pickpath(contextMenuSettings(c.entry, c.onTop));
        std::wstring entry = L"Pickpath#" + std::to_wstring(pickpath.commandId(0));
        std::wstring chooser = L"Open current selection\x2026#" + std::to_wstring(pickpath.commandId(1));
        // The editor builds the menu anew for every showing, and the entries come again each time.
        for (int opening = 0; opening < 2; ++opening) {
            std::vector<std::wstring> items = describeMenu(pickpath.editor.openContextMenu());
            ASSERT_GE(items.size(), 4u);
            // Exactly one of each entry, however often the menu was shown, with their separator beside them.
            EXPECT_EQ(std::count(items.begin(), items.end(), entry), std::string(c.where) == "none" ? 0 : 1);
            EXPECT_EQ(std::count(items.begin(), items.end(), chooser), std::string(c.where) == "none" ? 0 : 1);
            if (std::string(c.where) == "top") {
                EXPECT_EQ(items[0], entry);
                EXPECT_EQ(items[1], chooser);
                EXPECT_EQ(items[2], L"-");
                EXPECT_EQ(items[3].substr(0, 4), L"Cut#");
            } else if (std::string(c.where) == "bottom") {
                EXPECT_EQ(items[items.size() - 3], L"-");
                EXPECT_EQ(items[items.size() - 2], entry);
                EXPECT_EQ(items.back(), chooser);
                EXPECT_EQ(items[0].substr(0, 4), L"Cut#");
            }
        }
    }
}

TEST(PickpathBinding, TellsTheContextMenuByThreeOfItsCaptions)
{
    struct Case {
        std::vector<const wchar_t*> captions;
        bool getsEntry;
    };
    const Case cases[] = {
        {{L"UPPERCASE", L"lowercase"}, false},
        {{L"UPPERCASE", L"lowercase", L"Hide lines"}, true},
        {{L"uppercase", L"LOWERCASE", L"Stream Comment"}, true},
        {{L"UPPERCASE", L"UPPERCASE ", L"&lowercase", L"Cut", L"Copy"}, false},
        {{L"toggle block comment", L"stream comment", L"Hide lines", L"Other"}, true},
    };
    PickpathInEditor pickpath(contextMenuSettings(1, 0));
    for (const Case& c : cases) {
        HMENU popup = CreatePopupMenu();
        UINT id = 100;
        for (const wchar_t* text : c.captions)
            AppendMenuW(popup, MF_STRING, id++, text);
        pickpath.editor.announcePopup(popup);
        int count = GetMenuItemCount(popup);
        EXPECT_EQ(count, static_cast<int>(c.captions.size()) + (c.getsEntry ? 3 : 0)) << narrow(c.captions[0]);
        if (c.getsEntry) {
            EXPECT_EQ(caption(popup, count - 2), L"Pickpath");
        }
        DestroyMenu(popup);
    }
}

TEST(PickpathBinding, OpensTheSelectionFromEveryWayIn)
{
    PickpathInEditor pickpath(contextMenuSettings(1, 1));
    DocumentWithFile document(pickpath.editor);
    std::wstring expected = lower(document.tree.at(L"util.c"));

    // The context-menu entry sends the command's identifier; the editor runs the command.
    HMENU menu = pickpath.editor.openContextMenu();
    pickpath.editor.runCommand(GetMenuItemID(menu, 0));
    // The shortcut Alt+O.
    EXPECT_TRUE(pickpath.editor.pressShortcut(false, true, false, 'O'));
    // Command 65101 is answered by Pickpath's window procedure and doesn't reach the editor.
    pickpath.editor.runCommand(65101);
    ASSERT_EQ(pickpath.editor.openedFiles.size(), 3u);
    for (const std::wstring& opened : pickpath.editor.openedFiles)
        EXPECT_EQ(lower(opened), expected);
    EXPECT_EQ(pickpath.editor.hostCommands, std::vector<UINT>{});
    // Other commands go on to the editor.
    pickpath.editor.runCommand(IDM_ABOUT);
    EXPECT_EQ(pickpath.editor.hostCommands, std::vector<UINT>{IDM_ABOUT});
}

TEST(PickpathBinding, AddsAToolbarButtonWhenAsked)
{
    for (int wanted : {0, 1}) {
        SettingsText settings;
        settings.showToolBarButton = wanted;
        PickpathInEditor pickpath(settings);
        ASSERT_EQ(pickpath.editor.toolbarButtons.size(), static_cast<size_t>(wanted));
        // Only the main window's request counts.
        SCNotification fromElsewhere = {};
        fromElsewhere.nmhdr.hwndFrom = pickpath.editor.textArea();
        fromElsewhere.nmhdr.code = NPPN_TBMODIFICATION;
        pickpath.editor.plugins().back().beNotified(&fromElsewhere);
        ASSERT_EQ(pickpath.editor.toolbarButtons.size(), static_cast<size_t>(wanted));
        if (wanted == 0)
            continue;
        const ToolbarButton& button = pickpath.editor.toolbarButtons[0];
        EXPECT_EQ(button.commandId, pickpath.commandId(0));
        EXPECT_EQ(button.icon, nullptr);
        BITMAP bitmap = {};
        ASSERT_EQ(GetObjectW(button.bitmap, sizeof(bitmap), &bitmap), static_cast<int>(sizeof(bitmap)));
        EXPECT_EQ(bitmap.bmWidth, 16);
        EXPECT_EQ(bitmap.bmHeight, 16);
    }
    // The bitmap resource itself: 16 x 16 at 8 bits per pixel, with its palette.
    HMODULE library = LoadLibraryExW(pluginPath(L"Pickpath.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library, nullptr);
    HRSRC resource = FindResourceW(library, MAKEINTRESOURCEW(IDB_TOOLBAR), MAKEINTRESOURCEW(2));
    ASSERT_NE(resource, nullptr);
    auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(library, resource)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(header->biHeight, 16);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_GT(header->biClrUsed, 1u);
    FreeLibrary(library);
}

TEST(PickpathBinding, PutsTheEditorsWindowProcedureBackOnlyWhenItReplacedIt)
{
    StandinEditor editor;
    WNDPROC original = windowProcedure(editor.mainWindow());
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
    EXPECT_NE(windowProcedure(editor.mainWindow()), original);
    editor.unloadPlugins();
    EXPECT_EQ(windowProcedure(editor.mainWindow()), original);

    // Unloaded before NPPN_READY, it leaves alone what another plug-in installed meanwhile.
    HMODULE library = LoadLibraryW(pluginPath(L"Pickpath.dll").c_str());
    ASSERT_NE(library, nullptr);
    libraryEntry<void (*)(NppData)>(library, "setInfo")(editor.nppData());
    SetWindowLongPtrW(editor.mainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(otherPluginsProcedure));
    FreeLibrary(library);
    EXPECT_EQ(windowProcedure(editor.mainWindow()), otherPluginsProcedure);
    SetWindowLongPtrW(editor.mainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}
