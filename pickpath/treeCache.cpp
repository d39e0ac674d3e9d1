#include "treeCache.h"

#include "treeLearning.h"
#include "treeWatch.h"

#include <shlwapi.h>

#include <algorithm>
#include <new>
#include <string_view>
#include <unordered_map>

namespace pickpath {

namespace {
// The listings of every tree together take at most this much memory: the tree used longest ago
// goes first to make room, and a tree that doesn't fit by itself is walked as before.
constexpr size_t maxHeldBytes = 64 * 1024 * 1024;
// Each tree held is one change notification kept up by the system.
constexpr size_t maxHeldTrees = 16;
// Changes heard while a tree is learned, beyond which it is learned anew.
constexpr size_t maxHeardWhileLearning = 10000;
// What the heap keeps of its own for each block it gives.
constexpr size_t blockOverhead = 16;

std::vector<std::unique_ptr<HeldTree>> heldTrees;
ULONGLONG uses = 0;
// Every check answered, by number: they are answered in the order asked.
std::vector<std::pair<unsigned, bool>> answeredChecks;
// The tree a walk is using, never let go to make room.
const HeldTree* walkedTree = nullptr;

size_t ownBytes(const HeldFolder& folder)
{
    return sizeof(HeldFolder) + folder.names.capacity() * sizeof(wchar_t)
        + folder.entries.capacity() * sizeof(ListedEntry)
        + folder.subfolders.capacity() * sizeof(std::unique_ptr<HeldFolder>) + 4 * blockOverhead;
}

void account(HeldTree& tree, size_t before, size_t after)
{
    tree.bytes = tree.bytes - before + after;
}

size_t heldBytes()
{
    size_t bytes = 0;
    for (const auto& tree : heldTrees)
        bytes += tree->bytes;
    return bytes;
}

// Lets a sub-tree go folder by folder, not recursively: a chain of folders as deep as the long form
// of a path allows would exhaust the stack.
void release(HeldTree& tree, std::unique_ptr<HeldFolder> folder) noexcept
{
    std::vector<std::unique_ptr<HeldFolder>> pending;
    for (;;) {
        if (folder) {
            account(tree, ownBytes(*folder), 0);
            try {
                for (auto& subfolder : folder->subfolders)
                    if (subfolder)
                        pending.push_back(std::move(subfolder));
            } catch (const std::bad_alloc&) {
                // No room to go on this way: what is left goes with its parent.
            }
            folder.reset();
        }
        if (pending.empty())
            return;
        folder = std::move(pending.back());
        pending.pop_back();
    }
}

bool sameName(const HeldFolder& folder, const ListedEntry& entry, std::wstring_view name)
{
    return entry.nameLength == name.size()
        && CompareStringOrdinal(folder.names.data() + entry.nameOffset, entry.nameLength, name.data(),
               static_cast<int>(name.size()), TRUE)
        == CSTR_EQUAL;
}

// Calls use with the held place of every sub-folder named name, in any case.
template <typename Use> void forEachSubfolder(HeldFolder& folder, std::wstring_view name, Use use)
{
    size_t index = 0;
    for (const ListedEntry& entry : folder.entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (index < folder.subfolders.size() && sameName(folder, entry, name))
            use(folder.subfolders[index]);
        ++index;
    }
}

// The held folders a path below the root leads to: one, or one for each folder whose name differs
// only in case where the file system holds such names side by side.
std::vector<HeldFolder*> heldFolders(HeldFolder& top, std::wstring_view path)
{
    std::vector<HeldFolder*> found{&top};
    while (!path.empty() && !found.empty()) {
        size_t end = path.find(L'\\');
        std::wstring_view name = path.substr(0, end);
        path = end == std::wstring_view::npos ? std::wstring_view() : path.substr(end + 1);
        std::vector<HeldFolder*> next;
        for (HeldFolder* folder : found)
            forEachSubfolder(*folder, name, [&next](std::unique_ptr<HeldFolder>& held) {
                if (held)
                    next.push_back(held.get());
            });
        found.swap(next);
    }
    return found;
}

void dropTree(HeldTree& tree) noexcept
{
    stopWatching(tree.watch);
    auto found = std::find_if(heldTrees.begin(), heldTrees.end(),
        [&tree](const std::unique_ptr<HeldTree>& held) { return held.get() == &tree; });
    if (found != heldTrees.end())
        heldTrees.erase(found);
}

HeldTree* oldestTreeBut(const HeldTree* kept)
{
    HeldTree* oldest = nullptr;
    for (const auto& tree : heldTrees)
        if (tree.get() != kept && tree.get() != walkedTree && (oldest == nullptr || tree->lastUsed < oldest->lastUsed))
            oldest = tree.get();
    return oldest;
}

void makeRoom(HeldTree& tree) noexcept
{
    while (heldBytes() > maxHeldBytes) {
        HeldTree* oldest = oldestTreeBut(&tree);
        if (oldest == nullptr) {
            tree.overfull = true;
            return;
        }
        dropTree(*oldest);
    }
}

HeldTree* treeWatchedBy(unsigned watch)
{
    for (const auto& tree : heldTrees)
        if (tree->watch == watch)
            return tree.get();
    return nullptr;
}

HeldTree* treeOf(const wchar_t* root)
{
    for (const auto& tree : heldTrees)
        if (tree->root == root)
            return tree.get();
    return nullptr;
}

// Lets go of what the tree holds and of its watch: it is searched from the disk from now on.
void refuse(HeldTree& tree) noexcept
{
    stopWatching(tree.watch);
    tree.watch = 0;
    tree.state = HeldTree::State::refused;
    tree.trusted = false;
    tree.check = 0;
    tree.heardWhileLearning.clear();
    for (auto& subfolder : tree.top.subfolders)
        release(tree, std::move(subfolder));
    account(tree, ownBytes(tree.top), 0);
    tree.top = HeldFolder();
    account(tree, 0, ownBytes(tree.top));
}

// Wine goes on naming the changes in a renamed folder by its old name: only a new watch, and a walk
// after it, learn the new one.
bool renamesFolder(const TreeNews& news)
{
    return news.action == FILE_ACTION_RENAMED_NEW_NAME && news.isFolder;
}

// False when the change took the whole tree away.
bool applyChange(HeldTree& tree, const TreeNews& news)
{
    if (renamesFolder(news)) {
        dropTree(tree);
        return false;
    }
    std::wstring_view path(news.path);
    size_t split = path.find_last_of(L'\\');
    std::wstring_view name = split == std::wstring_view::npos ? path : path.substr(split + 1);
    for (HeldFolder* parent : heldFolders(tree.top, split == std::wstring_view::npos ? L"" : path.substr(0, split))) {
        bool isFolder = false;
        forEachSubfolder(*parent, name, [&isFolder](std::unique_ptr<HeldFolder>&) { isFolder = true; });
        if (isFolder && news.action == FILE_ACTION_RENAMED_OLD_NAME) {
            dropTree(tree);
            return false;
        }
        parent->listed = false;
        // A folder made or removed under a name held before is another folder now.
        forEachSubfolder(*parent, name, [&tree](std::unique_ptr<HeldFolder>& held) { release(tree, std::move(held)); });
    }
    return true;
}

// The answer to a check: the first answered that was asked after it. False when none came yet.
bool checkAnswer(unsigned check, bool& passed)
{
    auto answer = std::lower_bound(answeredChecks.begin(), answeredChecks.end(), std::make_pair(check, false));
    if (answer == answeredChecks.end())
        return false;
    passed = answer->second;
    return true;
}

// A tree waiting for its check trusts its notifications, or is refused, once the answer came.
void onCheckAnswered(HeldTree& tree)
{
    bool passed = false;
    if (tree.check == 0 || !checkAnswer(tree.check, passed))
        return;
    tree.check = 0;
    if (passed)
        tree.trusted = true;
    else
        refuse(tree);
}

// The learned listings take the place of the tree's empty ones, and take in what changed while
// they were made.
void adopt(LearnedTree& learned)
{
    HeldTree* tree = treeWatchedBy(learned.watch);
    // Let go meanwhile, or learned anew: these listings go.
    if (tree == nullptr || tree->state != HeldTree::State::learning)
        return;
    if (!learned.tree || !learned.checkAsked) {
        refuse(*tree);
        return;
    }
    std::swap(tree->top, learned.tree->top);
    std::swap(tree->bytes, learned.tree->bytes);
    tree->state = HeldTree::State::held;
    tree->trusted = learned.check == 0;
    tree->check = learned.check;
    onCheckAnswered(*tree);
    std::vector<TreeNews> heard;
    heard.swap(tree->heardWhileLearning);
    for (const TreeNews& news : heard)
        if (!applyChange(*tree, news))
            return;
    makeRoom(*tree);
    if (tree->overfull)
        refuse(*tree);
}

void onChange(const TreeNews& news)
{
    HeldTree* tree = treeWatchedBy(news.id);
    if (tree == nullptr)
        return;
    if (tree->state == HeldTree::State::held) {
        applyChange(*tree, news);
    } else if (tree->state == HeldTree::State::learning) {
        if (renamesFolder(news) || tree->heardWhileLearning.size() >= maxHeardWhileLearning)
            dropTree(*tree);
        else
            tree->heardWhileLearning.push_back(news);
    }
}

void takeInNews()
{
    bool learningLost = false;
    std::vector<LearnedTree> trees = takeLearnedTrees(learningLost);
    if (learningLost)
        for (size_t i = heldTrees.size(); i-- > 0;)
            if (heldTrees[i]->state == HeldTree::State::learning)
                dropTree(*heldTrees[i]);
    for (LearnedTree& learned : trees)
        adopt(learned);
    bool allLost = false;
    std::vector<TreeNews> news = takeTreeNews(allLost);
    if (allLost) {
        while (!heldTrees.empty())
            dropTree(*heldTrees.back());
        return;
    }
    for (const TreeNews& item : news) {
        switch (item.kind) {
        case TreeNews::Kind::changed:
            onChange(item);
            break;
        case TreeNews::Kind::lost:
            if (HeldTree* tree = treeWatchedBy(item.id))
                dropTree(*tree);
            break;
        case TreeNews::Kind::checkPassed:
        case TreeNews::Kind::checkFailed:
            answeredChecks.emplace_back(item.id, item.kind == TreeNews::Kind::checkPassed);
            for (const auto& tree : heldTrees)
                onCheckAnswered(*tree);
            break;
        }
    }
}

std::vector<FileIdentity> ancestryOf(const wchar_t* root, const FileIdentity& identity)
{
    std::vector<FileIdentity> ancestry{identity};
    wchar_t path[MAX_PATH];
    DWORD length = GetFullPathNameW(root, _countof(path), path, nullptr);
    if (length == 0 || length >= _countof(path))
        return ancestry;
    while (PathRemoveFileSpecW(path)) {
        FileIdentity above = {};
        if (identifyFile(path, above))
            ancestry.push_back(above);
    }
    return ancestry;
}

bool holdsIdentity(const std::vector<FileIdentity>& identities, const FileIdentity& identity)
{
    return std::any_of(identities.begin(), identities.end(), [&identity](const FileIdentity& held) {
        return held.volume == identity.volume && held.index == identity.index;
    });
}

// Under Wine a folder reports its changes to one chain of folders above it, made by the first
// watch that opened it: of two watched trees inside one another, the one watched later hears
// nothing of the folders the other opened first, nor may it be let to unmake that chain.
bool overlapsWatchedTree(const HeldTree& tree)
{
    return std::any_of(heldTrees.begin(), heldTrees.end(), [&tree](const std::unique_ptr<HeldTree>& other) {
        return other.get() != &tree && other->watch != 0
            && (holdsIdentity(tree.ancestry, other->identity) || holdsIdentity(other->ancestry, tree.identity));
    });
}

// A tree met for the first time: learned once the search is over (see learnNewTrees).
void addTree(const wchar_t* root, const FileIdentity& identity)
{
    if (heldTrees.size() >= maxHeldTrees)
        if (HeldTree* oldest = oldestTreeBut(nullptr))
            dropTree(*oldest);
    auto tree = std::make_unique<HeldTree>();
    tree->root = root;
    tree->identity = identity;
    tree->ancestry = ancestryOf(root, identity);
    tree->lastUsed = ++uses;
    heldTrees.push_back(std::move(tree));
}

// The same folder listed again keeps what is held below it: the same name, the same index on its
// volume, and no link.
void keepSubfolders(HeldFolder& folder, const std::wstring& names, const std::vector<ListedEntry>& entries,
    std::vector<std::unique_ptr<HeldFolder>>& subfolders)
{
    struct Held {
        size_t index;
        ULONGLONG fileIndex;
    };
    std::unordered_map<std::wstring_view, Held> held;
    size_t index = 0;
    for (const ListedEntry& entry : folder.entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (index < folder.subfolders.size() && folder.subfolders[index])
            held.emplace(std::wstring_view(folder.names.data() + entry.nameOffset, entry.nameLength),
                Held{index, entry.fileIndex});
        ++index;
    }
    if (held.empty())
        return;
    index = 0;
    for (const ListedEntry& entry : entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        auto found = held.find(std::wstring_view(names.data() + entry.nameOffset, entry.nameLength));
        if (found != held.end() && found->second.fileIndex == entry.fileIndex
            && !(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            subfolders[index] = std::move(folder.subfolders[found->second.index]);
        ++index;
    }
}
} // namespace

HeldTree::HeldTree()
    : bytes(ownBytes(top))
{
}

HeldTree::~HeldTree()
{
    for (auto& subfolder : top.subfolders)
        release(*this, std::move(subfolder));
}

HeldTree* treeToWalk(const wchar_t* root)
{
    takeInNews();
    FileIdentity identity = {};
    bool known = identifyFile(root, identity);
    HeldTree* tree = treeOf(root);
    // A root that went away, or another folder in its place, takes its tree with it.
    if (tree != nullptr
        && (!known || tree->identity.volume != identity.volume || tree->identity.index != identity.index)) {
        dropTree(*tree);
        tree = nullptr;
    }
    if (!known)
        return nullptr;
    if (tree == nullptr) {
        addTree(root, identity);
        return nullptr;
    }
    tree->lastUsed = ++uses;
    if (!tree->answers())
        return nullptr;
    walkedTree = tree;
    return tree;
}

void afterWalk(HeldTree& tree, bool outOfMemory) noexcept
{
    walkedTree = nullptr;
    if (outOfMemory) {
        dropTree(tree);
        return;
    }
    if (tree.learned) {
        tree.learned = false;
        unsigned check = 0;
        if (!checkNotifications(check))
            refuse(tree);
        else if (check != 0)
            tree.check = check;
    }
    makeRoom(tree);
    if (tree.overfull)
        refuse(tree);
}

HeldFolder* heldSubfolder(HeldTree& tree, HeldFolder& parent, size_t index)
{
    if (index >= parent.subfolders.size())
        return nullptr;
    std::unique_ptr<HeldFolder>& held = parent.subfolders[index];
    if (!held && !tree.overfull) {
        held = std::make_unique<HeldFolder>();
        account(tree, 0, ownBytes(*held));
    }
    return held.get();
}

void hold(HeldTree& tree, HeldFolder& folder, std::wstring&& names, std::vector<ListedEntry>&& entries)
{
    if (tree.overfull)
        return;
    names.shrink_to_fit();
    entries.shrink_to_fit();
    size_t folders = static_cast<size_t>(std::count_if(entries.begin(), entries.end(),
        [](const ListedEntry& entry) { return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }));
    std::vector<std::unique_ptr<HeldFolder>> subfolders(folders);
    keepSubfolders(folder, names, entries, subfolders);
    // Nothing below throws: the folder holds either its old listing or its new one.
    size_t before = ownBytes(folder);
    tree.learned = tree.learned || !folder.seen;
    folder.names.swap(names);
    folder.entries.swap(entries);
    folder.subfolders.swap(subfolders);
    folder.listed = true;
    folder.seen = true;
    account(tree, before, ownBytes(folder));
    for (auto& gone : subfolders)
        release(tree, std::move(gone));
    tree.overfull = tree.overfull || tree.bytes > maxHeldBytes;
}

void learnNewTrees()
{
    for (const auto& tree : heldTrees) {
        if (tree->state != HeldTree::State::learning || tree->watch != 0)
            continue;
        if (underWine() && overlapsWatchedTree(*tree)) {
            refuse(*tree);
            continue;
        }
        // Watched before the learning lists anything below it: under Wine only the folders opened
        // later report their changes.
        tree->watch = watchTree(tree->root.c_str());
        if (tree->watch == 0 || !learnTree(tree->root.c_str(), tree->watch))
            refuse(*tree);
    }
}

void forgetHeldTrees() noexcept
{
    stopLearning();
    stopTreeWatches();
    while (!heldTrees.empty())
        dropTree(*heldTrees.back());
}

bool holdsListing(const wchar_t* root, const wchar_t* relative)
{
    takeInNews();
    HeldTree* tree = treeOf(root);
    if (tree == nullptr || !tree->answers())
        return false;
    for (const HeldFolder* folder : heldFolders(tree->top, relative))
        if (folder->listed)
            return true;
    return false;
}

} // namespace pickpath
