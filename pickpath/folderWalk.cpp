#include "folderWalk.h"

#include "scopedWin.h"
#include "treeCache.h"
#include "treeWatch.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cwchar>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

namespace pickpath {

namespace {
// Large enough that most folders are listed in one request.
constexpr DWORD listingBufferSize = 64 * 1024;
constexpr size_t pathLength = MAX_PATH;
// What a held listing keeps of an entry's attributes: all that the walk looks at.
constexpr DWORD heldAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

bool isDotEntry(const wchar_t* name, size_t length)
{
    return (length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.');
}

// The file system trims trailing dots and blanks from a path's names, so such a name in a path
// leads somewhere else than the listed entry; ";" would split the path in the file system's search.
bool keepsItsPlace(const wchar_t* name, size_t length)
{
    return length > 0 && name[length - 1] != L'.' && name[length - 1] != L' ' && wmemchr(name, L';', length) == nullptr;
}

struct IdentityHash {
    size_t operator()(const FileIdentity& identity) const
    {
        return static_cast<size_t>(
            (identity.index ^ (static_cast<ULONGLONG>(identity.volume) << 17)) * 0x9E3779B97F4A7C15ull >> 16);
    }
};

struct SameIdentity {
    bool operator()(const FileIdentity& a, const FileIdentity& b) const
    {
        return a.index == b.index && a.volume == b.volume;
    }
};

// The sub-folders of the folders being walked, in listing order: those of one folder follow those of
// its parent and are dropped again, last listed first.
class SubfolderList {
public:
    struct Subfolder {
        size_t nameOffset;
        size_t nameLength;
        ULONGLONG fileIndex; // the folder's index on its volume; 0 when the file system has none
        bool isLink;         // a junction or symbolic link: its own index says nothing of its target
        bool keepsItsPlace;  // its name leads to it inside a path
        // The held folder whose listing names it, and its place among that folder's sub-folders;
        // null when nothing below it is held (nor below a link, whose target may lie outside the
        // tree its notifications come from).
        HeldFolder* heldParent;
        size_t heldIndex;
    };

    size_t count() const { return folders_.size(); }
    const Subfolder& at(size_t index) const { return folders_[index]; }
    const wchar_t* name(size_t index) const { return names_.data() + folders_[index].nameOffset; }

    // Drops every sub-folder from index on.
    void truncate(size_t index)
    {
        if (index >= folders_.size())
            return;
        names_.resize(folders_[index].nameOffset);
        folders_.resize(index);
    }

    void add(const wchar_t* name, size_t length, ULONGLONG fileIndex, bool isLink, size_t heldIndex)
    {
        folders_.push_back(
            Subfolder{names_.size(), length, fileIndex, isLink, keepsItsPlace(name, length), nullptr, heldIndex});
        names_.append(name, length);
    }

    // The sub-folders from first on are those of the held folder's listing.
    void heldIn(size_t first, HeldFolder* folder)
    {
        for (size_t i = first; i < folders_.size(); ++i)
            folders_[i].heldParent = folders_[i].isLink ? nullptr : folder;
    }

private:
    std::vector<Subfolder> folders_;
    std::wstring names_;
};

// The names looked for, and what the folder being listed holds of each.
class Tries {
public:
    Tries(const wchar_t* const* names, size_t count)
        : count_(count < maxTries ? count : maxTries)
    {
        for (size_t i = 0; i < count_; ++i) {
            names_[i] = names[i];
            lengths_[i] = wcslen(names[i]);
            answerable_[i] = listingAnswersFor(names[i]);
        }
    }

    size_t count() const { return count_; }
    const Listed* listed() const { return listed_; }

    void startFolder(bool listingCanAnswer)
    {
        for (size_t i = 0; i < count_; ++i) {
            listed_[i] = listingCanAnswer && answerable_[i] ? Listed::absent : Listed::unknown;
            matches_[i] = 0;
        }
    }

    // Where two entries differ only in case, or the entry is a link, only the file system knows
    // which one its lookup lands on.
    void onEntry(const wchar_t* name, size_t length, DWORD attributes)
    {
        for (size_t i = 0; i < count_; ++i) {
            if (listed_[i] == Listed::unknown || lengths_[i] != length
                || CompareStringOrdinal(name, static_cast<int>(length), names_[i], static_cast<int>(length), TRUE)
                    != CSTR_EQUAL)
                continue;
            if (++matches_[i] > 1 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                listed_[i] = Listed::unknown;
            else
                listed_[i] = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Listed::folder : Listed::file;
        }
    }

    void listingFailed()
    {
        for (size_t i = 0; i < count_; ++i)
            listed_[i] = Listed::unknown;
    }

private:
    size_t count_;
    const wchar_t* names_[maxTries];
    size_t lengths_[maxTries];
    bool answerable_[maxTries];
    Listed listed_[maxTries];
    unsigned matches_[maxTries];
};

// Lists a folder once, showing every entry to onEntry ("." and ".." too). False when the folder
// couldn't be listed whole; when it couldn't be opened at all, openError says why.
template <typename OnEntry> bool listFolder(const wchar_t* folder, void* buffer, DWORD& openError, OnEntry onEntry)
{
    // The listing that also gives each folder's index, so that the walk needs no call of its own to
    // tell folders apart.
    UniqueFile directory(
        CreateFileW(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!directory) {
        openError = GetLastError();
        return false;
    }
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(directory.get(), request, buffer, listingBufferSize)) {
        request = FileIdBothDirectoryInfo;
        for (auto* entry = static_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);;) {
            onEntry(*entry);
            if (entry->NextEntryOffset == 0)
                break;
            entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
                reinterpret_cast<const BYTE*>(entry) + entry->NextEntryOffset);
        }
    }
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// name after path, with one backslash between them.
void appendName(std::wstring& path, const wchar_t* name, size_t length)
{
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    path.append(name, length);
}

// One walk's bookkeeping.
class Walk {
public:
    Walk(const wchar_t* const* tries, size_t tryCount, FolderVisitor& visitor)
        : tries_(tries, tryCount)
        , visitor_(visitor)
    {
    }

    bool run(const wchar_t* root, HeldTree* tree);
    // Whether the visitor is at work: what it throws is its own.
    bool visiting() const { return visiting_; }
    // Enters only the folders the tree holds: not those behind links.
    void enterHeldOnly() { heldOnly_ = true; }

private:
    // One folder whose sub-folders are being walked: its entries in subfolders_ run from first to
    // end, next is the one to enter next; its paths are the first pathLength and longLength
    // characters of path_ and longPath_.
    struct Level {
        size_t first;
        size_t end;
        size_t next;
        size_t pathLength;
        size_t longLength;
        DWORD volume;
        bool canonical;
    };

    bool enter(bool canonical, DWORD volume, HeldFolder* held);
    void fromMemory(const HeldFolder& held);
    bool fromDisk(const wchar_t* folder, HeldFolder* held, DWORD& openError);
    bool enterSubfolder(Level level, size_t index);
    const wchar_t* folderPath() const;

    Tries tries_;
    FolderVisitor& visitor_;
    bool visiting_ = false;
    bool heldOnly_ = false;
    HeldTree* tree_ = nullptr;
    // Aligned as the listing's entries must be.
    std::vector<ULONGLONG> listing_;
    // The folder as written below the root, and in the long form once the root has one.
    std::wstring path_;
    std::wstring longPath_;
    bool longForms_ = false;
    SubfolderList subfolders_;
    std::unordered_set<FileIdentity, IdentityHash, SameIdentity> entered_;
    std::vector<Level> levels_;
};

// The current folder as the file functions take it: its path as written while that is shorter than
// MAX_PATH, its long form beyond; null when it has none that fits.
const wchar_t* Walk::folderPath() const
{
    if (path_.size() < MAX_PATH)
        return path_.c_str();
    return longForms_ && longPath_.size() < longestPath ? longPath_.c_str() : nullptr;
}

// The held listing shown to the tries, as the disk's would be ("." and ".." answer no try).
void Walk::fromMemory(const HeldFolder& held)
{
    size_t index = 0;
    for (const ListedEntry& entry : held.entries) {
        const wchar_t* name = held.names.data() + entry.nameOffset;
        tries_.onEntry(name, entry.nameLength, entry.attributes);
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            subfolders_.add(name, entry.nameLength, entry.fileIndex,
                (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0, index++);
    }
}

// Lists the folder from the disk: its sub-folders are appended to subfolders_ ("." and ".." left
// out, hidden and system ones kept) and every entry is shown to the tries. A complete listing is
// held when the tree holds the folder. False when it couldn't be listed whole.
bool Walk::fromDisk(const wchar_t* folder, HeldFolder* held, DWORD& openError)
{
    if (listing_.empty())
        listing_.resize(listingBufferSize / sizeof(ULONGLONG));
    bool holding = held != nullptr && !tree_->overfull;
    if (holding && !held->seen)
        forgetOldWatches(folder);
    std::wstring names;
    std::vector<ListedEntry> entries;
    size_t first = subfolders_.count();
    size_t index = 0;
    bool complete = listFolder(folder, listing_.data(), openError, [&](const FILE_ID_BOTH_DIR_INFO& entry) {
        size_t length = entry.FileNameLength / sizeof(wchar_t);
        tries_.onEntry(entry.FileName, length, entry.FileAttributes);
        if (isDotEntry(entry.FileName, length))
            return;
        ULONGLONG fileIndex = static_cast<ULONGLONG>(entry.FileId.QuadPart);
        if (holding) {
            entries.push_back(ListedEntry{fileIndex, static_cast<uint32_t>(names.size()), static_cast<uint16_t>(length),
                static_cast<uint16_t>(entry.FileAttributes & heldAttributes)});
            names.append(entry.FileName, length);
        }
        // No attribute but the directory flag decides: hidden and system folders are walked too.
        if (entry.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            subfolders_.add(
                entry.FileName, length, fileIndex, (entry.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0, index++);
    });
    if (complete && holding) {
        hold(*tree_, *held, std::move(names), std::move(entries));
        subfolders_.heldIn(first, held);
    } else if (held != nullptr) {
        held->listed = false;
    }
    return complete;
}

// Lists the current folder, shows it to the visitor and, when it has sub-folders, makes them the
// next level. True when the visitor ended the walk.
bool Walk::enter(bool canonical, DWORD volume, HeldFolder* held)
{
    const wchar_t* folder = folderPath();
    if (folder == nullptr) {
        visitor_.onFolderTooDeep();
        return false;
    }
    size_t first = subfolders_.count();
    bool inMemory = held != nullptr && held->listed && tree_->answers();
    for (;;) {
        tries_.startFolder(canonical);
        DWORD openError = ERROR_SUCCESS;
        if (inMemory) {
            fromMemory(*held);
            subfolders_.heldIn(first, held);
        } else if (!fromDisk(folder, held, openError)) {
            // Its parent listed it, so a long path the platform won't open, unless it says the
            // folder is denied or held, is one it can't reach.
            if (folder != path_.c_str() && openError != ERROR_SUCCESS && openError != ERROR_ACCESS_DENIED
                && openError != ERROR_SHARING_VIOLATION) {
                visitor_.onFolderTooDeep();
                return false;
            }
            tries_.listingFailed();
        }
        visiting_ = true;
        AfterVisit after = visitor_.visit(folder, tries_.listed(), inMemory);
        visiting_ = false;
        if (after == AfterVisit::endWalk)
            return true;
        if (after != AfterVisit::listAgain || !inMemory)
            break;
        // The change that took the file away has not come in yet: what the disk lists now counts.
        subfolders_.truncate(first);
        held->listed = false;
        inMemory = false;
    }
    if (subfolders_.count() > first)
        levels_.push_back(Level{first, subfolders_.count(), first, path_.size(), longPath_.size(), volume, canonical});
    return false;
}

bool Walk::run(const wchar_t* root, HeldTree* tree)
{
    tree_ = tree;
    path_ = root;
    // A root that can't be told apart is still walked: only links need the check to end.
    FileIdentity identity{0, 0};
    if (identifyFile(root, identity))
        entered_.insert(identity);
    // Only a path the file system takes as it is leads its lookups into the folder listed; ";"
    // would make the file system's search take it for several folders.
    wchar_t fullPath[pathLength];
    DWORD length = GetFullPathNameW(root, _countof(fullPath), fullPath, nullptr);
    bool known = length > 0 && length < _countof(fullPath);
    bool canonical = known && wcscmp(fullPath, root) == 0 && wcschr(root, L';') == nullptr;
    // Folders deeper than MAX_PATH are reached by the long form of the root's full path, the names
    // below it as listed.
    wchar_t longRoot[pathLength + 8];
    if (known && makeLongPath(fullPath, L"", longRoot, _countof(longRoot))) {
        longPath_ = longRoot;
        longForms_ = true;
    }
    if (enter(canonical, identity.volume, tree != nullptr ? &tree->top : nullptr))
        return true;
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next == level.end) {
            subfolders_.truncate(level.first);
            levels_.pop_back();
            continue;
        }
        size_t index = level.next++;
        if (enterSubfolder(level, index))
            return true;
    }
    return false;
}

// The level is a copy: entering may move the levels. The sub-folder's path is made anew from its
// parent's.
bool Walk::enterSubfolder(Level level, size_t index)
{
    const SubfolderList::Subfolder subfolder = subfolders_.at(index);
    if (heldOnly_ && subfolder.heldParent == nullptr)
        return false;
    path_.resize(level.pathLength);
    longPath_.resize(level.longLength);
    appendName(path_, subfolders_.name(index), subfolder.nameLength);
    if (longForms_)
        appendName(longPath_, subfolders_.name(index), subfolder.nameLength);
    FileIdentity identity{level.volume, subfolder.fileIndex};
    if (subfolder.isLink) {
        const wchar_t* folder = folderPath();
        if (folder == nullptr || !identifyFile(folder, identity))
            return false;
    }
    if (identity.index != 0 && !entered_.insert(identity).second)
        return false;
    HeldFolder* held
        = subfolder.heldParent != nullptr ? heldSubfolder(*tree_, *subfolder.heldParent, subfolder.heldIndex) : nullptr;
    return enter(level.canonical && subfolder.keepsItsPlace, identity.volume, held);
}
// What a walk that only holds listings shows each folder to: nothing is looked for.
class Learning final : public FolderVisitor {
public:
    Learning(const HeldTree& tree, const std::atomic<bool>& stop)
        : tree_(tree)
        , stop_(stop)
    {
    }
    AfterVisit visit(const wchar_t*, const Listed*, bool) override
    {
        return stop_ || tree_.overfull ? AfterVisit::endWalk : AfterVisit::goOn;
    }

private:
    const HeldTree& tree_;
    const std::atomic<bool>& stop_;
};
} // namespace

bool isFile(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool identifyFile(const wchar_t* path, FileIdentity& identity)
{
    UniqueFile handle(CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!handle || !GetFileInformationByHandle(handle.get(), &information))
        return false;
    ULONGLONG index = (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    if (index == 0)
        return false;
    identity = FileIdentity{information.dwVolumeSerialNumber, index};
    return true;
}

bool listingAnswersFor(const wchar_t* name)
{
    size_t length = wcslen(name);
    if (length == 0 || length > 255 || name[length - 1] == L'.' || name[length - 1] == L' ')
        return false;
    for (size_t i = 0; i < length; ++i)
        if (name[i] < L' ' || wcschr(L"\\/:*?\"<>|~", name[i]) != nullptr)
            return false;
    return true;
}

bool isLongForm(const wchar_t* path)
{
    return wcsncmp(path, L"\\\\?\\", 4) == 0;
}

bool makeLongPath(const wchar_t* folder, const wchar_t* name, wchar_t* buffer, size_t capacity)
{
    std::wstring joined = folder;
    if (name[0] != L'\0' && !joined.empty() && joined.back() != L'\\')
        joined += L'\\';
    joined += name;
    if (isLongForm(joined.c_str()))
        return joined.size() < capacity && StringCchCopyW(buffer, capacity, joined.c_str()) == S_OK;
    if (wcsncmp(joined.c_str(), L"\\\\.\\", 4) == 0)
        return false;
    DWORD needed = GetFullPathNameW(joined.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::wstring full(needed, L'\0');
    DWORD fullLength = GetFullPathNameW(joined.c_str(), needed, &full[0], nullptr);
    if (fullLength == 0 || fullLength >= needed)
        return false;
    // A share's "\\server" becomes "\\?\UNC\server".
    bool share = full[0] == L'\\' && full[1] == L'\\';
    const wchar_t* prefix = share ? L"\\\\?\\UNC" : L"\\\\?\\";
    const wchar_t* rest = full.c_str() + (share ? 1 : 0);
    return StringCchCopyW(buffer, capacity, prefix) == S_OK && StringCchCatW(buffer, capacity, rest) == S_OK;
}

bool walkTree(
    const wchar_t* root, const wchar_t* const* tries, size_t tryCount, FolderVisitor& visitor, Listings listings)
{
    Walk walk(tries, tryCount, visitor);
    HeldTree* tree = nullptr;
    bool outOfMemory = false;
    auto done = scopeExit([&] {
        if (tree != nullptr)
            afterWalk(*tree, outOfMemory);
    });
    try {
        if (listings == Listings::fromMemory)
            tree = treeToWalk(root);
        return walk.run(root, tree);
    } catch (const std::bad_alloc&) {
        if (walk.visiting())
            throw;
        // Out of memory: the walk ends here, as if the tree ended, and lets its held tree go.
        outOfMemory = true;
        return false;
    }
}

bool walkIntoTree(const wchar_t* root, HeldTree& tree, const std::atomic<bool>& stop)
{
    Learning learning(tree, stop);
    Walk walk(nullptr, 0, learning);
    walk.enterHeldOnly();
    try {
        return !walk.run(root, &tree) && !stop && !tree.overfull;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace pickpath
