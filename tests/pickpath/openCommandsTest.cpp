// The two open commands through the real library in the stand-in editor, which shows the files
// they open: what the text as given finds still first, the caret at the position after a name, the
// name at the caret, the note a miss leaves in the status bar, and the list of every file found.
#include "pickpathTestSupport.h"
#include "pluginHost.h"
#include "statusNote.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {
const size_t listLimit = 500;

// Lines "line 1" to "line count" in UTF-8, the one at special (from 1) replaced by its text.
std::string numberedLines(int count, int special = 0, const std::string& specialText = "")
{
    std::string text;
    for (int line = 1; line <= count; ++line)
        text += (line == special ? specialText : "line " + std::to_string(line)) + (line < count ? "\r\n" : "");
    return text;
}

// The editor as new as look says, showing the files the plug-in opens.
struct CommandRun {
    CommandRun(const SearchScene& scene, const std::vector<EntryText>& entries, EditorLook look)
        : pickpath(scene.settings(entries), look)
    {
        pickpath.editor.showOpenedFiles = true;
    }
    void choose() { pickpath.editor.runCommand(static_cast<UINT>(pickpath.commandId(1))); }
    PickpathInEditor pickpath;
};

// What a command opened and where the caret went.
struct Outcome {
    std::wstring opened; // below the scene's root; empty: nothing
    int line = 0;
    int column = 0;
};

Outcome outcomeOf(const SearchScene& scene, StandinEditor& editor)
{
    Outcome outcome;
    outcome.opened = lower(scene.relative(editor.openedFiles));
    if (!editor.openedFiles.empty()) {
        StandinEditor::Place place = editor.caretPlace();
        outcome.line = place.line;
        outcome.column = place.column;
    }
    return outcome;
}

// The rows of the list, "name|folder", the selected one marked with "*".
std::vector<std::wstring> listRows(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_CHOOSER_LIST);
    std::vector<std::wstring> rows;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::wstring text;
        for (int column = 0; column < 2; ++column) {
            wchar_t cell[MAX_PATH] = L"";
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = cell;
            item.cchTextMax = MAX_PATH;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            text += (column > 0 ? L"|" : L"") + std::wstring(cell);
        }
        if (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED)
            text += L"*";
        rows.push_back(text);
    }
    return rows;
}

// Presses a key in a control the way the keyboard does, through the dialog's own loop.
void pressKey(HWND control, WPARAM key)
{
    PostMessageW(control, WM_KEYDOWN, key, 0);
    PostMessageW(control, WM_KEYUP, key, 0xC0000000);
}

void waitPumping(StandinEditor& editor, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        editor.pumpMessages();
        Sleep(5);
    }
}
} // namespace

TEST(OpenCommands, OpenWhatTheTextAsGivenFindsElseTheNameWithTheCaretAtItsPosition)
{
    struct Case {
        std::wstring text; // "~" stands for the root
        std::vector<std::wstring> files;
        const wchar_t* opened;
        int line;
        int column;
    };
    const Case cases[] = {
        {L"util.c:42:7: error: x", {}, L"proj\\util.c", 42, 7},
        {L"util.c(42,3): warning C4996", {}, L"proj\\util.c", 42, 3},
        {L"  File \"tools/gen.py\", line 5, in main", {}, L"proj\\tools\\gen.py", 5, 1},
        {L"util.c:999", {}, L"proj\\util.c", 60, 1},
        {L"util.c:3:999", {}, L"proj\\util.c", 3, 7},
        // A tab, an accented letter and a character beyond 16 bits count one each.
        {L"util.c:5:6", {}, L"proj\\util.c", 5, 6},
        {L"util.c:5:13", {}, L"proj\\util.c", 5, 13},
        {L"~\\proj\\util.c:4", {}, L"proj\\util.c", 4, 1},
        {L"file:///~/proj/util.c:8", {}, L"proj\\util.c", 8, 1},
        {L"\"tools/gen.py\".", {}, L"proj\\tools\\gen.py", 1, 1},
        // Names that hold what could be read as a position open as themselves.
        {L"a(1).txt", {L"proj\\a(1).txt", L"proj\\a"}, L"proj\\a(1).txt", 1, 1},
        {L"a(1)", {L"proj\\a(1)", L"proj\\a"}, L"proj\\a(1)", 1, 1},
        {L"a(1)", {L"proj\\a"}, L"proj\\a", 1, 1},
        // Found as given in the last folder, before the cleaned name in the first.
        {L"(util.c)", {L"sys\\(util.c)"}, L"sys\\(util.c)", 1, 1},
    };
    for (const Case& c : cases) {
        SearchScene scene;
        writeFileBytes(scene.tree.at(L"proj\\util.c"), numberedLines(60, 5, "\tcaf\xC3\xA9 = 1; \xF0\x9F\x98\x80x"));
        scene.tree.folder(L"proj\\tools");
        writeFileBytes(scene.tree.at(L"proj\\tools\\gen.py"), numberedLines(8));
        for (const std::wstring& file : c.files)
            writeFileBytes(scene.tree.at(file), numberedLines(3));
        std::wstring text = scene.rooted(c.text);
        if (text.compare(0, 8, L"file:///") == 0)
            std::replace(text.begin(), text.end(), L'\\', L'/');
        SCOPED_TRACE(narrow(text));
        CommandRun run(scene, {}, EditorLook::light);
        run.pickpath.editor.document.open(scene.tree.at(L"proj\\main.c"));
        run.pickpath.editor.document.currentWord = text;
        run.pickpath.openSelection();
        Outcome outcome = outcomeOf(scene, run.pickpath.editor);
        EXPECT_EQ(outcome.opened, lower(c.opened));
        EXPECT_EQ(outcome.line, c.line);
        EXPECT_EQ(outcome.column, c.column);
        EXPECT_EQ(run.pickpath.editor.openedFiles.size(), 1u);
    }
}

