// Both real plug-in libraries loaded into the stand-in editor: exports, command tables, menus,
// shortcuts and the About boxes.
#include "dialogDriver.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <gtest/gtest.h>

namespace {
struct PluginFacts {
    const wchar_t* library;
    const wchar_t* name;
    const wchar_t* firstCommand;
    ShortcutKey shortcut;
    const wchar_t* aboutText;
    const wchar_t* secondCommand; // a command without a key in place of the first separator, or null
};

const PluginFacts plugins[] = {
    {L"Wordlamp.dll", L"Wordlamp", L"Help", {true, false, false, VK_F1}, nullptr, nullptr},
    {L"Pickpath.dll", L"Pickpath", L"Open current selection", {false, true, false, 'O'}, nullptr,
        L"Open current selection\x2026"},
};

std::wstring menuCaption(HMENU menu, int position)
{
    wchar_t text[256] = L"";
    GetMenuStringW(menu, position, text, _countof(text), MF_BYPOSITION);
    return text;
}

HMENU ownSubMenu(StandinEditor& editor, const std::wstring& name)
{
    HMENU plugins = editor.pluginsMenu();
    for (int position = 0; position < GetMenuItemCount(plugins); ++position)
        if (menuCaption(plugins, position) == name)
            return GetSubMenu(plugins, position);
    return nullptr;
}
} // namespace

TEST(PluginLibraries, ExportTheSixEntriesUndecorated)
{
    for (const PluginFacts& facts : plugins) {
        HMODULE module = LoadLibraryW(pluginPath(facts.library).c_str());
        ASSERT_NE(module, nullptr) << narrow(facts.library);
        for (const char* entry : {"setInfo", "getName", "getFuncsArray", "beNotified", "messageProc", "isUnicode"})
            EXPECT_NE(GetProcAddress(module, entry), nullptr) << entry;
        auto isUnicodeEntry = libraryEntry<BOOL (*)()>(module, "isUnicode");
        auto messageProcEntry = libraryEntry<LRESULT (*)(UINT, WPARAM, LPARAM)>(module, "messageProc");
        EXPECT_EQ(isUnicodeEntry(), TRUE);
        EXPECT_EQ(messageProcEntry(WM_USER, 1, 2), TRUE);
        FreeLibrary(module);
    }
}

TEST(PluginLibraries, LoadIntoTheEditorWithTheirCommandTables)
{
    for (const PluginFacts& facts : plugins) {
        StandinEditor editor;
        ASSERT_EQ(editor.loadPlugin(pluginPath(facts.library)), L"");
        const LoadedPlugin& plugin = editor.plugins().back();
        EXPECT_EQ(plugin.name, facts.name);
        ASSERT_EQ(plugin.itemCount, 5);
        const FuncItem* items = plugin.items;
        EXPECT_STREQ(items[0]._itemName, facts.firstCommand);
        EXPECT_STREQ(items[2]._itemName, L"Options...");
        EXPECT_STREQ(items[4]._itemName, L"About");
        if (facts.secondCommand != nullptr) {
            EXPECT_STREQ(items[1]._itemName, facts.secondCommand);
            EXPECT_NE(items[1]._pFunc, nullptr);
            EXPECT_EQ(items[1]._pShKey, nullptr) << "no key of its own";
        }
        for (int separator : {1, 3}) {
            if (separator == 1 && facts.secondCommand != nullptr)
                continue;
            EXPECT_STREQ(items[separator]._itemName, L"");
            EXPECT_EQ(items[separator]._pFunc, nullptr);
            EXPECT_EQ(items[separator]._pShKey, nullptr);
        }
        for (int i = 0; i < 5; ++i) {
            EXPECT_FALSE(items[i]._init2Check);
            // The editor writes each command's identifier in place, the one its menu item carries;
            // a separator gets none.
            wchar_t caption[menuItemNameLength] = L"";
            if (items[i]._pFunc == nullptr) {
                EXPECT_EQ(items[i]._cmdID, 0);
                continue;
            }
            EXPECT_GE(items[i]._cmdID, firstPluginCommandId);
            GetMenuStringW(plugin.menu, static_cast<UINT>(items[i]._cmdID), caption, _countof(caption), MF_BYCOMMAND);
            EXPECT_EQ(std::wstring(caption).substr(0, wcslen(items[i]._itemName)), items[i]._itemName);
        }
        EXPECT_NE(items[4]._pFunc, nullptr);
        ASSERT_NE(items[0]._pShKey, nullptr);
        EXPECT_EQ(items[0]._pShKey->_isCtrl, facts.shortcut._isCtrl);
        EXPECT_EQ(items[0]._pShKey->_isAlt, facts.shortcut._isAlt);
        EXPECT_EQ(items[0]._pShKey->_isShift, facts.shortcut._isShift);
        EXPECT_EQ(items[0]._pShKey->_key, facts.shortcut._key);
        EXPECT_EQ(items[2]._pShKey, nullptr);
        EXPECT_EQ(items[4]._pShKey, nullptr);

        HMENU own = ownSubMenu(editor, facts.name);
        ASSERT_NE(own, nullptr);
        ASSERT_GE(GetMenuItemCount(own), 5);
        EXPECT_EQ(menuCaption(own, 0).substr(0, wcslen(facts.firstCommand)), facts.firstCommand);
        EXPECT_EQ(GetMenuItemID(own, 1), facts.secondCommand != nullptr ? static_cast<UINT>(items[1]._cmdID) : 0u)
            << "a separator, or the second command";
        EXPECT_EQ(menuCaption(own, 2), L"Options...");
        EXPECT_EQ(GetMenuItemID(own, 4), static_cast<UINT>(items[4]._cmdID));
    }
}

