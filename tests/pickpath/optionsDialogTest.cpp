// Pickpath's Options dialog and entry editor: their templates, and the dialogs driven by control id
// inside the real library (rows, button states, every action, OK and Cancel, refused names, the
// entry limit, "Help" and "Expand").
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using Driver = DialogDriver;

// One control of a dialog template, with its kind told from its class and style.
struct TemplateItem {
    int id;
    std::wstring kind;
    std::wstring text;
    short x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<TemplateItem> items;
};

// Reads a name or an ordinal of a template: an ordinal comes back as "#number".
std::wstring readNameOrOrdinal(const WORD*& at)
{
    if (*at == 0xFFFF) {
        std::wstring ordinal = L"#" + std::to_wstring(at[1]);
        at += 2;
        return ordinal;
    }
    std::wstring name(reinterpret_cast<const wchar_t*>(at));
    at += name.size() + 1;
    return name;
}

std::wstring kindOf(const std::wstring& className, DWORD style)
{
    std::wstring name = lower(className);
    if (name == L"#128" || name == L"button") {
        switch (style & BS_TYPEMASK) {
        case BS_AUTOCHECKBOX:
            return L"check";
        case BS_DEFPUSHBUTTON:
            return L"default";
        case BS_PUSHBUTTON:
            return L"push";
        }
        return L"button?";
    }
    if (name == L"#129" || name == L"edit")
        return L"edit";
    if (name == L"#130" || name == L"static")
        return L"static";
    if (name == L"#131" || name == L"listbox")
        return L"list";
    return name;
}

DialogTemplate readDialogTemplate(int id)
{
    DialogTemplate result;
    HMODULE library = LoadLibraryExW(pluginPath(L"Pickpath.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = FindResourceW(library, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (resource == nullptr) {
        FreeLibrary(library);
        return result;
    }
    auto* at = static_cast<const WORD*>(LockResource(LoadResource(library, resource)));
    EXPECT_EQ(at[0], 1) << "an extended template";
    EXPECT_EQ(at[1], 0xFFFF);
    const DWORD* header = reinterpret_cast<const DWORD*>(at + 2);
    result.exStyle = header[1];
    result.style = header[2];
    at += 8;
    WORD count = *at++;
    at += 2; // x, y
    result.cx = static_cast<short>(*at++);
    result.cy = static_cast<short>(*at++);
    readNameOrOrdinal(at); // menu
    readNameOrOrdinal(at); // class
    result.caption = readNameOrOrdinal(at);
    result.pointSize = *at;
    at += 3; // size, weight, italic and character set
    result.font = readNameOrOrdinal(at);
    for (WORD i = 0; i < count; ++i) {
        at = reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(at) + 3) & ~static_cast<ULONG_PTR>(3));
        const DWORD* item = reinterpret_cast<const DWORD*>(at);
        DWORD style = item[2];
        auto* position = reinterpret_cast<const short*>(item + 3);
        int itemId = static_cast<int>(item[5]);
        at = reinterpret_cast<const WORD*>(item + 6);
        std::wstring className = readNameOrOrdinal(at);
        std::wstring text = readNameOrOrdinal(at);
        WORD extra = *at++;
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at) + extra);
        result.items.push_back(TemplateItem{itemId == 0xFFFF ? -1 : itemId, kindOf(className, style), text, position[0],
            position[1], position[2], position[3], style});
    }
    FreeLibrary(library);
    return result;
}

const wchar_t pathsLabel[] = L"Search path(s) for the selected text separated by \";\" (e.g.: c:\\a;c:\\b):\n\n\n"
                             L"Note 1: search also file folder, working folder, and system path\n"
                             L"Note 2: !c:\\a;c:\\b with search c:\\a sub-folders";
const wchar_t extensionsLabel[] = L"Extensions to add to the selection separated by \";\" (e.g.: .c;.h):\n\n\n"
                                  L"Note 3: no need to include the current file extension\n"
                                  L"Note 4: used only if the selection does not have an extension\n"
                                  L"Note 5: selection with no extension will also be searched";

