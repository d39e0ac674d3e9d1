// Wordlamp's Options dialog and entry editor, driven by control id inside the real library: rows,
// button states, every action, OK and Cancel, the refused names, the entry limit, and the editor's
// "...", "Expand", "Test" and "Help".
#include "dialogDriver.h"
#include "dialogTemplate.h"
#include "resource.h"
#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using Driver = DialogDriver;

std::wstring rowOf(const EntryText& entry)
{
    return entry.name + L" (" + entry.mask + L") => " + entry.file;
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

// "Remove", "Edit...", "Move up", "Move down" as "1" or "0" each, for short comparisons.
std::string entryButtons(HWND dialog)
{
    std::string states;
    for (int id : {IDC_REMOVE, IDC_EDIT, IDC_MOVE_UP, IDC_MOVE_DOWN})
        states += Driver::isEnabled(dialog, id) ? '1' : '0';
    return states;
}

// The entry editor's fields as one text, for short comparisons.
std::wstring editorFields(HWND editor)
{
    return Driver::text(editor, IDC_ENTRY_NAME) + L"|" + Driver::text(editor, IDC_ENTRY_MASK) + L"|"
        + Driver::text(editor, IDC_ENTRY_FILE) + L"|" + (Driver::isChecked(editor, IDC_ENTRY_SHOW) ? L"1" : L"0");
}

// An entry-editor action that types an entry and presses OK.
Driver::Action typeEntry(const EntryText& entry)
{
    return [entry](HWND editor) {
        Driver::setText(editor, IDC_ENTRY_NAME, entry.name);
        Driver::setText(editor, IDC_ENTRY_MASK, entry.mask);
        Driver::setText(editor, IDC_ENTRY_FILE, entry.file);
        Driver::setChecked(editor, IDC_ENTRY_SHOW, entry.show != 0);
        Driver::click(editor, IDOK);
    };
}

SettingsText withEntries(std::vector<EntryText> entries)
{
    SettingsText settings;
    settings.entries = std::move(entries);
    return settings;
}

// Opens the Options dialog with the actions queued and checks that all of them ran.
void runOptions(WordlampInEditor& wordlamp, Driver& driver)
{
    wordlamp.openOptions();
    EXPECT_EQ(driver.pending(), 0u);
    EXPECT_EQ(driver.unexpectedDialogs, std::vector<std::wstring>{});
}

// The rows of a fresh opening of the Options dialog.
std::vector<std::wstring> rowsNow(WordlampInEditor& wordlamp)
{
    Driver driver;
    std::vector<std::wstring> seen;
    driver.then([&](HWND dialog) {
        seen = rows(dialog);
        Driver::click(dialog, IDCANCEL);
    });
    runOptions(wordlamp, driver);
    return seen;
}
} // namespace

