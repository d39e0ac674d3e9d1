// The whole-tree search that answers from each folder's listing opens the very file that asking the
// file system for every name opens, over generated trees full of the cases where the two could part:
// names differing only in case, short names, trailing dots and blanks, names with and without
// extensions, folders named like the file, hidden files, links, and roots written in odd ways.
#include "fileSearch.h"
#include "folderWalk.h"
#include "pickpathTestSupport.h"
#include "pluginHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace pickpath;

namespace {
// Files and folders a generated tree draws from; "/" marks a folder.
const wchar_t* const pool[] = {L"util", L"util.h", L"Util.H", L"UTIL.C", L"util.c", L"util.txt", L"util.txt.h",
    L"util.h/", L"util/", L"Util.c/", L"a long file name.h", L"a long file name/", L".h", L"util.h.bak", L"utility.h",
    L"util .h", L"x;y/", L"util..h", L"noext"};

struct Generated {
    std::vector<std::wstring> files; // relative to the root
    std::vector<std::wstring> folders;
};

// A few levels of folders, each holding a random handful from the pool.
Generated generate(FolderTree& tree, unsigned seed)
{
    std::mt19937 random(seed);
    Generated made;
    std::vector<std::wstring> open = {L"w"};
    tree.folder(L"w");
    for (size_t next = 0; next < open.size() && open.size() < 24; ++next) {
        std::wstring folder = open[next];
        int count = std::uniform_int_distribution<int>(1, 5)(random);
        for (int i = 0; i < count; ++i) {
            std::wstring name = pool[std::uniform_int_distribution<size_t>(0, _countof(pool) - 1)(random)];
            std::wstring path = folder + L"\\" + name;
            if (name.back() == L'/') {
                path.pop_back();
                if (fileExists(tree.at(path)))
                    continue;
                tree.folder(path);
                open.push_back(path);
                made.folders.push_back(path);
            } else if (!fileExists(tree.at(path))) {
                tree.file(path);
                if (random() % 4 == 0)
                    SetFileAttributesW(tree.at(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
                made.files.push_back(path);
            }
        }
    }
    return made;
}

// The short name the file system gives a file, as the last part of a path.
std::wstring shortName(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = L"";
    DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    std::wstring whole = buffer;
    return whole.substr(whole.find_last_of(L'\\') + 1);
}

// The files a search opens, run after run, each one taken away before the next run.
std::vector<std::wstring> openedInTurn(StandinEditor& editor, const std::wstring& folderList,
    const std::wstring& extensions, const std::wstring& name, TreeSearch how, std::vector<std::wstring>& removed)
{
    std::vector<std::wstring> opened;
    for (int run = 0; run < 16; ++run) {
        editor.openedFiles.clear();
        SearchProgress progress(editor.mainWindow(), INFINITE);
        SearchResult result = searchAndOpen(folderList.c_str(), extensions.c_str(), name.c_str(), progress, how);
        if (result != SearchResult::found || editor.openedFiles.size() != 1)
            break;
        opened.push_back(editor.openedFiles.back());
        std::wstring path = editor.openedFiles.back();
        // A second path to the same file: hide it, to be put back for the other way of searching.
        std::wstring aside = path + L".aside";
        if (!MoveFileW(path.c_str(), aside.c_str()))
            break;
        removed.push_back(path);
    }
    return opened;
}

void putBack(std::vector<std::wstring>& removed)
{
    for (auto it = removed.rbegin(); it != removed.rend(); ++it)
        MoveFileW((*it + L".aside").c_str(), it->c_str());
    removed.clear();
}
} // namespace

TEST(FolderWalk, ListingAnswersOnlyForPlainNames)
{
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"util.h", true},
        {L"Util", true},
        {L"a long name.txt", true},
        {L".h", true},
        {L"", false},
        {L"util.", false},
        {L"util ", false},
        {L"..", false},
        {L"sub\\util.h", false},
        {L"sub/util.h", false},
        {L"C:util.h", false},
        {L"util*.h", false},
        {L"util?.h", false},
        {L"<util>", false},
        {L"\"util\"", false},
        {L"UTIL~1.H", false},
        {L"util|h", false},
        {L"util\tx", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listingAnswersFor(c.first), c.second) << narrow(c.first);
    std::wstring longest(255, L'n');
    EXPECT_TRUE(listingAnswersFor(longest.c_str()));
    EXPECT_FALSE(listingAnswersFor((longest + L"n").c_str()));
}

TEST(FolderWalk, OpensWhatAskingForEachNameOpensOverGeneratedTrees)
{
    StandinEditor editor;
    NppData saved = nppData;
    nppData = editor.nppData();
    const wchar_t* const extensionLists[] = {L".c;.h", L"", L".H;.txt", L".bak;;.h"};
    size_t compared = 0;
    size_t found = 0;
    size_t linkedTrees = 0;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        FolderTree tree;
        Generated made = generate(tree, seed);
        // Links named like the file: to a folder, to nothing at all, and to a file where the system can.
        bool links = tree.link(L"w\\lnkdir.h", L"w");
        tree.link(L"w\\gone.h", L"w\\missing");
        if (!made.files.empty())
            CreateSymbolicLinkW(tree.at(L"w\\lnk.h").c_str(), tree.at(made.files.front()).c_str(), 0);
        linkedTrees += links ? 1 : 0;
        std::vector<std::wstring> names = {L"util", L"Util", L"UTIL.H", L"util.h", L"util.", L"util ", L"util.txt",
            L"a long file name", L"A LONG FILE NAME.H", L".h", L"util.h.", L"noext", L"x;y", L"lnk", L"lnkdir", L"gone",
            L"w\\util", L"..\\util", L"*til", L"util..h"};
        for (const std::wstring& file : made.files) {
            std::wstring shortForm = shortName(tree.at(file));
            if (shortForm.find(L'~') != std::wstring::npos)
                names.push_back(shortForm);
        }
        // The root written as it is, and by turns with a trailing separator, forward slashes, ".." or
        // trailing dots, which the file system trims from the last name of a path and not from others.
        const std::wstring odd[]
            = {tree.at(L"w") + L"\\", tree.root() + L"/w", tree.at(L"w\\util\\.."), tree.at(L"w") + L".."};
        const std::wstring roots[] = {tree.at(L"w"), odd[seed % _countof(odd)]};
        for (const std::wstring& name : names)
            for (const wchar_t* extensions : extensionLists)
                for (const std::wstring& root : roots) {
                    SCOPED_TRACE(narrow(L"name \"" + name + L"\", extensions \"" + extensions + L"\", root " + root
                        + (links ? L", with links" : L"")));
                    std::vector<std::wstring> removed;
                    std::wstring folderList = L"!" + root;
                    std::vector<std::wstring> asking
                        = openedInTurn(editor, folderList, extensions, name, TreeSearch::askingForEachName, removed);
                    putBack(removed);
                    std::vector<std::wstring> listing
                        = openedInTurn(editor, folderList, extensions, name, TreeSearch::fromListings, removed);
                    putBack(removed);
                    ASSERT_EQ(listing, asking);
                    ++compared;
                    found += asking.size();
                }
    }
    nppData = saved;
    std::printf("%zu searches compared, %zu files found, %zu trees with links\n", compared, found, linkedTrees);
    // The trees must give the comparison something to compare.
    EXPECT_GT(compared, 500u);
    EXPECT_GT(found, 100u);
}