std::wstring rowOf(const EntryText& entry)
{
    return entry.name + L" (" + entry.mask + L") => " + entry.path + L" (" + entry.ext + L")";
}

std::vector<std::wstring> rowsOf(const std::vector<EntryText>& entries)
{
    std::vector<std::wstring> rows;
    for (const EntryText& entry : entries)
        rows.push_back(rowOf(entry));
    return rows;
}

std::vector<std::wstring> rows(HWND dialog)
{
    return Driver::listRows(dialog, IDC_ENTRY_LIST);
}

int selection(HWND dialog)
{
    return Driver::listSelection(dialog, IDC_ENTRY_LIST);
}

// "Add...", "Remove", "Edit...", "Move up", "Move down" as "1" or "0" each.
std::string buttons(HWND dialog)
{
    std::string states;
    for (int id : {IDC_ADD, IDC_REMOVE, IDC_EDIT, IDC_MOVE_UP, IDC_MOVE_DOWN})
        states += Driver::isEnabled(dialog, id) ? '1' : '0';
    return states;
}

std::wstring editorFields(HWND editor)
{
    return Driver::text(editor, IDC_ENTRY_NAME) + L"|" + Driver::text(editor, IDC_ENTRY_MASK) + L"|"
        + Driver::text(editor, IDC_ENTRY_PATH) + L"|" + Driver::text(editor, IDC_ENTRY_EXT);
}

Driver::Action typeEntry(const EntryText& entry)
{
    return [entry](HWND editor) {
        Driver::setText(editor, IDC_ENTRY_NAME, entry.name);
        Driver::setText(editor, IDC_ENTRY_MASK, entry.mask);
        Driver::setText(editor, IDC_ENTRY_PATH, entry.path);
        Driver::setText(editor, IDC_ENTRY_EXT, entry.ext);
        Driver::click(editor, IDOK);
    };
}

std::vector<EntryText> threeEntries()
{
    return {
        {L"Sources", L"*.c;*.h", L"c:\\inc;!c:\\src", L".h"},
        {L"Scripts", L"*.py", L"!$dir$", L".py"},
        {L"Empty", L"", L"", L""},
    };
}

SettingsText withEntries(std::vector<EntryText> entries)
{
    SettingsText settings;
    settings.entries = std::move(entries);
    return settings;
}

// Opens the Options dialog with the actions queued and checks that all of them ran.
void runOptions(PickpathInEditor& pickpath, Driver& driver)
{
    pickpath.openOptions();
    EXPECT_EQ(driver.pending(), 0u);
    EXPECT_EQ(driver.unexpectedDialogs, std::vector<std::wstring>{});
}
} // namespace