TEST(OptionsDialog, OpensWithTheEntriesAndTheOptions)
{
    struct Case {
        SettingsText settings;
        std::vector<int> checked;
        bool searchEnabled;
    };
    SettingsText allSet = withEntries(threeEntries());
    allSet.stayOnTop = allSet.helpMenuSearchWord = allSet.showToolBarButton = 1;
    allSet.showContextMenuEntry = allSet.showContextMenuEntryOnTop = allSet.showMenuIcons = 1;
    allSet.helpMenuMode = 2;
    SettingsText allClear;
    allClear.showMenuIcons = 0;
    SettingsText unknownMode = withEntries(threeEntries());
    unknownMode.helpMenuMode = 7;
    unknownMode.showContextMenuEntryOnTop = 1;
    const Case cases[] = {
        {allSet,
            {IDC_STAY_ON_TOP, IDC_MENU_SEARCH_WORD, IDC_TOOLBAR_BUTTON, IDC_CONTEXT_ENTRY, IDC_CONTEXT_ON_TOP,
                IDC_MENU_ICONS, IDC_MENU_HELP},
            true},
        {allClear, {IDC_MENU_DONT_SHOW}, false},
        // No radio button for a mode outside 0 to 3; "At the top" starts enabled whatever its partner shows.
        {unknownMode, {IDC_CONTEXT_ON_TOP, IDC_MENU_ICONS}, true},
    };
    const int boxes[] = {IDC_STAY_ON_TOP, IDC_MENU_SEARCH_WORD, IDC_TOOLBAR_BUTTON, IDC_CONTEXT_ENTRY,
        IDC_CONTEXT_ON_TOP, IDC_MENU_ICONS, IDC_MENU_DONT_SHOW, IDC_MENU_PLUGIN, IDC_MENU_HELP, IDC_MENU_CONTEXT};
    for (const Case& c : cases) {
        WordlampInEditor wordlamp(c.settings);
        ASSERT_TRUE(wordlamp.loaded);
        Driver driver;
        driver.then([&](HWND dialog) {
            EXPECT_EQ(Driver::caption(dialog), L"Wordlamp Options");
            EXPECT_EQ(rows(dialog), rowsOf(c.settings.entries));
            EXPECT_EQ(selection(dialog), -1);
            for (int id : boxes) {
                bool expected = std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
                EXPECT_EQ(Driver::isChecked(dialog, id), expected) << "control " << id;
            }
            EXPECT_EQ(Driver::isEnabled(dialog, IDC_MENU_SEARCH_WORD), c.searchEnabled);
            EXPECT_TRUE(Driver::isEnabled(dialog, IDC_CONTEXT_ON_TOP));
            EXPECT_TRUE(Driver::isEnabled(dialog, IDC_ADD));
            EXPECT_EQ(entryButtons(dialog), "0000");
            Driver::click(dialog, IDCANCEL);
        });
        runOptions(wordlamp, driver);
    }
}

TEST(OptionsDialog, RadioButtonsAndContextEntryEnableTheirPartners)
{
    WordlampInEditor wordlamp(SettingsText{});
    ASSERT_TRUE(wordlamp.loaded);
    Driver driver;
    driver.then([&](HWND dialog) {
        const std::pair<int, bool> clicks[]
            = {{IDC_MENU_PLUGIN, true}, {IDC_MENU_DONT_SHOW, false}, {IDC_MENU_HELP, true}, {IDC_MENU_CONTEXT, true}};
        for (const auto& click : clicks) {
            Driver::click(dialog, click.first);
            EXPECT_EQ(Driver::isEnabled(dialog, IDC_MENU_SEARCH_WORD), click.second) << click.first;
        }
        Driver::setChecked(dialog, IDC_CONTEXT_ENTRY, true);
        EXPECT_TRUE(Driver::isEnabled(dialog, IDC_CONTEXT_ON_TOP));
        Driver::setChecked(dialog, IDC_CONTEXT_ENTRY, false);
        EXPECT_FALSE(Driver::isEnabled(dialog, IDC_CONTEXT_ON_TOP));
        Driver::click(dialog, IDCANCEL);
    });
    runOptions(wordlamp, driver);
}

TEST(OptionsDialog, MovesExchangeNeighboursAndKeepTheMovedEntrySelected)
{
    SettingsText settings = withEntries(threeEntries());
    settings.helpMenuMode = 1;
    settings.entries[1].show = 1;
    WordlampInEditor wordlamp(settings);
    ASSERT_TRUE(wordlamp.loaded);
    const std::vector<std::wstring> r = rowsOf(settings.entries);
    Driver driver;
    driver.then([&](HWND dialog) {
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 1);
        Driver::click(dialog, IDC_MOVE_UP);
        EXPECT_EQ(rows(dialog), (std::vector<std::wstring>{r[1], r[0], r[2]}));
        EXPECT_EQ(selection(dialog), 0);
        EXPECT_EQ(entryButtons(dialog), "1101");
        Driver::click(dialog, IDC_MOVE_DOWN);
        EXPECT_EQ(rows(dialog), r);
        EXPECT_EQ(selection(dialog), 1);
        EXPECT_EQ(entryButtons(dialog), "1111");
        Driver::click(dialog, IDC_MOVE_DOWN);
        EXPECT_EQ(rows(dialog), (std::vector<std::wstring>{r[0], r[2], r[1]}));
        EXPECT_EQ(selection(dialog), 2);
        EXPECT_EQ(entryButtons(dialog), "1110");
        Driver::click(dialog, IDOK);
    });
    runOptions(wordlamp, driver);
    EXPECT_EQ(rowsNow(wordlamp), (std::vector<std::wstring>{r[0], r[2], r[1]}));
    // Identifiers follow the table's new order.
    EXPECT_EQ(menuTail(wordlamp.ownMenu(), ownMenuItems),
        (std::vector<std::wstring>{L"-", L"C#65000", L"CSS#65001", L"Text#65002"}));
}

