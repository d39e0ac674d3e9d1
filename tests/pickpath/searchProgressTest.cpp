// A long search in the editor: the note in the status bar and what it leaves there, Esc, the
// editor's windows repainting meanwhile, and nothing else of the editor's input handled during it.
// The half second before anything shows is made zero, so small trees are long enough.
#include "fileSearch.h"
#include "pickpathTestSupport.h"
#include "pluginHost.h"

#include <gtest/gtest.h>

using namespace pickpath;

namespace {
// The library's code linked in, talking to a stand-in editor.
struct SearchInEditor {
    SearchInEditor()
    {
        saved = nppData;
        nppData = editor.nppData();
        for (int i = 0; i < 30; ++i)
            tree.folder(L"w\\f" + std::to_wstring(i) + L"\\g");
        editor.pumpMessages();
        editor.statusTexts.clear();
    }
    ~SearchInEditor() { nppData = saved; }

    SearchResult search(const wchar_t* name, DWORD noticeDelay)
    {
        SearchProgress progress(editor.mainWindow(), noticeDelay);
        return searchAndOpen((L"!" + tree.at(L"w")).c_str(), L".h", name, progress);
    }

    StandinEditor editor;
    FolderTree tree;
    NppData saved;
};

size_t queued(UINT message)
{
    MSG waiting;
    size_t count = 0;
    while (PeekMessageW(&waiting, nullptr, message, message, PM_REMOVE))
        ++count;
    return count;
}
} // namespace

TEST(SearchProgress, AShortSearchLeavesTheStatusBarAlone)
{
    SearchInEditor scene;
    EXPECT_EQ(scene.search(L"nothing", 500), SearchResult::notFound);
    EXPECT_EQ(scene.editor.statusTexts, std::vector<std::wstring>{});
}

TEST(SearchProgress, ALongSearchShowsHowFarItGotAndPutsTheStatusBarBack)
{
    SearchInEditor scene;
    std::wstring before = scene.editor.statusText(0);
    EXPECT_EQ(scene.search(L"nothing", 0), SearchResult::notFound);
    const std::vector<std::wstring>& notes = scene.editor.statusTexts;
    ASSERT_GE(notes.size(), 2u);
    // How far it got, and how to stop it.
    EXPECT_NE(notes.front().find(L" 1 "), std::wstring::npos) << narrow(notes.front());
    EXPECT_NE(notes.front().find(L"Esc"), std::wstring::npos) << narrow(notes.front());
    // The key comes before the count, so a status bar too narrow for the whole note still shows it.
    EXPECT_LT(notes.front().find(L"Esc"), notes.front().find(L" 1 ")) << narrow(notes.front());
    EXPECT_EQ(notes.back(), before);
    EXPECT_EQ(scene.editor.statusText(0), before);
}

TEST(SearchProgress, EscStopsTheSearchAndSaysSo)
{
    SearchInEditor scene;
    scene.tree.file(L"w\\f29\\g\\util.h");
    PostMessageW(scene.editor.textArea(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(scene.search(L"util", 0), SearchResult::stopped);
    EXPECT_EQ(scene.editor.openedFiles, std::vector<std::wstring>{});
    std::wstring said = scene.editor.statusText(0);
    EXPECT_NE(said.find(L"stopped"), std::wstring::npos) << narrow(said);
    EXPECT_NE(said.find(L" 1 "), std::wstring::npos) << narrow(said);
    EXPECT_EQ(queued(WM_KEYDOWN), 0u) << "Esc was taken, not left for the editor";
    // The next search runs to its end.
    EXPECT_EQ(scene.search(L"util", 0), SearchResult::found);
    EXPECT_EQ(scene.editor.openedFiles.size(), 1u);
}

TEST(SearchProgress, TheEditorRepaintsButHandlesNoInputOrCommandMeanwhile)
{
    SearchInEditor scene;
    InvalidateRect(scene.editor.mainWindow(), nullptr, TRUE);
    InvalidateRect(scene.editor.textArea(), nullptr, TRUE);
    PostMessageW(scene.editor.textArea(), WM_KEYDOWN, L'A', 0);
    PostMessageW(scene.editor.mainWindow(), WM_COMMAND, IDM_ABOUT, 0);
    EXPECT_EQ(scene.search(L"nothing", 0), SearchResult::notFound);
    EXPECT_FALSE(GetUpdateRect(scene.editor.mainWindow(), nullptr, FALSE)) << "the main window was painted";
    EXPECT_FALSE(GetUpdateRect(scene.editor.textArea(), nullptr, FALSE)) << "the text area was painted";
    EXPECT_EQ(scene.editor.hostCommands, std::vector<UINT>{}) << "no command ran during the search";
    EXPECT_EQ(queued(WM_KEYDOWN), 1u) << "other keys wait for the editor";
    scene.editor.pumpMessages();
    EXPECT_EQ(scene.editor.hostCommands, std::vector<UINT>{IDM_ABOUT});
}