TEST(OpenCommands, TryTheNameAtTheCaretBeforeTheWordWhenNothingIsSelected)
{
    // Offsets: "types" 15, "util" 26, "42" 31, "gen" 62, the second "util" 88, "sys" 10-13.
    const std::string log = "#include <sys/types.h>\r\n"
                            "util.c:42:7: error: x\r\n"
                            "  File \"tools/gen.py\", line 5, in main\r\n"
                            "util.c(12): warning C4996\r\n";
    struct Case {
        const char* what;
        EditorLook look;
        int from;
        int to;
        const wchar_t* opened; // empty: nothing
        int line;
        int column;
    };
    const Case cases[] = {
        {"the caret inside an included header's name", EditorLook::light, 15, 15, L"inc\\sys\\types.h", 1, 1},
        {"the caret in a compiler message's name", EditorLook::light, 26, 26, L"proj\\util.c", 42, 7},
        {"the caret in its line number", EditorLook::light, 31, 31, L"proj\\util.c", 42, 7},
        {"the caret in a trace's path", EditorLook::light, 62, 62, L"proj\\tools\\gen.py", 5, 1},
        {"the caret in the other compiler's message", EditorLook::light, 88, 88, L"proj\\util.c", 12, 1},
        {"an older editor: the word alone, as before", EditorLook::unanswered, 15, 15, L"", 0, 0},
        {"a selection is looked for as it is", EditorLook::light, 10, 13, L"", 0, 0},
        {"a selection with a slash", EditorLook::light, 10, 21, L"inc\\sys\\types.h", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchScene scene;
        scene.tree.file(L"inc\\sys\\types.h");
        writeFileBytes(scene.tree.at(L"proj\\util.c"), numberedLines(60));
        scene.tree.folder(L"proj\\tools");
        writeFileBytes(scene.tree.at(L"proj\\tools\\gen.py"), numberedLines(8));
        writeFileBytes(scene.tree.at(L"proj\\build.log"), log);
        CommandRun run(scene, {{L"Logs", L"*.log", L"~\\inc", L".h"}}, c.look);
        StandinEditor& editor = run.pickpath.editor;
        editor.wordFromTextArea = true;
        ASSERT_TRUE(editor.showDocument(scene.tree.at(L"proj\\build.log")));
        editor.select(c.from, c.to);
        run.pickpath.openSelection();
        Outcome outcome = outcomeOf(scene, editor);
        EXPECT_EQ(outcome.opened, lower(c.opened));
        EXPECT_EQ(outcome.line, c.line);
        EXPECT_EQ(outcome.column, c.column);
        // The name at the caret is asked for only when nothing is selected, of an editor that knows it.
        bool asked = editor.requestCount(NPPM_GETFILENAMEATCURSOR) > 0;
        EXPECT_EQ(asked, c.look != EditorLook::unanswered && c.from == c.to);
    }
}

TEST(OpenCommands, AMissSaysSoInTheStatusBarAfterOneWalkWhateverTheReadings)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* note;
    };
    // The document's folder, the working folder, the tree of 11 and the system search path.
    const Case cases[] = {
        {L"nothing.c", L"Pickpath: \"nothing.c\" not found (14 folders searched)"},
        {L"(nothing.c:42:7).", L"Pickpath: \"nothing.c\" not found (14 folders searched)"},
        {L"<no/thing.h>", L"Pickpath: \"no\\thing.h\" not found (14 folders searched)"},
        {L"", L"Pickpath: nothing selected"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text));
        SearchScene scene;
        for (int i = 0; i < 10; ++i)
            scene.tree.folder(L"w\\f" + std::to_wstring(i));
        CommandRun run(scene, {{L"E", L"*.c", L"!~\\w", L".h"}}, EditorLook::light);
        run.pickpath.editor.document.open(scene.tree.at(L"proj\\main.c"));
        run.pickpath.editor.document.currentWord = c.text;
        DialogDriver driver;
        run.pickpath.openSelection();
        EXPECT_EQ(run.pickpath.editor.statusText(0), c.note);
        EXPECT_EQ(run.pickpath.editor.openedFiles.size(), 0u);
        // The list has nothing to show either: the same note, and no dialog.
        run.pickpath.editor.statusTexts.clear();
        run.choose();
        EXPECT_EQ(run.pickpath.editor.statusText(0), c.note);
        EXPECT_EQ(driver.unexpectedDialogs, std::vector<std::wstring>{});
        EXPECT_EQ(driver.messageBoxes.size(), 0u);
    }
}