TEST(OptionsDialog, RemoveAndEditChangeOneRow)
{
    SettingsText settings = withEntries(threeEntries());
    WordlampInEditor wordlamp(settings);
    ASSERT_TRUE(wordlamp.loaded);
    const std::vector<EntryText> e = settings.entries;
    const EntryText style = {L"Style", L"*.css;*.scss", L"c:\\help\\css.chm", 0};
    Driver driver;
    std::wstring editedFields;
    std::wstring cancelledFields;
    driver.then([&](HWND dialog) {
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 1);
        Driver::click(dialog, IDC_REMOVE);
        EXPECT_EQ(rows(dialog), rowsOf({e[0], e[2]}));
        EXPECT_EQ(selection(dialog), -1);
        EXPECT_EQ(entryButtons(dialog), "0000");
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 1);
        Driver::click(dialog, IDC_EDIT); // the next action runs the editor
        EXPECT_EQ(rows(dialog), rowsOf({e[0], style}));
        EXPECT_EQ(selection(dialog), 1);
        EXPECT_EQ(entryButtons(dialog), "1110");
        Driver::doubleClickRow(dialog, IDC_ENTRY_LIST, 0); // edits as well; cancelled
        EXPECT_EQ(rows(dialog), rowsOf({e[0], style}));
        Driver::click(dialog, IDOK);
    });
    driver.then([&](HWND editor) {
        editedFields = editorFields(editor);
        typeEntry(style)(editor);
    });
    driver.then([&](HWND editor) {
        cancelledFields = editorFields(editor);
        Driver::setText(editor, IDC_ENTRY_NAME, L"Changed");
        Driver::click(editor, IDCANCEL);
    });
    runOptions(wordlamp, driver);
    EXPECT_EQ(editedFields, L"CSS|*.css|c:\\help\\css.chm|1");
    EXPECT_EQ(cancelledFields, L"C|*.c;*.h|c:\\help\\c.chm|1");
    wordlamp.editor.unloadPlugins();
    EXPECT_EQ(savedSettings(), expectedSettings(withEntries({e[0], style})));
}

TEST(OptionsDialog, CancelLeavesEntriesAndOptionsAsTheyWere)
{
    SettingsText settings = withEntries(threeEntries());
    settings.helpMenuMode = 1;
    settings.showContextMenuEntry = 1;
    WordlampInEditor wordlamp(settings);
    ASSERT_TRUE(wordlamp.loaded);
    const std::vector<std::wstring> ownMenu = describeMenu(wordlamp.ownMenu());
    Driver driver;
    driver.then([&](HWND dialog) {
        Driver::click(dialog, IDC_ADD);
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 2);
        Driver::click(dialog, IDC_MOVE_UP);
        Driver::click(dialog, IDC_EDIT);
        Driver::selectRow(dialog, IDC_ENTRY_LIST, 0);
        Driver::click(dialog, IDC_REMOVE);
        for (int id : {IDC_STAY_ON_TOP, IDC_TOOLBAR_BUTTON, IDC_CONTEXT_ENTRY, IDC_MENU_ICONS, IDC_MENU_HELP})
            Driver::click(dialog, id);
        Driver::click(dialog, IDCANCEL);
    });
    driver.then(typeEntry({L"New", L"*.n", L"n.chm", 1}));
    driver.then(typeEntry({L"Renamed", L"*.r", L"r.chm", 0}));
    runOptions(wordlamp, driver);
    EXPECT_EQ(rowsNow(wordlamp), rowsOf(settings.entries));
    EXPECT_EQ(describeMenu(wordlamp.ownMenu()), ownMenu);
    wordlamp.editor.unloadPlugins();
    EXPECT_EQ(savedSettings(), expectedSettings(settings));
}