TEST(OptionsDialog, TemplatesHoldEveryControlInPlace)
{
    struct Expected {
        int id;
        const wchar_t* kind;
        const wchar_t* text;
        short x, y, cx, cy;
        bool disabled;
    };
    const Expected options[] = {
        {IDC_ENTRY_LIST, L"list", L"", 5, 5, 270, 95, false},
        {IDC_TOOLBAR_BUTTON, L"check", L"Show icon on toolbar (requires restart)", 5, 101, 200, 14, false},
        {IDC_CONTEXT_ENTRY, L"check", L"Show entry in context menu", 5, 117, 120, 14, false},
        {IDC_CONTEXT_ON_TOP, L"check", L"At the top of the menu (default: bottom)", 130, 117, 150, 14, false},
        {IDC_ADD, L"push", L"Add...", 280, 5, 50, 14, false},
        {IDC_REMOVE, L"push", L"Remove", 280, 25, 50, 14, true},
        {IDC_EDIT, L"push", L"Edit...", 280, 45, 50, 14, true},
        {IDC_MOVE_UP, L"push", L"Move up", 280, 65, 50, 14, true},
        {IDC_MOVE_DOWN, L"push", L"Move down", 280, 85, 50, 14, true},
        {IDOK, L"default", L"OK", 280, 110, 50, 14, false},
        {IDCANCEL, L"push", L"Cancel", 280, 130, 50, 14, false},
        {IDC_ENTRIES_NOT_SHOWN, L"static", L"", 5, 148, 325, 10, false},
    };
    // The long labels follow their fields in the template, which puts them behind the fields.
    const Expected editor[] = {
        {-1, L"static", L"Name:", 5, 5, 100, 14, false},
        {IDC_ENTRY_NAME, L"edit", L"", 5, 15, 235, 14, false},
        {-1, L"static", L"File selection mask (e.g.: *.c;*.h):", 5, 35, 235, 14, false},
        {IDC_ENTRY_MASK, L"edit", L"", 5, 45, 235, 14, false},
        {IDC_ENTRY_PATH, L"edit", L"", 5, 75, 235, 14, false},
        {-1, L"static", pathsLabel, 5, 65, 235, 40, false},
        {IDC_ENTRY_EXPAND, L"push", L"Expand", 245, 75, 50, 14, false},
        {IDC_ENTRY_HELP, L"push", L"Help", 245, 45, 50, 14, false},
        {IDC_ENTRY_EXT, L"edit", L"", 5, 125, 235, 14, false},
        {-1, L"static", extensionsLabel, 5, 115, 235, 50, false},
        {IDOK, L"default", L"OK", 245, 5, 50, 14, false},
        {IDCANCEL, L"push", L"Cancel", 245, 25, 50, 14, false},
    };
    struct Dialog {
        int id;
        short cx, cy;
        const Expected* items;
        size_t count;
    };
    const Dialog dialogs[] = {
        {IDD_OPTIONS, 335, 162, options, _countof(options)},
        {IDD_ENTRY_EDITOR, 300, 170, editor, _countof(editor)},
    };
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.id);
        DialogTemplate dialog = readDialogTemplate(d.id);
        EXPECT_EQ(dialog.caption, L"Pickpath Options");
        EXPECT_EQ(dialog.cx, d.cx);
        EXPECT_EQ(dialog.cy, d.cy);
        DWORD style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        EXPECT_EQ(dialog.style & style, style);
        EXPECT_EQ(dialog.exStyle & WS_EX_TOOLWINDOW, static_cast<DWORD>(WS_EX_TOOLWINDOW));
        EXPECT_EQ(dialog.pointSize, 8);
        EXPECT_EQ(dialog.font, L"MS Sans Serif");
        ASSERT_EQ(dialog.items.size(), d.count);
        for (size_t i = 0; i < d.count; ++i) {
            const TemplateItem& item = dialog.items[i];
            const Expected& expected = d.items[i];
            SCOPED_TRACE(narrow(expected.text));
            EXPECT_EQ(item.id, expected.id);
            EXPECT_EQ(item.kind, expected.kind);
            EXPECT_EQ(item.text, expected.text);
            EXPECT_EQ(item.x, expected.x);
            EXPECT_EQ(item.y, expected.y);
            EXPECT_EQ(item.cx, expected.cx);
            EXPECT_EQ(item.cy, expected.cy);
            EXPECT_EQ((item.style & WS_DISABLED) != 0, expected.disabled);
            if (item.kind == L"edit") {
                EXPECT_EQ(item.style & (WS_BORDER | ES_AUTOHSCROLL), static_cast<DWORD>(WS_BORDER | ES_AUTOHSCROLL));
            }
            if (item.kind == L"list") {
                EXPECT_EQ(item.style & (WS_BORDER | LBS_NOTIFY), static_cast<DWORD>(WS_BORDER | LBS_NOTIFY));
                EXPECT_EQ(item.style & LBS_SORT & ~LBS_NOTIFY, 0u) << "unsorted";
            }
        }
    }
}