TEST(PluginLibraries, AboutBoxesShowNameMakerVersionBuildAndDescription)
{
    struct Case {
        const wchar_t* library;
        const wchar_t* caption;
        const wchar_t* version;
        const wchar_t* description;
    };
    const Case cases[] = {
        {L"Wordlamp.dll", L"Wordlamp", L"v1.61 (build ", L"This plugin allows to setup language specific help files."},
        {L"Pickpath.dll", L"Pickpath", L"v1.01 (build ", L"Open a file from the selected text."},
    };
    for (const Case& c : cases) {
        StandinEditor editor;
        DialogDriver driver;
        ASSERT_EQ(editor.loadPlugin(pluginPath(c.library)), L"");
        editor.runCommand(editor.commandId(c.caption, 4));
        ASSERT_EQ(driver.messageBoxes.size(), 1u);
        const MessageBoxRecord& box = driver.messageBoxes[0];
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.icon, IconKind::information);
        EXPECT_EQ(box.owner, editor.mainWindow());
        std::vector<std::wstring> lines = splitLines(box.text);
        ASSERT_EQ(lines.size(), 5u) << narrow(box.text);
        EXPECT_EQ(lines[0], std::wstring(c.caption) + L" by Quillmark Software");
        EXPECT_EQ(lines[1], L"");
        EXPECT_EQ(lines[2].substr(0, wcslen(c.version)), c.version);
        // The build date is the day the library was built: year-month-day, then ")".
        ASSERT_EQ(lines[2].size(), wcslen(c.version) + 11);
        EXPECT_EQ(lines[2][wcslen(c.version) + 4], L'-');
        EXPECT_EQ(lines[2].back(), L')');
        EXPECT_EQ(lines[3], L"");
        EXPECT_EQ(lines[4], c.description);
    }
}

TEST(PluginLibraries, ShortcutsBecomeTheEditorsAccelerators)
{
    StandinEditor editor;
    DialogDriver driver;
    ASSERT_EQ(editor.loadPlugins({pluginPath(L"Wordlamp.dll"), pluginPath(L"Pickpath.dll")}), L"");
    EXPECT_FALSE(editor.pressShortcut(false, false, false, VK_F1));
    EXPECT_FALSE(editor.pressShortcut(true, false, false, 'O'));
    // Both plug-ins' sub-menus sit side by side in "&Plugins", named after each plug-in.
    EXPECT_NE(ownSubMenu(editor, L"Wordlamp"), nullptr);
    EXPECT_NE(ownSubMenu(editor, L"Pickpath"), nullptr);
    // Loaded in the order of their names, as the editor orders its plug-in folders, so Pickpath's
    // commands come first in "&Plugins" and take the first identifiers.
    ASSERT_EQ(editor.plugins().size(), 2u);
    EXPECT_EQ(editor.plugins()[0].name, L"Pickpath");
    EXPECT_EQ(GetSubMenu(editor.pluginsMenu(), 0), ownSubMenu(editor, L"Pickpath"));
    EXPECT_LT(editor.commandId(L"Pickpath", 4), editor.commandId(L"Wordlamp", 0));
}

TEST(PluginLibraries, UnloadingRemovesThemAndLeavesTheEditorWorking)
{
    StandinEditor editor;
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Wordlamp.dll")), L"");
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
    editor.unloadPlugins();
    EXPECT_EQ(GetModuleHandleW(L"Wordlamp.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"Pickpath.dll"), nullptr);
    EXPECT_EQ(GetMenuItemCount(editor.pluginsMenu()), 0);
    editor.runCommand(IDM_ABOUT);
    ASSERT_EQ(editor.hostCommands.size(), 1u);
    EXPECT_EQ(editor.hostCommands[0], IDM_ABOUT);
}

TEST(HostRecords, HaveTheEditorsLayout)
{
    // The editor reads the command table in place: its layout on each architecture, as measured.
    struct Layout {
        size_t size, pFunc, cmdID, init2Check, pShKey;
    };
    const Layout x86 = {144, 128, 132, 136, 140};
    const Layout x64 = {152, 128, 136, 140, 144};
    const Layout& expected = sizeof(void*) == 8 ? x64 : x86;
    EXPECT_EQ(sizeof(FuncItem), expected.size);
    EXPECT_EQ(offsetof(FuncItem, _pFunc), expected.pFunc);
    EXPECT_EQ(offsetof(FuncItem, _cmdID), expected.cmdID);
    EXPECT_EQ(offsetof(FuncItem, _init2Check), expected.init2Check);
    EXPECT_EQ(offsetof(FuncItem, _pShKey), expected.pShKey);
    EXPECT_EQ(sizeof(ShortcutKey), 4u);
    EXPECT_EQ(offsetof(ShortcutKey, _key), 3u);
    EXPECT_EQ(sizeof(NppData), 3 * sizeof(HWND));
}

#if defined(_FORTIFY_SOURCE) && _FORTIFY_SOURCE > 0
extern "C" void* __stack_chk_guard;

// Everything here is built hardened: the stack guard holds a value from the system's generator, and
// a write past a buffer ends the program with the checks' message instead of corrupting memory.
TEST(Hardening, TheGuardIsSeededAndAWritePastABufferEndsTheProgram)
{
    EXPECT_NE(__stack_chk_guard, nullptr);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            char buffer[4];
            volatile size_t length = 8;
            memset(buffer, 'x', length);
            std::puts(buffer);
        },
        "buffer overflow detected");
}
#endif
