// Pickpath's Options dialog and entry editor, driven by control id inside the real library: the
// options, the entry's fields and their limits, OK and Cancel, "Help" and "Expand". The list itself
// is tested with both libraries in the framework's tests.
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
using Driver = DialogDriver;

// Each field's label as a person reads it (its access key's mark left out), and the notes below it.
struct FieldTexts {
    int field;
    const wchar_t* label;
    const wchar_t* notes;
};
const FieldTexts fieldTexts[] = {
    {IDC_ENTRY_NAME, L"Name:", nullptr},
    {IDC_ENTRY_MASK, L"File selection mask (e.g.: *.c;*.h):", nullptr},
    {IDC_ENTRY_PATH, L"Search path(s) for the selected text separated by \";\" (e.g.: c:\\a;c:\\b):",
        L"Note 1: search also file folder, working folder, and system path\n"
        L"Note 2: !c:\\a;c:\\b with search c:\\a sub-folders"},
    {IDC_ENTRY_EXT, L"Extensions to add to the selection separated by \";\" (e.g.: .c;.h):",
        L"Note 3: no need to include the current file extension\n"
        L"Note 4: used only if the selection does not have an extension\n"
        L"Note 5: selection with no extension will also be searched"},
};

std::wstring windowText(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, _countof(text));
    return text;
}

RECT windowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

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
        EXPECT_EQ(selection(dialog), 2) << "the new entry is selected";
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
    // Both open commands and their separator go.
    EXPECT_EQ(GetMenuItemCount(pickpath.editor.openContextMenu()), before - 3);
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
        // Each label comes just before its field and shows above it; the notes show below it, and
        // nothing covers either.
        for (const FieldTexts& texts : fieldTexts) {
            HWND field = GetDlgItem(editor, texts.field);
            HWND label = GetWindow(field, GW_HWNDPREV);
            std::wstring shown = windowText(label);
            shown.erase(std::remove(shown.begin(), shown.end(), L'&'), shown.end());
            EXPECT_EQ(shown, texts.label);
            EXPECT_LE(windowRect(label).bottom, windowRect(field).top) << narrow(texts.label);
            if (texts.notes == nullptr)
                continue;
            HWND notes = GetWindow(field, GW_HWNDNEXT);
            while (notes != nullptr && windowText(notes) != texts.notes)
                notes = GetWindow(notes, GW_HWNDNEXT);
            ASSERT_NE(notes, nullptr) << narrow(texts.notes);
            EXPECT_GE(windowRect(notes).top, windowRect(field).bottom) << narrow(texts.notes);
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
    HWND entryEditor = nullptr;
    driver.then([&](HWND editor) {
        entryEditor = editor;
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
        EXPECT_EQ(box.owner, entryEditor) << "the box holds the entry editor, which holds the editor";
    }
    EXPECT_EQ(driver.messageBoxes[0].text.find(L"CHM"), std::wstring::npos);
    EXPECT_EQ(driver.messageBoxes[0].text.back(), L'\n');
    EXPECT_EQ(driver.messageBoxes[1].text, L"c:\\a;!C:\\proj\\inc");
    EXPECT_EQ(driver.messageBoxes[2].text, longExpanded);
}
