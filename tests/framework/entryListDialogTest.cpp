// The entry list that both Options dialogs share, driven by control id inside each real library:
// the rows, the selection and the buttons after every action, the working copy that only OK
// stores, the names the entry editor refuses, the size limit, and the entry editor's help.
#include "dialogDriver.h"
#include "dialogTemplate.h"
#include "entryListIds.h"
#include "pluginUnderTest.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

namespace {
using Driver = DialogDriver;

// Entries are named by single words; the settings file holds one section per entry.
std::vector<std::wstring> words(const std::wstring& text)
{
    std::vector<std::wstring> result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L' ', start);
        if (end == std::wstring::npos)
            end = text.size();
        if (end > start)
            result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

// "Add", "Remove", "Edit", "Move up", "Move down" as "1" or "0" each.
std::string buttons(HWND dialog)
{
    std::string states;
    for (int id : {IDC_ADD, IDC_REMOVE, IDC_EDIT, IDC_MOVE_UP, IDC_MOVE_DOWN})
        states += Driver::isEnabled(dialog, id) ? '1' : '0';
    return states;
}

// The button whose caption reads as given, its access key's mark left out.
HWND buttonCaptioned(HWND dialog, const std::wstring& caption)
{
    for (HWND button = FindWindowExW(dialog, nullptr, L"Button", nullptr); button != nullptr;
         button = FindWindowExW(dialog, button, L"Button", nullptr)) {
        if (shownCaption(Driver::text(dialog, GetDlgCtrlID(button))) == caption)
            return button;
    }
    return nullptr;
}

enum Action {
    none,
    selectRow,
    cancelSelection,
    add,
    addCancelled,
    edit,
    editByDoubleClick,
    editCancelled,
    removeRow,
    moveUp,
    moveDown
};

struct Step {
    Action action;
    int row;             // selectRow and editByDoubleClick
    const wchar_t* name; // the name typed into the entry editor
    const wchar_t* rows; // the row names afterwards
    int selection;
    const char* buttons;
};

void perform(HWND dialog, Driver& driver, const Step& step)
{
    switch (step.action) {
    case none:
        break;
    case selectRow:
        Driver::selectRow(dialog, IDC_ENTRY_LIST, step.row);
        break;
    case cancelSelection:
        Driver::selectRow(dialog, IDC_ENTRY_LIST, -1);
        break;
    case add:
    case edit:
    case editByDoubleClick: {
        std::wstring name = step.name;
        bool isNew = step.action == add;
        driver.then([name, isNew](HWND editor) {
            // A new entry starts empty: no box checked, no text in any field.
            for (HWND control = GetWindow(editor, GW_CHILD); isNew && control != nullptr;
                 control = GetWindow(control, GW_HWNDNEXT)) {
                EXPECT_NE(SendMessageW(control, BM_GETCHECK, 0, 0), BST_CHECKED);
            }
            for (int field = 0; isNew && editField(editor, field) != nullptr; ++field)
                EXPECT_EQ(GetWindowTextLengthW(editField(editor, field)), 0) << "field " << field;
            typeEntry(editor, name);
        });
        if (step.action == add)
            Driver::click(dialog, IDC_ADD);
        else if (step.action == edit)
            Driver::click(dialog, IDC_EDIT);
        else
            Driver::doubleClickRow(dialog, IDC_ENTRY_LIST, step.row);
        break;
    }
    case addCancelled:
    case editCancelled:
        driver.then([](HWND editor) {
            SetWindowTextW(editField(editor, 0), L"Dropped");
            Driver::click(editor, IDCANCEL);
        });
        Driver::click(dialog, step.action == addCancelled ? IDC_ADD : IDC_EDIT);
        break;
    case removeRow:
        Driver::click(dialog, IDC_REMOVE);
        break;
    case moveUp:
        Driver::click(dialog, IDC_MOVE_UP);
        break;
    case moveDown:
        Driver::click(dialog, IDC_MOVE_DOWN);
        break;
    }
}
} // namespace