TEST(StatusNote, GoesAwayByItselfUnlessTheEditorWroteTheFieldMeanwhile)
{
    // The library's code linked in, talking to a stand-in editor.
    StandinEditor editor;
    NppData saved = nppData;
    nppData = editor.nppData();
    std::wstring before = editor.statusText(0);
    ASSERT_NE(before, L"");

    // A note over a note: what came before both comes back.
    pickpath::showPassingNote(L"first note", 40);
    pickpath::showPassingNote(L"second note", 40);
    EXPECT_EQ(editor.statusText(0), L"second note");
    waitPumping(editor, 200);
    EXPECT_EQ(editor.statusText(0), before);

    // What the editor wrote meanwhile stays.
    pickpath::showPassingNote(L"third note", 40);
    SendMessageW(editor.mainWindow(), NPPM_SETSTATUSBAR, 0, reinterpret_cast<LPARAM>(L"C++ source file"));
    waitPumping(editor, 200);
    EXPECT_EQ(editor.statusText(0), L"C++ source file");

    // Unloading takes the timer away: nothing calls into the library afterwards.
    pickpath::showPassingNote(L"fourth note", 40);
    pickpath::forgetPassingNote();
    waitPumping(editor, 200);
    EXPECT_EQ(editor.statusText(0), L"fourth note");
    nppData = saved;
}