TEST(OptionsDialog, OpensWithTheEntriesAndTheOptions)
{
    struct Case {
        SettingsText settings;
        std::vector<int> checked;
    };
    SettingsText allSet = withEntries(threeEntries());
    allSet.showToolBarButton = allSet.showContextMenuEntry = allSet.showContextMenuEntryOnTop = 1;
    SettingsText onTopOnly;
    onTopOnly.showContextMenuEntryOnTop = 1;
    const Case cases[] = {
        {allSet, {IDC_TOOLBAR_BUTTON, IDC_CONTEXT_ENTRY, IDC_CONTEXT_ON_TOP}},
        {onTopOnly, {IDC_CONTEXT_ON_TOP}},
        {SettingsText(), {}},
    };
    for (const Case& c : cases) {
        PickpathInEditor pickpath(c.settings);
        Driver driver;
        driver.then([&](HWND dialog) {
            EXPECT_EQ(Driver::caption(dialog), L"Pickpath Options");
            EXPECT_EQ(rows(dialog), rowsOf(c.settings.entries));
            EXPECT_EQ(selection(dialog), -1);
            EXPECT_EQ(buttons(dialog), "10000");
            for (int id : {IDC_TOOLBAR_BUTTON, IDC_CONTEXT_ENTRY, IDC_CONTEXT_ON_TOP}) {
                bool expected = std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
                EXPECT_EQ(Driver::isChecked(dialog, id), expected) << id;
            }
            Driver::click(dialog, IDCANCEL);
        });
        runOptions(pickpath, driver);
    }
}

TEST(OptionsDialog, EnablesTheEntryButtonsByTheSelection)
{
    struct Case {
        size_t entries;
        int selected;
        const char* buttons;
    };
    const Case cases[] = {
        {3, 0, "11101"},
        {3, 1, "11111"},
        {3, 2, "11110"},
        {1, 0, "11100"},
        {3, -1, "10000"},
    };
    for (const Case& c : cases) {
        std::vector<EntryText> entries = threeEntries();
        entries.resize(c.entries);
        PickpathInEditor pickpath(withEntries(entries));
        Driver driver;
        driver.then([&](HWND dialog) {
            Driver::selectRow(dialog, IDC_ENTRY_LIST, 0);
            Driver::selectRow(dialog, IDC_ENTRY_LIST, c.selected);
            EXPECT_EQ(buttons(dialog), c.buttons) << c.entries << " rows, row " << c.selected;
            Driver::click(dialog, IDCANCEL);
        });
        runOptions(pickpath, driver);
    }
}

TEST(OptionsDialog, MovesRemovesEditsAndAddsEntriesAndKeepsThemOnOk)
{
    std::vector<EntryText> entries = threeEntries();
    PickpathInEditor pickpath(withEntries(entries));
    EntryText edited = {L"Headers", L"*.h", L"c:\\inc;;!$nppdir$", L".hpp"};
    EntryText added = {L"Added", L"*.txt", L"", L".txt"};
    Driver driver;
    driver.then([&](HWND dialog) {
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 1);
        Driver::click(dialog, IDC_MOVE_UP);
        EXPECT_EQ(rows(dialog), rowsOf({entries[1], entries[0], entries[2]}));
        EXPECT_EQ(selection(dialog), 0);
        EXPECT_EQ(buttons(dialog), "11101");
        Driver::click(dialog, IDC_MOVE_DOWN);
        EXPECT_EQ(rows(dialog), rowsOf(entries));
        EXPECT_EQ(selection(dialog), 1);
        EXPECT_EQ(buttons(dialog), "11111");
        Driver::click(dialog, IDC_REMOVE);
        EXPECT_EQ(rows(dialog), rowsOf({entries[0], entries[2]}));
        EXPECT_EQ(selection(dialog), -1);
        EXPECT_EQ(buttons(dialog), "10000");
        // A double click edits the row.
        Driver::doubleClickRow(dialog, IDC_ENTRY_LIST, 0);
        EXPECT_EQ(rows(dialog), rowsOf({edited, entries[2]}));
        EXPECT_EQ(selection(dialog), 0);
        Driver::click(dialog, IDC_ADD);
        EXPECT_EQ(rows(dialog), rowsOf({edited, entries[2], added}));
        EXPECT_EQ(selection(dialog), 0) << "adding keeps the selection";
        Driver::setChecked(dialog, IDC_CONTEXT_ENTRY, true);
        Driver::click(dialog, IDOK);
    });
    driver.then([&](HWND editor) {
        EXPECT_EQ(editorFields(editor), L"Sources|*.c;*.h|c:\\inc;!c:\\src|.h");
        typeEntry(edited)(editor);
    });
    driver.then([&](HWND editor) {
        EXPECT_EQ(editorFields(editor), L"|||") << "a new entry starts empty";
        typeEntry(added)(editor);
    });
    runOptions(pickpath, driver);

    pickpath.unload();
    SettingsText expected = withEntries({edited, entries[2], added});
    expected.showContextMenuEntry = 1;
    EXPECT_EQ(savedSettings(), expected.text());
}

