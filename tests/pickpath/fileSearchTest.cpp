// "Open current selection" over real folders: the order of folders and extensions, the entry that
// applies, the sub-tree walk with its links, deep trees and folders with template-like names, and
// how often the editor is asked.
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

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
