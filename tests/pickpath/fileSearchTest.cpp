// "Open current selection" over real folders: the order of folders and extensions, the entry that
// applies, the sub-tree walk with its links, deep trees and folders with template-like names, and
// how often the editor is asked.
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>

namespace {
// The sub-folders of a folder, depth-first and pre-order, as paths relative to the root.
void appendSubtree(const SearchScene& scene, const std::wstring& folder, std::vector<std::wstring>& folders)
{
    for (const std::wstring& name : listedSubfolders(scene.tree.at(folder))) {
        folders.push_back(folder + L"\\" + name);
        appendSubtree(scene, folder + L"\\" + name, folders);
    }
}

const EntryText sources = {L"Sources", L"*.c;*.h", L"~\\inc;!~\\src", L".h"};
} // namespace

TEST(FileSearch, TriesTheFoldersAndExtensionsOfTheWorkedExampleInOrder)
{
    SearchScene scene;
    for (const wchar_t* folder : {L"inc", L"src\\s1\\deep", L"src\\s2", L"src\\s3\\x"})
        scene.tree.folder(folder);
    std::vector<std::wstring> folders = {L"proj", L"npp", L"inc", L"src"};
    appendSubtree(scene, L"src", folders);
    folders.push_back(L"sys");
    std::vector<std::wstring> expected;
    for (const std::wstring& folder : folders)
        for (const wchar_t* name : {L"util.c", L"util.h", L"util"})
            expected.push_back(folder + L"\\" + name);
    for (const std::wstring& file : expected)
        scene.tree.file(file);

    // Each file found is taken away, so the next run shows the next place in the order.
    PickpathInEditor pickpath(scene.settings({sources}));
    pickpath.editor.document.open(scene.tree.at(L"proj\\main.c"));
    pickpath.editor.document.currentWord = L"util";
    for (size_t i = 0; i < expected.size(); ++i) {
        pickpath.openSelection();
        ASSERT_EQ(pickpath.editor.openedFiles.size(), i + 1) << narrow(expected[i]);
        EXPECT_EQ(lower(scene.relative(pickpath.editor.openedFiles)), lower(expected[i]));
        DeleteFileW(scene.tree.at(expected[i]).c_str());
    }
    pickpath.openSelection();
    EXPECT_EQ(pickpath.editor.openedFiles.size(), expected.size()) << "nothing left to find";
}