TEST(OptionsDialog, OkStoresTheBoxesAsShownAndAnUnknownModeAsNone)
{
    struct Case {
        int storedMode;
        int clickedRadio; // 0: none
        int savedMode;
    };
    const Case cases[] = {
        {7, 0, 0},
        {7, IDC_MENU_CONTEXT, 3},
        {2, IDC_MENU_DONT_SHOW, 0},
    };
    for (const Case& c : cases) {
        SettingsText settings;
        settings.helpMenuMode = c.storedMode;
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        Driver driver;
        driver.then([&](HWND dialog) {
            Driver::setChecked(dialog, IDC_MENU_SEARCH_WORD, true);
            if (c.clickedRadio != 0)
                Driver::click(dialog, c.clickedRadio);
            for (int id : {IDC_STAY_ON_TOP, IDC_TOOLBAR_BUTTON, IDC_MENU_ICONS})
                Driver::click(dialog, id);
            Driver::click(dialog, IDOK);
        });
        runOptions(wordlamp, driver);
        wordlamp.editor.unloadPlugins();
        SettingsText saved;
        saved.helpMenuMode = c.savedMode;
        saved.helpMenuSearchWord = 1; // stored even when "Don't show" greys the box
        saved.stayOnTop = saved.showToolBarButton = 1;
        saved.showMenuIcons = 0;
        EXPECT_EQ(savedSettings(), expectedSettings(saved)) << "stored mode " << c.storedMode;
    }
}

TEST(EntryEditor, ExpandTestAndHelpShowTheirMessages)
{
    WordlampInEditor wordlamp(SettingsText{});
    ASSERT_TRUE(wordlamp.loaded);
    wordlamp.editor.document.open(L"C:\\work\\main.c");
    wordlamp.editor.document.currentWord = L"C++ & co";
    Driver driver;
    driver.then([&](HWND dialog) {
        Driver::click(dialog, IDC_ADD);
        Driver::click(dialog, IDCANCEL);
    });
    HWND entryEditor = nullptr;
    driver.then([&](HWND editor) {
        entryEditor = editor;
        Driver::setText(editor, IDC_ENTRY_FILE, L"$nppdir$\\help\\$word$-$NAME$.chm");
        Driver::click(editor, IDC_ENTRY_EXPAND);
        Driver::setText(editor, IDC_ENTRY_FILE, L"https://x.example/?q=$word$");
        Driver::click(editor, IDC_ENTRY_EXPAND);
        Driver::setText(editor, IDC_ENTRY_FILE, L"c:\\no\\such\\$word$.chm");
        wordlamp.editor.requests.clear();
        Driver::click(editor, IDC_ENTRY_TEST);
        Driver::click(editor, IDC_ENTRY_HELP);
        EXPECT_EQ(Driver::text(editor, IDC_ENTRY_FILE), L"c:\\no\\such\\$word$.chm");
        Driver::click(editor, IDCANCEL);
    });
    runOptions(wordlamp, driver);
    ASSERT_EQ(driver.messageBoxes.size(), 4u);
    for (const MessageBoxRecord& box : driver.messageBoxes) {
        EXPECT_EQ(box.caption, L"Wordlamp");
        EXPECT_EQ(box.icon, IconKind::information);
        EXPECT_EQ(box.owner, entryEditor) << "the box holds the entry editor, which holds the editor";
    }
    // As a lookup would open it: the word as it is in a path, percent-encoded in an address.
    EXPECT_EQ(driver.messageBoxes[0].text, L"C:\\Program Files\\Notepad++\\help\\C++ & co-main.chm");
    EXPECT_EQ(driver.messageBoxes[1].text, L"https://x.example/?q=C%2B%2B%20%26%20co");
    // "Test" asks for the word with the buffer's capacity and hands the location to its viewer.
    EXPECT_EQ(driver.messageBoxes[2].text, L"The specified help file does not exist!\nc:\\no\\such\\C++ & co.chm");
    bool askedForWord = false;
    for (const EditorRequest& request : wordlamp.editor.requests)
        askedForWord = askedForWord || (request.message == NPPM_GETCURRENTWORD && request.wParam == 4096);
    EXPECT_TRUE(askedForWord);

    // What "Help" says is checked with the other entry editor's help.
}