TEST(OptionsDialog, CancelLeavesTheEntriesAndOptionsAsTheyWere)
{
    SettingsText settings = withEntries(threeEntries());
    settings.showToolBarButton = 1;
    PickpathInEditor pickpath(settings);
    Driver driver;
    driver.then([&](HWND dialog) {
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 0);
        Driver::click(dialog, IDC_EDIT);
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 2);
        Driver::click(dialog, IDC_REMOVE);
        Driver::click(dialog, IDC_ADD);
        Driver::click(dialog, IDC_ADD);
        Driver::setChecked(dialog, IDC_TOOLBAR_BUTTON, false);
        Driver::setChecked(dialog, IDC_CONTEXT_ON_TOP, true);
        EXPECT_EQ(rows(dialog).size(), 3u);
        Driver::click(dialog, IDCANCEL);
    });
    driver.then(typeEntry({L"Changed", L"*.x", L"c:\\x", L".x"}));
    driver.then(typeEntry({L"Added", L"*.y", L"", L""}));
    // Cancel in the entry editor leaves the list as it was.
    driver.then([](HWND editor) {
        Driver::setText(editor, IDC_ENTRY_NAME, L"Dropped");
        Driver::click(editor, IDCANCEL);
    });
    runOptions(pickpath, driver);

    // The next opening starts from the table again.
    Driver again;
    again.then([&](HWND dialog) {
        EXPECT_EQ(rows(dialog), rowsOf(settings.entries));
        EXPECT_TRUE(Driver::isChecked(dialog, IDC_TOOLBAR_BUTTON));
        EXPECT_FALSE(Driver::isChecked(dialog, IDC_CONTEXT_ON_TOP));
        Driver::click(dialog, IDCANCEL);
    });
    runOptions(pickpath, again);
    pickpath.unload();
    EXPECT_EQ(savedSettings(), settings.text());
}

TEST(OptionsDialog, OptionsTakeEffectAtTheNextContextMenu)
{
    SettingsText settings;
    settings.showContextMenuEntry = 1;
    PickpathInEditor pickpath(settings);
    int before = GetMenuItemCount(pickpath.editor.openContextMenu());
    Driver driver;
    driver.then([](HWND dialog) {
        Driver::setChecked(dialog, IDC_CONTEXT_ENTRY, false);
        Driver::setChecked(dialog, IDC_TOOLBAR_BUTTON, true);
        Driver::click(dialog, IDOK);
    });
    runOptions(pickpath, driver);
    EXPECT_EQ(GetMenuItemCount(pickpath.editor.openContextMenu()), before - 2);
    EXPECT_EQ(pickpath.editor.toolbarButtons.size(), 0u) << "the toolbar changes at the next start";
}