TEST(EntryListDialog, EveryActionKeepsRowsSelectionAndButtonsInStep)
{
    struct Case {
        const char* what;
        const wchar_t* entries;
        std::vector<Step> steps;
        bool ok;
    };
    const Case cases[] = {
        {"opening and selecting", L"A B C",
            {{none, 0, L"", L"A B C", -1, "10000"}, {selectRow, 0, L"", L"A B C", 0, "11101"},
                {selectRow, 1, L"", L"A B C", 1, "11111"}, {selectRow, 2, L"", L"A B C", 2, "11110"},
                {cancelSelection, 0, L"", L"A B C", -1, "10000"}},
            false},
        {"one row has nothing to move", L"A", {{selectRow, 0, L"", L"A", 0, "11100"}}, false},
        {"an empty list", L"", {{none, 0, L"", L"", -1, "10000"}, {add, 0, L"N", L"N", 0, "11100"}}, true},
        {"moves keep the moved entry selected", L"A B C",
            {{selectRow, 1, L"", L"A B C", 1, "11111"}, {moveUp, 0, L"", L"B A C", 0, "11101"},
                {moveDown, 0, L"", L"A B C", 1, "11111"}, {moveDown, 0, L"", L"A C B", 2, "11110"}},
            true},
        {"remove leaves nothing selected", L"A B C",
            {{selectRow, 1, L"", L"A B C", 1, "11111"}, {removeRow, 0, L"", L"A C", -1, "10000"}}, true},
        {"edit replaces the row in place and keeps it selected", L"A B C",
            {{selectRow, 1, L"", L"A B C", 1, "11111"}, {edit, 0, L"E", L"A E C", 1, "11111"},
                {editByDoubleClick, 2, L"D", L"A E D", 2, "11110"}, {editCancelled, 0, L"", L"A E D", 2, "11110"}},
            true},
        {"add appends and selects the new entry", L"A B",
            {{selectRow, 0, L"", L"A B", 0, "11101"}, {addCancelled, 0, L"", L"A B", 0, "11101"},
                {add, 0, L"N", L"A B N", 2, "11110"}},
            true},
        {"cancel drops every change", L"A B C",
            {{selectRow, 2, L"", L"A B C", 2, "11110"}, {moveUp, 0, L"", L"A C B", 1, "11111"},
                {removeRow, 0, L"", L"A B", -1, "10000"}, {add, 0, L"N", L"A B N", 2, "11110"}},
            false},
    };
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        for (const Case& c : cases) {
            SCOPED_TRACE(narrow(plugin.name) + ": " + c.what);
            writeEntries(plugin, words(c.entries));
            PluginInEditor inEditor(plugin);
            ASSERT_TRUE(inEditor.loaded);
            Driver driver;
            driver.then([&](HWND dialog) {
                EXPECT_EQ(Driver::caption(dialog), std::wstring(plugin.name) + L" Options");
                for (size_t i = 0; i < c.steps.size(); ++i) {
                    const Step& step = c.steps[i];
                    perform(dialog, driver, step);
                    EXPECT_EQ(rowNames(dialog), words(step.rows)) << "step " << i + 1;
                    EXPECT_EQ(Driver::listSelection(dialog, IDC_ENTRY_LIST), step.selection) << "step " << i + 1;
                    EXPECT_EQ(buttons(dialog), step.buttons) << "step " << i + 1;
                }
                Driver::click(dialog, c.ok ? IDOK : IDCANCEL);
            });
            inEditor.openOptions(driver);
            // The next opening shows what OK stored, or the entries as they were.
            const std::vector<std::wstring> expected = words(c.ok ? c.steps.back().rows : c.entries);
            EXPECT_EQ(inEditor.rowsNow(), expected);
            inEditor.editor.unloadPlugins();
            EXPECT_EQ(savedNames(plugin), expected);
        }
    }
}

TEST(EntryListDialog, TheEntryEditorRefusesNamesThatWouldLoseTheEntry)
{
    const std::wstring refused[]
        = {L"", L"   ", L"Options", L"OPTIONS", L" options ", L"a", L"B ", L"a]b", L"two\r\nlines", L"line\nfeed"};
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        writeEntries(plugin, {L"A", L"B"});
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        Driver driver;
        HWND editorWindow = nullptr;
        driver.then([&](HWND dialog) {
            Driver::click(dialog, IDC_ADD);
            // Renaming an entry to its own name in other letters is no clash.
            driver.then([](HWND editor) { typeEntry(editor, L"b"); });
            Driver::selectRow(dialog, IDC_ENTRY_LIST, 1);
            Driver::click(dialog, IDC_EDIT);
            Driver::click(dialog, IDOK);
        });
        driver.then([&](HWND editor) {
            editorWindow = editor;
            for (const std::wstring& name : refused) {
                SetWindowTextW(editField(editor, 0), name.c_str());
                Driver::click(editor, IDOK);
                EXPECT_TRUE(IsWindow(editor)) << "the editor stays open for " << narrow(name);
            }
            typeEntry(editor, L"Fixed");
        });
        inEditor.openOptions(driver);
        ASSERT_EQ(driver.messageBoxes.size(), _countof(refused));
        for (const MessageBoxRecord& box : driver.messageBoxes) {
            EXPECT_EQ(box.caption, plugin.name);
            EXPECT_EQ(box.icon, IconKind::information);
            EXPECT_EQ(box.owner, editorWindow);
            EXPECT_FALSE(box.text.empty());
        }
        EXPECT_EQ(inEditor.rowsNow(), (std::vector<std::wstring>{L"A", L"b", L"Fixed"}));
    }
}