TEST(FileChooser, ListsEveryFileFoundInOrderAndOpensTheOneChosen)
{
    struct Case {
        const char* what;
        const wchar_t* text;
        std::function<void(HWND)> choose;
        const wchar_t* opened; // empty: nothing
        int line;
    };
    auto secondByKeys = [](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CHOOSER_LIST);
        // The keyboard starts in the list, on the first file. Another test's window may have taken the
        // activation meanwhile; given it back, the dialog puts the focus where it left it.
        SetForegroundWindow(dialog);
        EXPECT_EQ(GetFocus(), list);
        pressKey(list, VK_DOWN);
        pressKey(list, VK_RETURN);
    };
    auto secondByDoubleClick = [](HWND dialog) {
        // What the list tells its dialog of a double click on its second row.
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = GetDlgItem(dialog, IDC_CHOOSER_LIST);
        click.hdr.idFrom = IDC_CHOOSER_LIST;
        click.hdr.code = NM_DBLCLK;
        click.iItem = 1;
        SendMessageW(dialog, WM_NOTIFY, IDC_CHOOSER_LIST, reinterpret_cast<LPARAM>(&click));
    };
    const Case cases[] = {
        {"Enter opens the file chosen with the keys", L"util.c", secondByKeys, L"npp\\util.c", 1},
        {"a double click opens the file clicked", L"util.c", secondByDoubleClick, L"npp\\util.c", 1},
        {"the position goes with the file chosen", L"util.c:3", secondByKeys, L"npp\\util.c", 3},
        {"OK opens the first, Alt+O's file", L"util.c", [](HWND dialog) { DialogDriver::click(dialog, IDOK); },
            L"proj\\util.c", 1},
        {"Esc opens nothing", L"util.c", [](HWND dialog) { pressKey(GetDlgItem(dialog, IDC_CHOOSER_LIST), VK_ESCAPE); },
            L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchScene scene;
        writeFileBytes(scene.tree.at(L"proj\\util.c"), numberedLines(5));
        writeFileBytes(scene.tree.at(L"npp\\util.c"), numberedLines(5));
        CommandRun run(scene, {}, EditorLook::light);
        run.pickpath.editor.document.open(scene.tree.at(L"proj\\main.c"));
        run.pickpath.editor.document.currentWord = c.text;
        DialogDriver driver;
        std::vector<std::wstring> rows;
        std::wstring count;
        std::wstring caption;
        LONG centreGap = -1;
        driver.then([&](HWND dialog) {
            RECT chooser, editor;
            GetWindowRect(dialog, &chooser);
            GetWindowRect(run.pickpath.editor.mainWindow(), &editor);
            centreGap = std::abs((chooser.left + chooser.right) - (editor.left + editor.right))
                + std::abs((chooser.top + chooser.bottom) - (editor.top + editor.bottom));
            rows = listRows(dialog);
            count = DialogDriver::text(dialog, IDC_CHOOSER_COUNT);
            caption = DialogDriver::caption(dialog);
            c.choose(dialog);
        });
        run.choose();
        EXPECT_EQ(driver.pending(), 0u);
        EXPECT_EQ(caption, L"Pickpath");
        std::vector<std::wstring> expected
            = {L"util.c|" + scene.tree.at(L"proj") + L"*", L"util.c|" + scene.tree.at(L"npp")};
        EXPECT_EQ(lower(rows.size() == 2 ? rows[0] + rows[1] : L""), lower(expected[0] + expected[1]));
        EXPECT_EQ(count, L"2 files found for \"util.c\"");
        Outcome outcome = outcomeOf(scene, run.pickpath.editor);
        EXPECT_EQ(outcome.opened, lower(c.opened));
        EXPECT_EQ(outcome.line, c.line);
        // Centred over the editor's window and themed by the editor like the other dialogs.
        EXPECT_LE(centreGap, 4);
        EXPECT_GE(run.pickpath.editor.themeRequests.size(), 1u);
    }
}

TEST(FileChooser, ListsAFileReachedTwiceOnceAndStopsAtItsLimit)
{
    SearchScene scene;
    // The working folder is the document's folder too, and a sub-tree holds more than the list takes.
    SetCurrentDirectoryW(scene.tree.at(L"proj").c_str());
    writeFileBytes(scene.tree.at(L"proj\\util.c"), "");
    for (size_t i = 0; i <= listLimit; ++i)
        scene.tree.file(L"w\\f" + std::to_wstring(i) + L"\\util.c");
    CommandRun run(scene, {{L"E", L"*.c", L"~\\proj;!~\\w", L""}}, EditorLook::light);
    run.pickpath.editor.document.open(scene.tree.at(L"proj\\main.c"));
    run.pickpath.editor.document.currentWord = L"util.c";
    DialogDriver driver;
    std::vector<std::wstring> rows;
    std::wstring count;
    driver.then([&](HWND dialog) {
        rows = listRows(dialog);
        count = DialogDriver::text(dialog, IDC_CHOOSER_COUNT);
        DialogDriver::click(dialog, IDCANCEL);
    });
    run.choose();
    ASSERT_EQ(rows.size(), listLimit);
    EXPECT_EQ(lower(rows[0]), lower(L"util.c|" + scene.tree.at(L"proj") + L"*"));
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(lower(rows[i]).find(lower(scene.tree.at(L"proj"))), std::wstring::npos) << narrow(rows[i]);
    EXPECT_EQ(count, L"The first 500 files found for \"util.c\"; the search stopped there");
    EXPECT_EQ(run.pickpath.editor.openedFiles.size(), 0u);
}