TEST(FileSearch, ChoosesTheEntryAndTheNameAsTheDocumentAndSelectionSay)
{
    struct Case {
        const char* what;
        std::vector<EntryText> entries;
        const wchar_t* document;
        const wchar_t* selection;
        std::vector<std::wstring> files;
        std::vector<std::wstring> folders;
        const wchar_t* expected; // below the root; empty: nothing opened
    };
    const Case cases[] = {
        {"a selection with its own extension is looked for unchanged", {{L"E", L"*.c", L"", L".x"}}, L"main.c",
            L"util.h", {L"proj\\util.h.c", L"proj\\util.h.x", L"npp\\util.h"}, {}, L"npp\\util.h"},
        {"the entry's extensions come before the bare name", {{L"E", L"*.c", L"", L".x;.y"}}, L"main.c", L"util",
            {L"proj\\util", L"proj\\util.y", L"proj\\util.x"}, {}, L"proj\\util.x"},
        {"a folder named like the selection is passed over", {}, L"main.c", L"util", {L"npp\\util"},
            {L"proj\\util", L"proj\\util.c"}, L"npp\\util"},
        {"an empty selection opens nothing", {sources}, L"main.c", L"", {L"proj\\util.c", L"proj\\.c"}, {}, L""},
        {"without a matching entry: own folder, working folder, system search path", {sources}, L"main.txt", L"util",
            {L"inc\\util.txt", L"sys\\util.txt"}, {}, L"sys\\util.txt"},
        {"an empty item searches the system search path at its place", {{L"E", L"*.c", L"~\\inc;;~\\lib", L""}},
            L"main.c", L"util", {L"lib\\util.c", L"sys\\util.c"}, {L"inc"}, L"sys\\util.c"},
        {"the same without the empty item", {{L"E", L"*.c", L"~\\inc;~\\lib", L""}}, L"main.c", L"util",
            {L"lib\\util.c", L"sys\\util.c"}, {L"inc"}, L"lib\\util.c"},
        {"only the first of two matching entries applies",
            {{L"First", L"*.c", L"~\\inc", L""}, {L"Second", L"main.*", L"~\\lib", L""}}, L"main.c", L"util",
            {L"lib\\util.c"}, {L"inc"}, L""},
        {"an entry with an empty mask never applies", {{L"E", L"", L"~\\lib", L""}}, L"main.c", L"util",
            {L"lib\\util.c"}, {}, L""},
        {"a mask of separators only never applies", {{L"E", L";;", L"~\\lib", L""}}, L"main.c", L"util",
            {L"lib\\util.c"}, {}, L""},
        {"a full path in the selection is opened from anywhere", {}, L"main.c", L"~\\lib\\util.c", {L"lib\\util.c"}, {},
            L"lib\\util.c"},
        {"a relative path in the selection", {{L"E", L"*.c", L"~\\inc", L""}}, L"main.c", L"sys\\types",
            {L"inc\\sys\\types.c"}, {}, L"inc\\sys\\types.c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchScene scene;
        for (const std::wstring& folder : c.folders)
            scene.tree.folder(folder);
        for (const std::wstring& file : c.files)
            scene.tree.file(file);
        std::vector<std::wstring> opened = scene.open(c.entries, c.document, scene.rooted(c.selection));
        EXPECT_LE(opened.size(), 1u);
        EXPECT_EQ(lower(scene.relative(opened)), lower(c.expected));
    }
}

TEST(FileSearch, WalksSubfoldersUnderTheirRealNames)
{
    struct Case {
        const wchar_t* folder;
        DWORD attributes;
    };
    // Names that look like templates or lists are names here, not templates; hidden and system
    // folders are walked like any other.
    const Case cases[] = {
        {L"$date$", 0},
        {L"%TEMP%", 0},
        {L"$dir$\\%PATH%", 0},
        {L"a;b", 0},
        {L"hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.folder));
        SearchScene scene;
        std::wstring file = std::wstring(L"w\\") + c.folder + L"\\util.c";
        scene.tree.file(file);
        if (c.attributes != 0)
            SetFileAttributesW(scene.tree.at(std::wstring(L"w\\") + c.folder).c_str(), c.attributes);
        std::vector<std::wstring> opened = scene.open({{L"E", L"*.c", L"!~\\w", L""}}, L"main.c", L"util");
        EXPECT_EQ(lower(scene.relative(opened)), lower(file));
    }
}

TEST(FileSearch, SearchesEverySubfolderHoweverManyThereAre)
{
    SearchScene scene;
    // Their paths together run far past what one fixed listing of 2,600 characters could hold.
    for (int i = 0; i < 120; ++i)
        scene.tree.folder(L"w\\a-sub-folder-with-a-long-name-" + std::to_wstring(i));
    std::wstring last = L"w\\" + listedSubfolders(scene.tree.at(L"w")).back() + L"\\util.c";
    scene.tree.file(last);
    std::vector<std::wstring> opened = scene.open({{L"E", L"*.c", L"!~\\w", L""}}, L"main.c", L"util");
    EXPECT_EQ(lower(scene.relative(opened)), lower(last));
}

TEST(FileSearch, FinishesTreesWithLinksBackIntoThemselves)
{
    SearchScene scene;
    scene.tree.folder(L"w\\a\\b\\c");
    scene.tree.file(L"outside\\found\\util.c");
    // Links to the walk's root, to a parent, to the folder itself and out of the tree.
    const std::pair<const wchar_t*, const wchar_t*> links[] = {
        {L"w\\a\\b\\up", L"w"},
        {L"w\\a\\loop", L"w\\a"},
        {L"w\\a\\b\\c\\self", L"w\\a\\b\\c"},
        {L"w\\a\\b\\c\\out", L"outside"},
        {L"w\\side", L"outside"},
    };
    for (const auto& link : links)
        if (!scene.tree.link(link.first, link.second))
            GTEST_SKIP() << "this system makes no folder links";

    std::vector<EntryText> entries = {{L"E", L"*.c", L"!~\\w", L""}};
    EXPECT_EQ(scene.open(entries, L"main.c", L"nothing"), std::vector<std::wstring>{}) << "the whole walk ends";
    // The folder outside is reached through the first link to it, and only entered once.
    std::vector<std::wstring> opened = scene.open(entries, L"main.c", L"util");
    ASSERT_EQ(opened.size(), 1u);
    std::wstring found = lower(scene.relative(opened));
    EXPECT_TRUE(found == L"w\\a\\b\\c\\out\\found\\util.c" || found == L"w\\side\\found\\util.c") << narrow(found);
}

TEST(FileSearch, FindsTheFileAtTheBottomOfADeepTree)
{
    SearchScene scene;
    // As deep as the platform's paths allow: more levels than a recursive search could hold buffers for.
    std::wstring folder = L"w";
    while (scene.tree.at(folder).size() + 2 + wcslen(L"\\util.c") < MAX_PATH - 1)
        folder += L"\\d";
    scene.tree.file(folder + L"\\util.c");
    // A second chain beside it, walked first or after, without a hit.
    scene.tree.folder(L"w\\e\\e\\e\\e");
    ASSERT_TRUE(fileExists(scene.tree.at(folder + L"\\util.c")));
    std::vector<std::wstring> opened = scene.open({{L"E", L"*.c", L"!~\\w", L""}}, L"main.c", L"util");
    EXPECT_EQ(lower(scene.relative(opened)), lower(folder + L"\\util.c"));
}

TEST(FileSearch, AsksTheEditorPerConfiguredFolderNotPerFolderWalked)
{
    auto requestsFor = [](int subfolders) {
        SearchScene scene;
        for (int i = 0; i < subfolders; ++i)
            scene.tree.folder(L"w\\f" + std::to_wstring(i) + L"\\g");
        PickpathInEditor pickpath(scene.settings({{L"E", L"*.c", L"!~\\w;~\\inc", L".h;.x"}}));
        pickpath.editor.document.open(scene.tree.at(L"proj\\main.c"));
        pickpath.editor.document.currentWord = L"nothing";
        pickpath.openSelection();
        EXPECT_EQ(pickpath.editor.openedFiles.size(), 0u);
        return pickpath.editor.requests.size();
    };
    size_t small = requestsFor(2);
    size_t large = requestsFor(60);
    EXPECT_EQ(small, large);
    // File name, selection, extension and folder, then one expansion of each of the four folder items.
    EXPECT_LE(large, 4u + 4u * 6u);
}

TEST(FileSearch, AFolderPastMaxPathHidesNothingElseAndIsSearchedByItsLongForm)
{
    SearchScene scene;
    // Ten sibling folders with a file each, beside one branch whose folders run past 260 characters.
    for (int i = 0; i < 10; ++i)
        scene.tree.file(L"w\\s" + std::to_wstring(i) + L"\\f" + std::to_wstring(i) + L".h");
    std::wstring branch = L"w\\b";
    while (scene.tree.at(branch).size() < 290)
        branch += L"\\" + std::wstring(30, L'd');
    scene.tree.file(branch + L"\\far.h");
    // A name too long for the path beside its short folder.
    std::wstring longName(240, L'n');
    scene.tree.file(L"w\\s0\\" + longName + L".h");
    // Each sub-folder's path is made from its parent's, also where the file system reads the
    // root's "s0\.." as "w".
    for (const wchar_t* root : {L"!~\\w", L"!~\\w\\s0\\.."}) {
        unsigned found = 0;
        for (int i = 0; i < 10; ++i) {
            std::wstring name = L"f" + std::to_wstring(i);
            std::vector<std::wstring> opened = scene.open({{L"E", L"*.c", root, L".h"}}, L"main.c", name);
            found
                += lower(scene.relative(opened)) == lower(L"w\\s" + std::to_wstring(i) + L"\\" + name + L".h") ? 1 : 0;
        }
        std::vector<std::wstring> inBranch = scene.open({{L"E", L"*.c", root, L".h"}}, L"main.c", L"far");
        std::vector<std::wstring> longOne = scene.open({{L"E", L"*.c", root, L".h"}}, L"main.c", longName);
        std::printf("root %s beside a branch of %zu characters: %u of 10 files found; the file in the branch %s\n",
            narrow(root).c_str(), scene.tree.at(branch).size(), found,
            inBranch.empty() ? "not found" : narrow(inBranch[0]).c_str());
        EXPECT_EQ(found, 10u) << narrow(root);
        EXPECT_EQ(inBranch, std::vector<std::wstring>{L"\\\\?\\" + scene.tree.at(branch + L"\\far.h")});
        EXPECT_EQ(longOne, std::vector<std::wstring>{L"\\\\?\\" + scene.tree.at(L"w\\s0\\" + longName + L".h")});
    }
}

namespace {
// Whether the platform opens the folder at all, in its long form.
bool canOpen(const std::wstring& folder)
{
    HANDLE handle = CreateFileW(reachable(folder).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
        nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}
} // namespace

// Folders only a platform without a length limit could open (Wine's ends where the Unix path
// reaches 4,096 bytes): made reachable, then pushed past the limit by renaming a folder above them.
TEST(FileSearch, FoldersTooDeepToSearchAreCountedInTheStatusBar)
{
    SearchScene scene;
    const std::wstring top = L"w\\t";
    std::vector<std::wstring> chains[2]; // below top
    for (wchar_t letter : {L'a', L'b'}) {
        std::wstring folder = L"\\" + std::wstring(1, letter);
        while (scene.tree.at(top + folder).size() < 4000) {
            folder += L"\\" + std::wstring(scene.tree.at(top + folder).size() < 3900 ? 100 : 10, letter);
            chains[letter - L'a'].push_back(folder);
        }
        scene.tree.file(top + folder + L"\\far.h");
    }
    scene.tree.file(top + chains[0][5] + L"\\near.h");
    const std::wstring renamed = top + std::wstring(249, L't');
    ASSERT_TRUE(MoveFileW(reachable(scene.tree.at(top)).c_str(), reachable(scene.tree.at(renamed)).c_str()));
    // Too deep: a folder the platform won't open below one it will.
    size_t tooDeep = 0;
    for (const std::vector<std::wstring>& chain : chains)
        for (size_t i = 1; i < chain.size(); ++i)
            tooDeep += canOpen(scene.tree.at(renamed + chain[i - 1])) && !canOpen(scene.tree.at(renamed + chain[i]));

    PickpathInEditor pickpath(scene.settings({{L"E", L"*.c", L"!~\\w", L".h"}}));
    pickpath.editor.document.open(scene.tree.at(L"proj\\main.c"));
    pickpath.editor.document.currentWord = L"far";
    pickpath.openSelection();
    std::vector<std::wstring> notes = pickpath.editor.statusTexts;
    pickpath.editor.document.currentWord = L"near";
    pickpath.openSelection();
    MoveFileW(reachable(scene.tree.at(renamed)).c_str(), reachable(scene.tree.at(top)).c_str());

    std::printf("%zu folders too deep for this platform; the status bar's last note: \"%s\"\n", tooDeep,
        notes.empty() ? "" : narrow(notes.back()).c_str());
    ASSERT_EQ(pickpath.editor.openedFiles.size(), tooDeep > 0 ? 1u : 2u);
    EXPECT_EQ(lower(pickpath.editor.openedFiles.back()),
        lower(L"\\\\?\\" + scene.tree.at(renamed + chains[0][5] + L"\\near.h")));
    if (tooDeep > 0) {
        ASSERT_FALSE(notes.empty());
        // The search's own note, then the miss's, which counts them too.
        EXPECT_NE(std::find(notes.begin(), notes.end(),
                      L"Pickpath: " + std::to_wstring(tooDeep) + L" folders were too deep to search"),
            notes.end());
        const std::wstring missCount = L", " + std::to_wstring(tooDeep) + L" too deep)";
        EXPECT_EQ(
            notes.back().substr(notes.back().size() - std::min(notes.back().size(), missCount.size())), missCount);
    }
}