TEST(EntryEditor, NamesKeepAtMost259Characters)
{
    WordlampInEditor wordlamp(SettingsText{});
    ASSERT_TRUE(wordlamp.loaded);
    const std::wstring longName(300, L'n');
    Driver driver;
    driver.then([&](HWND dialog) {
        Driver::click(dialog, IDC_ADD);
        Driver::click(dialog, IDOK);
    });
    driver.then([&](HWND editor) {
        // Typing stops at 260 characters; the entry keeps 259 of them.
        SendDlgItemMessageW(editor, IDC_ENTRY_NAME, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(longName.c_str()));
        EXPECT_EQ(Driver::text(editor, IDC_ENTRY_NAME).size(), 260u);
        Driver::setText(editor, IDC_ENTRY_MASK, L"*.n");
        Driver::click(editor, IDOK);
    });
    runOptions(wordlamp, driver);
    EXPECT_EQ(rowsNow(wordlamp), std::vector<std::wstring>{std::wstring(259, L'n') + L" (*.n) => "});
}

TEST(EntryEditor, BrowseStartsAtTheExpandedPathAndTakesThePickedFile)
{
    std::wstring folder = makeTempFolder(L"wordlampBrowse");
    std::wstring picked = folder + L"\\picked.chm";
    writeFileBytes(picked, "");
    WordlampInEditor wordlamp(SettingsText{});
    ASSERT_TRUE(wordlamp.loaded);
    wordlamp.editor.document.open(folder + L"\\main.c");
    std::vector<std::wstring> fieldAfter;
    std::vector<std::wstring> startedAt;
    Driver driver;
    driver.then([&](HWND dialog) {
        Driver::click(dialog, IDC_ADD);
        Driver::click(dialog, IDCANCEL);
    });
    driver.then([&](HWND editor) {
        Driver::setText(editor, IDC_ENTRY_FILE, L"$dir$\\nothing.chm");
        Driver::click(editor, IDC_ENTRY_BROWSE); // cancelled
        fieldAfter.push_back(Driver::text(editor, IDC_ENTRY_FILE));
        Driver::click(editor, IDC_ENTRY_BROWSE); // picks a file
        fieldAfter.push_back(Driver::text(editor, IDC_ENTRY_FILE));
        Driver::click(editor, IDCANCEL);
    });
    const int fileNameField = 1148; // the Open dialog's file-name box
    driver.then([&](HWND open) {
        startedAt.push_back(Driver::text(open, fileNameField));
        Driver::click(open, IDCANCEL);
    });
    driver.then([&](HWND open) {
        startedAt.push_back(Driver::text(open, fileNameField));
        Driver::setText(open, fileNameField, picked);
        Driver::click(open, IDOK);
    });
    runOptions(wordlamp, driver);
    removeTree(folder);
    ASSERT_EQ(startedAt.size(), 2u);
    EXPECT_EQ(startedAt[0], L"nothing.chm");
    EXPECT_EQ(fieldAfter, (std::vector<std::wstring>{L"$dir$\\nothing.chm", picked}));
}

