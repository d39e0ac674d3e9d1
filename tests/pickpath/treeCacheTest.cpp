// A search that takes its listings from memory finds exactly what a fresh walk of the disk finds,
// over generated trees changed at random between searches, once each change has come in; searched
// at once after a change it never gives a file that is gone; and a tree whose watch overflows, whose
// root is replaced, or whose notifications can't be trusted is walked from the disk.
#include "fileSearch.h"
#include "pickpathTestSupport.h"
#include "pluginHost.h"
#include "treeCache.h"

#include <gtest/gtest.h>

#include <strsafe.h>

#include <memory>
#include <ostream>
#include <random>

using namespace pickpath;

namespace {
// What a generated tree is made of, and the names looked for in it: they meet often.
const wchar_t* const fileNames[] = {L"util.c", L"util.h", L"Util.H", L"main.c", L"main", L"util", L"notes.txt"};
const wchar_t* const folderNames[] = {L"src", L"include", L"util", L"lib", L"Lib", L"util.h"};
const wchar_t* const looked[] = {L"util", L"main", L"util.h"};
// Where the files that mark how far the news came go; no change touches it.
const wchar_t markFolder[] = L"zz";
constexpr DWORD patience = 15000;

struct Found {
    std::vector<std::wstring> files;
    size_t folders;
    bool operator==(const Found& other) const { return files == other.files && folders == other.folders; }
};

void PrintTo(const Found& found, std::ostream* out)
{
    *out << found.folders << " folders:";
    for (const std::wstring& file : found.files)
        *out << " " << narrow(file);
}

Found search(const std::wstring& root, TreeSearch how)
{
    PointedName names[_countof(looked)] = {};
    for (size_t i = 0; i < _countof(looked); ++i)
        StringCchCopyW(names[i].Name, _countof(names[i].Name), looked[i]);
    SearchProgress progress(nullptr, INFINITE);
    SearchOutcome outcome
        = searchFiles((L"!" + root).c_str(), L".c;.h;", names, _countof(names), Gather::every, progress, how);
    Found found{{}, outcome.Folders};
    for (const FoundFile& file : outcome.Files)
        found.files.push_back(file.Path);
    return found;
}

template <typename Condition> bool within(DWORD milliseconds, Condition condition)
{
    for (ULONGLONG end = GetTickCount64() + milliseconds; !condition();) {
        if (GetTickCount64() > end)
            return false;
        Sleep(20);
    }
    return true;
}

// Searched, the tree is learned in the background and then held. A tree whose watch lost track
// while it was learned (after a burst of changes, Wine may still be telling them) is let go, and
// learned again at a later search: searched again each second until it is held.
bool heldSoon(const std::wstring& root, DWORD wait = patience)
{
    ULONGLONG searched = 0;
    return within(wait, [&] {
        if (holdsListing(root.c_str(), L""))
            return true;
        if (GetTickCount64() - searched >= 1000) {
            search(root, TreeSearch::fromMemory);
            searched = GetTickCount64();
        }
        return false;
    });
}

// Every file and folder below root, relative to it, the marks left out.
void scan(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& files,
    std::vector<std::wstring>& folders)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((root + L"\\" + relative + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = entry.cFileName;
        std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        if (name == L"." || name == L".." || path == markFolder)
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folders.push_back(path);
            scan(root, path, files, folders);
        } else {
            files.push_back(path);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// A generated tree, and the changes a person's tools make to it.
class ChangingTree {
public:
    explicit ChangingTree(unsigned seed)
        : random_(seed)
    {
        tree_.folder(std::wstring(L"w\\") + markFolder);
        for (int i = 0; i < 40; ++i)
            make();
    }

    std::wstring root() const { return tree_.at(L"w"); }

    // One change, told for the trace.
    std::wstring change()
    {
        std::vector<std::wstring> files;
        std::vector<std::wstring> folders;
        scan(root(), L"", files, folders);
        std::wstring file = files.empty() ? L"" : at(pick(files));
        std::wstring folder = folders.empty() ? root() : at(pick(folders));
        std::wstring where = random_() % 4 == 0 || folders.empty() ? root() : at(pick(folders));
        switch (random_() % 7) {
        case 0:
            return make();
        case 1:
            DeleteFileW(file.c_str());
            return L"removed " + file;
        case 2: {
            std::wstring other = where + L"\\" + fileNames[random_() % _countof(fileNames)];
            MoveFileW(file.c_str(), other.c_str());
            return L"moved " + file + L" to " + other;
        }
        case 3: {
            // Only the case changes, of a file or a folder.
            std::wstring changed = random_() % 2 ? file : folder;
            std::wstring renamed = changed;
            for (size_t i = changed.find_last_of(L'\\') + 1; i < renamed.size(); ++i)
                renamed[i] = iswupper(renamed[i]) ? towlower(renamed[i]) : towupper(renamed[i]);
            MoveFileW(changed.c_str(), renamed.c_str());
            return L"renamed " + changed + L" to " + renamed;
        }
        case 4:
            removeTree(folder);
            return L"removed the folder " + folder;
        default: {
            // A folder renamed, or moved into another (not into itself).
            std::wstring other = where + L"\\" + folderNames[random_() % _countof(folderNames)];
            MoveFileW(folder.c_str(), other.c_str());
            return L"moved the folder " + folder + L" to " + other;
        }
        }
    }

    // Waits until every change made so far has come in: the watch tells the changes of a tree in
    // the order they were made, so once a mark made after them is in, they are.
    bool delivered()
    {
        if (!holdsListing(root().c_str(), markFolder))
            return true;
        tree_.file(std::wstring(L"w\\") + markFolder + L"\\mark" + std::to_wstring(++marks_));
        return within(patience, [&] { return !holdsListing(root().c_str(), markFolder); });
    }

private:
    std::wstring at(const std::wstring& relative) const { return root() + L"\\" + relative; }
    std::wstring pick(const std::vector<std::wstring>& items) { return items[random_() % items.size()]; }

    std::wstring make()
    {
        std::vector<std::wstring> files;
        std::vector<std::wstring> folders;
        scan(root(), L"", files, folders);
        folders.push_back(L"");
        std::wstring folder = pick(folders);
        std::wstring prefix = folder.empty() ? L"w\\" : L"w\\" + folder + L"\\";
        if (random_() % 3 == 0 && folder.size() < 40) {
            std::wstring made = prefix + folderNames[random_() % _countof(folderNames)];
            tree_.file(made + L"\\" + fileNames[random_() % _countof(fileNames)]);
            return L"made the folder " + made;
        }
        std::wstring made = prefix + fileNames[random_() % _countof(fileNames)];
        tree_.file(made);
        return L"made " + made;
    }

    FolderTree tree_;
    std::mt19937 random_;
    unsigned marks_ = 0;
};
} // namespace

TEST(TreeCache, FindsWhatAFreshWalkFindsAfterEveryChangeOverGeneratedTrees)
{
    size_t compared = 0;
    size_t fromMemory = 0;
    for (unsigned seed = 2; seed <= 5; ++seed) {
        ChangingTree tree(seed);
        std::wstring history;
        for (int round = 0; round < 30; ++round) {
            ASSERT_TRUE(heldSoon(tree.root())) << "round " << round;
            history += tree.change() + L"\n";
            SCOPED_TRACE(narrow(L"seed " + std::to_wstring(seed) + L": " + history));
            // Searched before the change came in, a file that is gone is not given.
            for (const std::wstring& file : search(tree.root(), TreeSearch::fromMemory).files)
                EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << narrow(file);
            ASSERT_TRUE(tree.delivered());
            fromMemory += holdsListing(tree.root().c_str(), L"") ? 1 : 0;
            Found held = search(tree.root(), TreeSearch::fromMemory);
            ASSERT_EQ(held, search(tree.root(), TreeSearch::fromListings));
            ++compared;
        }
    }
    std::printf("%zu searches compared, %zu of them from memory\n", compared, fromMemory);
    // Most changes leave the tree held: only a folder renamed or moved makes it learned anew.
    EXPECT_GT(fromMemory, compared / 2);
}

TEST(TreeCache, AnOverflowOrAnotherRootInThePlaceOfTheFirstIsWalkedFromTheDisk)
{
    ChangingTree tree(7);
    ASSERT_TRUE(heldSoon(tree.root()));
    // More changes at once than one answer of the watch holds. Wine's own calls are too slow to
    // outrun the watch thread; a program of the system renaming files with long names is not, as
    // the thread looks up what each new name is.
    std::wstring burst = unixPathOf(tree.root() + L"\\" + markFolder);
    ASSERT_FALSE(burst.empty());
    ASSERT_TRUE(runUnixProgram(L"Z:\\usr\\bin\\perl",
        L"perl -e \"chdir shift; $n = 'n' x 200; for (1..3000) { open F, '>', $n.$_; close F } rename $n.$_, 'r'.$n.$_"
        L" for 1..3000\" \""
            + burst + L"\""));
    ASSERT_TRUE(within(patience, [&] { return !holdsListing(tree.root().c_str(), L""); }));
    EXPECT_EQ(search(tree.root(), TreeSearch::fromMemory), search(tree.root(), TreeSearch::fromListings));

    // The root renamed away and another folder made in its place: the held tree was the other's.
    ASSERT_TRUE(heldSoon(tree.root()));
    std::wstring moved = tree.root() + L"-moved";
    ASSERT_TRUE(MoveFileW(tree.root().c_str(), moved.c_str()));
    CreateDirectoryW(tree.root().c_str(), nullptr);
    writeFileBytes(tree.root() + L"\\util.c", "");
    Found found = search(tree.root(), TreeSearch::fromMemory);
    EXPECT_EQ(found, search(tree.root(), TreeSearch::fromListings));
    EXPECT_EQ(found.files, std::vector<std::wstring>{tree.root() + L"\\util.c"});
    removeTree(tree.root());
    MoveFileW(moved.c_str(), tree.root().c_str());
}

TEST(TreeCache, ATreeWhoseNotificationsCantBeCheckedIsNotHeld)
{
    if (!underWine())
        GTEST_SKIP() << "only Wine's notifications are checked";
    // The check makes its folder in the temporary folder: without one it fails.
    wchar_t temporary[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"TMP", temporary, _countof(temporary));
    ChangingTree unchecked(8);
    SetEnvironmentVariableW(L"TMP", L"C:\\no such folder");
    search(unchecked.root(), TreeSearch::fromMemory);
    bool held = within(3000, [&] { return holdsListing(unchecked.root().c_str(), L""); });
    SetEnvironmentVariableW(L"TMP", temporary);
    EXPECT_FALSE(held);
    EXPECT_EQ(search(unchecked.root(), TreeSearch::fromMemory), search(unchecked.root(), TreeSearch::fromListings));
    // The same with a temporary folder: held.
    ChangingTree checked(9);
    EXPECT_TRUE(heldSoon(checked.root()));
}

TEST(TreeCache, SixteenTreesAreHeldAndTheOneUsedLongestAgoGoesFirst)
{
    std::vector<std::unique_ptr<FolderTree>> trees;
    for (int i = 0; i < 17; ++i) {
        trees.push_back(std::make_unique<FolderTree>());
        trees.back()->file(L"w\\sub\\util.c");
        ASSERT_TRUE(heldSoon(trees.back()->at(L"w"))) << i;
        // The first tree searched again is the one used last but for the newest.
        if (i == 15)
            search(trees[0]->at(L"w"), TreeSearch::fromMemory);
    }
    EXPECT_TRUE(holdsListing(trees[0]->at(L"w").c_str(), L""));
    EXPECT_FALSE(holdsListing(trees[1]->at(L"w").c_str(), L""));
    EXPECT_TRUE(holdsListing(trees[16]->at(L"w").c_str(), L""));
}

TEST(TreeCache, TheLibraryLetsItsThreadsGoAtShutdownAndUnloads)
{
    FolderTree tree;
    for (int i = 0; i < 300; ++i)
        tree.folder(L"w\\f" + std::to_wstring(i / 20) + L"\\g" + std::to_wstring(i));
    PickpathInEditor pickpath(SettingsText{0, 0, 0, {{L"C", L"*.c", L"!" + tree.at(L"w"), L".h"}}});
    ASSERT_TRUE(pickpath.loaded);
    pickpath.editor.document.open(tree.at(L"main.c"));
    pickpath.editor.document.currentWord = L"nothing";
    // The search is over; the tree is learned in the background while the editor shuts down.
    pickpath.openSelection();
    ULONGLONG start = GetTickCount64();
    pickpath.unload();
    EXPECT_LT(GetTickCount64() - start, 2500u);
    EXPECT_EQ(GetModuleHandleW(L"Pickpath.dll"), nullptr);
}

TEST(TreeCache, TreesInsideOneAnotherFindWhatAFreshWalkFinds)
{
    // Under Wine the tree searched second is walked from the disk: its watch would not hear the
    // folders the first one's watch opened.
    for (bool innerFirst : {true, false}) {
        SCOPED_TRACE(innerFirst ? "inner first" : "outer first");
        ChangingTree tree(11);
        std::wstring outer = tree.root();
        std::wstring inner = outer + L"\\in";
        CreateDirectoryW(inner.c_str(), nullptr);
        CreateDirectoryW((inner + L"\\deep").c_str(), nullptr);
        std::wstring first = innerFirst ? inner : outer;
        std::wstring second = innerFirst ? outer : inner;
        ASSERT_TRUE(heldSoon(first));
        EXPECT_EQ(heldSoon(second, underWine() ? 2000 : patience), !underWine());
        // The news comes in the order of the changes: once the last is in, both are.
        writeFileBytes(inner + L"\\util.h", "");
        writeFileBytes(inner + L"\\deep\\util.c", "");
        ASSERT_TRUE(within(patience, [&] { return !holdsListing(first.c_str(), innerFirst ? L"deep" : L"in\\deep"); }));
        EXPECT_EQ(search(inner, TreeSearch::fromMemory), search(inner, TreeSearch::fromListings));
        EXPECT_EQ(search(outer, TreeSearch::fromMemory), search(outer, TreeSearch::fromListings));
    }
}