TEST(EntryEditor, ShowsTheEntryWithItsLimitsAndLabels)
{
    PickpathInEditor pickpath(withEntries(threeEntries()));
    Driver driver;
    driver.then([](HWND dialog) {
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 1);
        Driver::click(dialog, IDC_EDIT);
        Driver::click(dialog, IDCANCEL);
    });
    driver.then([](HWND editor) {
        EXPECT_EQ(Driver::caption(editor), L"Pickpath Options");
        EXPECT_EQ(editorFields(editor), L"Scripts|*.py|!$dir$|.py");
        const std::pair<int, LRESULT> limits[]
            = {{IDC_ENTRY_NAME, 260}, {IDC_ENTRY_MASK, 260}, {IDC_ENTRY_PATH, 2600}, {IDC_ENTRY_EXT, 260}};
        for (const auto& limit : limits)
            EXPECT_EQ(SendDlgItemMessageW(editor, limit.first, EM_GETLIMITTEXT, 0, 0), limit.second) << limit.first;
        // Each long label lies behind its field: the field covers the label's empty lines.
        for (int field : {IDC_ENTRY_PATH, IDC_ENTRY_EXT}) {
            HWND label = GetWindow(GetDlgItem(editor, field), GW_HWNDNEXT);
            wchar_t text[512] = L"";
            GetWindowTextW(label, text, _countof(text));
            EXPECT_EQ(std::wstring(text), field == IDC_ENTRY_PATH ? pathsLabel : extensionsLabel);
            RECT labelRect;
            RECT fieldRect;
            GetWindowRect(label, &labelRect);
            GetWindowRect(GetDlgItem(editor, field), &fieldRect);
            EXPECT_LT(labelRect.top, fieldRect.top);
            EXPECT_GT(labelRect.bottom, fieldRect.bottom);
        }
        Driver::click(editor, IDCANCEL);
    });
    runOptions(pickpath, driver);
}

TEST(EntryEditor, HelpShowsTheTemplateTextAndExpandTheExpandedFolders)
{
    PickpathInEditor pickpath(SettingsText{});
    pickpath.editor.document.open(L"C:\\proj\\main.c");
    std::wstring longPaths;
    std::wstring longExpanded;
    for (int i = 0; i < 30; ++i) {
        longPaths += (i > 0 ? L";" : L"") + std::wstring(L"!c:\\folder") + std::to_wstring(i) + L"\\$dir$";
        longExpanded += (i > 0 ? L";" : L"") + std::wstring(L"!c:\\folder") + std::to_wstring(i) + L"\\C:\\proj";
    }
    Driver driver;
    driver.then([](HWND dialog) {
        Driver::click(dialog, IDC_ADD);
        Driver::click(dialog, IDCANCEL);
    });
    driver.then([&](HWND editor) {
        Driver::click(editor, IDC_ENTRY_HELP);
        Driver::setText(editor, IDC_ENTRY_PATH, L"c:\\a;!$dir$\\inc");
        Driver::click(editor, IDC_ENTRY_EXPAND);
        // Longer than one expansion holds: every folder is still shown.
        Driver::setText(editor, IDC_ENTRY_PATH, longPaths);
        Driver::click(editor, IDC_ENTRY_EXPAND);
        EXPECT_TRUE(IsWindow(editor)) << "the editor stays open";
        Driver::click(editor, IDCANCEL);
    });
    runOptions(pickpath, driver);

    ASSERT_EQ(driver.messageBoxes.size(), 3u);
    for (const MessageBoxRecord& box : driver.messageBoxes) {
        EXPECT_EQ(box.caption, L"Pickpath");
        EXPECT_EQ(box.icon, IconKind::information);
        EXPECT_EQ(box.owner, pickpath.editor.mainWindow());
    }
    const std::vector<std::wstring> help = {
        L"The help file path may point to a local CHM, HLP, or PDF files for keword search.",
        L"Alternatively, the field may point to a command/file that will be shell executed.",
        L"This include HTML file both on the local machine and on the internet.",
        L"",
        L"The help file path edit box may contain special substitution strings:",
        L"",
        L"$fullpath$ = full path of the currectly active file",
        L"$dir$ = directory of the currectly active file",
        L"$name$ = file name without extension of the currectly active file",
        L"$ext$ = extension of the currectly active file",
        L"$word$ = currently selected word",
        L"$nppdir$ = directory of notepad.exe",
        L"$pdir$ = plugin directory",
        L"$cdir$ = config directory",
        L"$wdir$ = current working directory for the process",
        L"$date$ = current date YYYYMMDD",
        L"$time$ = current time HHMMSS",
        L"",
        L"Additionally enviroment variables are accepted in the form %envvar%.",
        L"For example: %programfiles% will be replaced by \"c:\\program files\"",
        L"For example: https://duckduckgo.com/?q=$word$ will search for the current word on DuckDuckGo.",
        L"",
        L"Use the test button to see the expanded path based on current settings.",
    };
    EXPECT_EQ(splitLines(driver.messageBoxes[0].text), help);
    EXPECT_EQ(driver.messageBoxes[0].text.back(), L'\n');
    EXPECT_EQ(driver.messageBoxes[1].text, L"c:\\a;!C:\\proj\\inc");
    EXPECT_EQ(driver.messageBoxes[2].text, longExpanded);
}