TEST(OptionsDialog, ConfigurationSurvivesUnloadAndReload)
{
    DeleteFileW(settingsFilePath().c_str());
    const EntryText shown = {L"Win32", L"*.c;*.cpp", L"$nppdir$\\win32.chm", 1};
    const EntryText hidden = {L"Docs", L"*.md", L"https://example.org/?q=$word$", 0};
    {
        StandinEditor editor;
        ASSERT_EQ(editor.loadPlugin(pluginPath(L"Wordlamp.dll")), L"");
        Driver driver;
        driver.then([&](HWND dialog) {
            Driver::click(dialog, IDC_ADD);
            Driver::click(dialog, IDC_ADD);
            for (int id : {IDC_MENU_PLUGIN, IDC_MENU_SEARCH_WORD, IDC_STAY_ON_TOP, IDC_TOOLBAR_BUTTON,
                     IDC_CONTEXT_ENTRY, IDC_CONTEXT_ON_TOP})
                Driver::click(dialog, id);
            Driver::click(dialog, IDOK);
        });
        driver.then(typeEntry(shown));
        driver.then(typeEntry(hidden));
        editor.runCommand(static_cast<UINT>(editor.commandId(L"Wordlamp", 2)));
        EXPECT_EQ(driver.pending(), 0u);
    }
    SettingsText expected = withEntries({shown, hidden});
    expected.helpMenuMode = expected.helpMenuSearchWord = expected.stayOnTop = expected.showToolBarButton = 1;
    expected.showContextMenuEntry = expected.showContextMenuEntryOnTop = 1;
    EXPECT_EQ(savedSettings(), expectedSettings(expected));

    StandinEditor editor;
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Wordlamp.dll")), L"");
    EXPECT_EQ(editor.toolbarButtons.size(), 1u);
    EXPECT_EQ(menuTail(ownMenuOf(editor), ownMenuItems), (std::vector<std::wstring>{L"-", L"Win32#65000"}));
    HMENU context = editor.openContextMenu();
    EXPECT_EQ(describeMenu(context)[0], L"Help#" + std::to_wstring(editor.commandId(L"Wordlamp", 0)));
    Driver driver;
    driver.then([&](HWND dialog) {
        EXPECT_EQ(rows(dialog), rowsOf({shown, hidden}));
        for (int id : {IDC_MENU_PLUGIN, IDC_MENU_SEARCH_WORD, IDC_STAY_ON_TOP, IDC_TOOLBAR_BUTTON, IDC_CONTEXT_ENTRY,
                 IDC_CONTEXT_ON_TOP, IDC_MENU_ICONS})
            EXPECT_TRUE(Driver::isChecked(dialog, id)) << id;
        Driver::click(dialog, IDCANCEL);
    });
    editor.runCommand(static_cast<UINT>(editor.commandId(L"Wordlamp", 2)));
    EXPECT_EQ(driver.pending(), 0u);
}

namespace {
struct ControlBox {
    int id;
    std::wstring className;
    std::wstring text;
    LONG style;
    RECT rect; // in the dialog's client coordinates
};

BOOL CALLBACK collectControl(HWND control, LPARAM list)
{
    ControlBox box = {GetDlgCtrlID(control), L"", L"", GetWindowLongW(control, GWL_STYLE), {}};
    wchar_t text[512] = L"";
    GetClassNameW(control, text, _countof(text));
    box.className = text;
    GetWindowTextW(control, text, _countof(text));
    box.text = text;
    GetWindowRect(control, &box.rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&box.rect), 2);
    reinterpret_cast<std::vector<ControlBox>*>(list)->push_back(box);
    return TRUE;
}

bool contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

SIZE dialogUnits(HWND dialog, int width, int height)
{
    RECT units = {0, 0, width, height};
    MapDialogRect(dialog, &units);
    return SIZE{units.right, units.bottom};
}

// Frame and font as both templates give them; every control inside the dialog, none on another
// (but inside its group box) and every caption fully visible in the dialog's font.
void expectTidyDialog(HWND dialog, int width, int height)
{
    const std::string name = narrow(Driver::caption(dialog));
    LONG style = GetWindowLongW(dialog, GWL_STYLE);
    // A font that scales with the display, so the dialogs stay legible at 150 and 200 %.
    LONG wanted = DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(style & wanted, wanted) << name;
    EXPECT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0) << name;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof(logFont), &logFont);
    EXPECT_STREQ(logFont.lfFaceName, L"MS Shell Dlg 2");
    RECT client;
    GetClientRect(dialog, &client);
    SIZE size = dialogUnits(dialog, width, height);
    EXPECT_EQ(client.right, size.cx) << name;
    EXPECT_EQ(client.bottom, size.cy) << name;

    std::vector<ControlBox> controls;
    EnumChildWindows(dialog, collectControl, reinterpret_cast<LPARAM>(&controls));
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, font);
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlBox& c = controls[i];
        std::string what = name + ": " + narrow(c.text) + " (" + std::to_string(c.id) + ")";
        EXPECT_TRUE(contains(client, c.rect)) << what;
        LONG kind = c.style & BS_TYPEMASK;
        bool isButton = _wcsicmp(c.className.c_str(), L"Button") == 0;
        bool isStatic = _wcsicmp(c.className.c_str(), L"Static") == 0;
        if (!c.text.empty() && (isButton || isStatic)) {
            // As it shows: the access key's mark takes no room.
            std::wstring shown = shownCaption(c.text);
            SIZE extent = {};
            GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
            int room = c.rect.right - c.rect.left;
            if (isButton && (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON))
                room -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
            else if (isButton && kind == BS_GROUPBOX)
                room -= 16;
            else if (isButton)
                room -= 6;
            EXPECT_LE(extent.cx, room) << what << " is clipped";
        }
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const ControlBox& d = controls[j];
            RECT common;
            if (!IntersectRect(&common, &c.rect, &d.rect))
                continue;
            bool framed
                = (_wcsicmp(c.className.c_str(), L"Button") == 0 && kind == BS_GROUPBOX && contains(c.rect, d.rect))
                || (_wcsicmp(d.className.c_str(), L"Button") == 0 && (d.style & BS_TYPEMASK) == BS_GROUPBOX
                    && contains(d.rect, c.rect));
            EXPECT_TRUE(framed) << what << " overlaps " << narrow(d.text) << " (" << d.id << ")";
        }
    }
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
}