TEST(EntryListDialog, AddStopsAtFiftyEntries)
{
    std::vector<std::wstring> fifty;
    for (int i = 0; i < 50; ++i)
        fifty.push_back(L"E" + std::to_wstring(i));
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        writeEntries(plugin, fifty);
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        Driver driver;
        driver.then([&](HWND dialog) {
            EXPECT_EQ(buttons(dialog), "00000");
            // A message as if the greyed button could be pressed still adds nothing.
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ADD, BN_CLICKED), 0);
            EXPECT_EQ(rowNames(dialog).size(), 50u);
            Driver::selectRow(dialog, IDC_ENTRY_LIST, 0);
            Driver::click(dialog, IDC_REMOVE);
            EXPECT_EQ(buttons(dialog), "10000");
            driver.then([](HWND editor) { typeEntry(editor, L"Last"); });
            Driver::click(dialog, IDC_ADD);
            // Full again, with the new last entry selected.
            EXPECT_EQ(buttons(dialog), "01110");
            Driver::click(dialog, IDOK);
        });
        inEditor.openOptions(driver);
        std::vector<std::wstring> expected(fifty.begin() + 1, fifty.end());
        expected.push_back(L"Last");
        EXPECT_EQ(inEditor.rowsNow(), expected);
    }
}

TEST(EntryListDialog, TheEntryEditorsHelpNamesOnlyWhatItHas)
{
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        writeEntries(plugin, {});
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        inEditor.editor.document.open(L"C:\\work\\main.c");
        inEditor.editor.document.currentWord = L"printf";
        Driver driver;
        std::wstring help;
        std::vector<std::wstring> tokens;
        std::vector<std::wstring> expanded;
        bool hasTestButton = false;
        driver.then([&](HWND dialog) {
            Driver::click(dialog, IDC_ADD);
            Driver::click(dialog, IDCANCEL);
        });
        driver.then([&](HWND editor) {
            hasTestButton = buttonCaptioned(editor, L"Test") != nullptr;
            driver.then([&](HWND box) {
                help = Driver::readMessageBox(box).text;
                for (size_t start = help.find(L'$'); start != std::wstring::npos;) {
                    size_t end = help.find(L'$', start + 1);
                    if (end == std::wstring::npos)
                        break;
                    tokens.push_back(help.substr(start, end - start + 1));
                    start = help.find(L'$', end + 1);
                }
                Driver::click(box, IDOK);
            });
            SendMessageW(editor, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(buttonCaptioned(editor, L"Help")), BN_CLICKED), 0);
            // Each token the help names is one the expansion replaces.
            for (const std::wstring& token : tokens) {
                driver.then([&](HWND box) {
                    expanded.push_back(Driver::readMessageBox(box).text);
                    Driver::click(box, IDOK);
                });
                SetWindowTextW(editField(editor, 2), token.c_str());
                SendMessageW(
                    editor, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(buttonCaptioned(editor, L"Expand")), BN_CLICKED), 0);
            }
            Driver::click(editor, IDCANCEL);
        });
        inEditor.openOptions(driver);
        EXPECT_GE(tokens.size(), 11u) << narrow(help);
        ASSERT_EQ(expanded.size(), tokens.size());
        for (size_t i = 0; i < tokens.size(); ++i)
            EXPECT_EQ(expanded[i].find(tokens[i]), std::wstring::npos) << narrow(tokens[i]) << " stays as it is";
        std::wstring lowerHelp = help;
        for (wchar_t& c : lowerHelp)
            c = static_cast<wchar_t>(std::towlower(c));
        EXPECT_EQ(lowerHelp.find(L"test button") != std::wstring::npos, hasTestButton);
        EXPECT_EQ(help.back(), L'\n');
    }
}

// Keys the plug-in doesn't know stay with their entry in the file through a rename and a move; a
// removed entry takes its own with it, a new one has none.
TEST(EntryListDialog, UnknownKeysFollowTheirEntryThroughRenamesAndMoves)
{
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        makeFolders(programFolder() + L"\\Plugins\\Config");
        writeTextFile(plugin.settingsFile(),
            L"[Options]\nColour=options\n[A]\nMask=*.A\nColour=a\n[B]\nMask=*.B\n"
            L"Colour=b\nShade=dark\n[C]\nMask=*.C\nColour=c\n");
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        Driver driver;
        driver.then([&](HWND dialog) {
            const Step steps[]
                = {{selectRow, 1, L"", L"", 0, ""}, {edit, 0, L"Renamed", L"", 0, ""}, {moveUp, 0, L"", L"", 0, ""},
                    {selectRow, 2, L"", L"", 0, ""}, {removeRow, 0, L"", L"", 0, ""}, {add, 0, L"New", L"", 0, ""}};
            for (const Step& step : steps)
                perform(dialog, driver, step);
            EXPECT_EQ(rowNames(dialog), words(L"Renamed A New"));
            Driver::click(dialog, IDOK);
        });
        inEditor.openOptions(driver);
        inEditor.editor.unloadPlugins();
        // Each section's lines the plug-in doesn't write itself.
        std::vector<std::wstring> unknown;
        for (const std::wstring& line : splitLines(readTextFile(plugin.settingsFile())))
            if (line.front() == L'[' || line.rfind(L"Colour=", 0) == 0 || line.rfind(L"Shade=", 0) == 0)
                unknown.push_back(line);
        EXPECT_EQ(unknown,
            (std::vector<std::wstring>{L"[Options]", L"Colour=options", L"[Renamed]", L"Colour=b", L"Shade=dark",
                L"[A]", L"Colour=a", L"[New]"}));
    }
}