TEST(EntryEditor, RefusesNamesThatWouldLoseAnEntry)
{
    PickpathInEditor pickpath(withEntries(threeEntries()));
    const std::wstring refused[]
        = {L"", L"   ", L"Options", L"oPTIONS", L" options ", L"SOURCES", L"Scripts", L"a]b", L"two\r\nlines"};
    Driver driver;
    HWND editorWindow = nullptr;
    driver.then([&](HWND dialog) {
        Driver::click(dialog, IDC_ADD);
        EXPECT_EQ(rows(dialog).size(), 4u);
        // Renaming an entry to its own name in other letters is no clash.
        driver.then([](HWND editor) {
            Driver::setText(editor, IDC_ENTRY_NAME, L"sources");
            Driver::click(editor, IDOK);
        });
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 0);
        Driver::click(dialog, IDC_EDIT);
        EXPECT_EQ(rows(dialog)[0], rowOf({L"sources", L"*.c;*.h", L"c:\\inc;!c:\\src", L".h"}));
        Driver::click(dialog, IDCANCEL);
    });
    driver.then([&](HWND editor) {
        editorWindow = editor;
        for (const std::wstring& name : refused) {
            Driver::setText(editor, IDC_ENTRY_NAME, name);
            Driver::click(editor, IDOK);
            EXPECT_TRUE(IsWindow(editor)) << narrow(name);
        }
        typeEntry({L"Fourth", L"*.4", L"", L""})(editor);
    });
    runOptions(pickpath, driver);

    ASSERT_EQ(driver.messageBoxes.size(), _countof(refused));
    for (const MessageBoxRecord& box : driver.messageBoxes) {
        EXPECT_EQ(box.caption, L"Pickpath");
        EXPECT_EQ(box.icon, IconKind::information);
        EXPECT_EQ(box.owner, editorWindow);
        EXPECT_FALSE(box.text.empty());
    }
}

TEST(EntryEditor, AddCannotMakeAFiftyFirstEntry)
{
    std::vector<EntryText> entries;
    for (int i = 0; i < 50; ++i)
        entries.push_back({L"E" + std::to_wstring(i), L"*.e", L"", L""});
    PickpathInEditor pickpath(withEntries(entries));
    Driver driver;
    driver.then([](HWND dialog) {
        EXPECT_EQ(rows(dialog).size(), 50u);
        EXPECT_FALSE(Driver::isEnabled(dialog, IDC_ADD));
        Driver::click(dialog, IDC_ADD);
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 49);
        Driver::click(dialog, IDC_REMOVE);
        EXPECT_TRUE(Driver::isEnabled(dialog, IDC_ADD));
        Driver::click(dialog, IDC_ADD);
        EXPECT_EQ(rows(dialog).size(), 50u);
        EXPECT_FALSE(Driver::isEnabled(dialog, IDC_ADD));
        Driver::click(dialog, IDOK);
    });
    driver.then(typeEntry({L"Last", L"*.l", L"", L""}));
    runOptions(pickpath, driver);
    pickpath.unload();
    entries.back() = {L"Last", L"*.l", L"", L""};
    EXPECT_EQ(savedSettings(), withEntries(entries).text());
}