SIZE controlSize(HWND dialog, int id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}
} // namespace

TEST(OptionsDialog, BothDialogsAreLaidOutWithoutClippingOrOverlap)
{
    WordlampInEditor wordlamp(SettingsText{});
    ASSERT_TRUE(wordlamp.loaded);
    Driver driver;
    driver.then([&](HWND dialog) {
        expectTidyDialog(dialog, 335, 239);
        SIZE list = dialogUnits(dialog, 270, 95);
        SIZE shown = controlSize(dialog, IDC_ENTRY_LIST);
        EXPECT_EQ(shown.cx, list.cx);
        EXPECT_EQ(shown.cy, list.cy);
        EXPECT_NE(GetWindowLongW(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
        EXPECT_NE(GetWindowLongW(GetDlgItem(dialog, IDC_MENU_DONT_SHOW), GWL_STYLE) & WS_GROUP, 0);
        Driver::click(dialog, IDC_ADD);
        Driver::click(dialog, IDCANCEL);
    });
    driver.then([&](HWND editor) {
        expectTidyDialog(editor, 300, 115);
        for (int id : {IDC_ENTRY_NAME, IDC_ENTRY_MASK, IDC_ENTRY_FILE}) {
            EXPECT_EQ(controlSize(editor, id).cx, dialogUnits(editor, 235, 0).cx) << id;
            EXPECT_NE(GetWindowLongW(GetDlgItem(editor, id), GWL_STYLE) & ES_AUTOHSCROLL, 0) << id;
        }
        Driver::click(editor, IDCANCEL);
    });
    runOptions(wordlamp, driver);
}

TEST(OptionsDialog, SaysHowManyEntriesTheFileHoldsBeyondThoseShownAndSavesOnOk)
{
    struct Case {
        int entries;
        const wchar_t* countShown; // in the note; null for no note
    };
    const Case cases[] = {{3, nullptr}, {51, L" 1 "}, {1050, L"1,000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        SettingsText settings = withEntries(numberedEntries(c.entries));
        WordlampInEditor wordlamp(settings);
        ASSERT_TRUE(wordlamp.loaded);
        Driver driver;
        driver.then([&](HWND dialog) {
            std::wstring note = Driver::text(dialog, IDC_ENTRIES_NOT_SHOWN);
            EXPECT_EQ(rows(dialog).size(), static_cast<size_t>(std::min(c.entries, 50)));
            if (c.countShown == nullptr)
                EXPECT_EQ(note, L"");
            else
                EXPECT_NE((L" " + note).find(c.countShown), std::wstring::npos) << narrow(note);
            Driver::setChecked(dialog, IDC_STAY_ON_TOP, true);
            Driver::click(dialog, IDOK);
        });
        runOptions(wordlamp, driver);
        // Written at OK, before the editor closes, with the entries the dialog didn't show.
        std::wstring saved = savedSettings();
        EXPECT_NE(saved.find(L"StayOnTop=1"), std::wstring::npos);
        EXPECT_NE(saved.find(L"[" + settings.entries.back().name + L"]"), std::wstring::npos);
    }
}
