#include "folderWalk.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace pickpath {

namespace {
// Large enough that most folders are listed in one request.
constexpr DWORD listingBufferSize = 64 * 1024;
constexpr size_t pathLength = MAX_PATH;

// Grows a realloc'ed block by doubling. Hand-written containers rather than standard ones: running
// out of memory in a walk must end it quietly, not throw out through the editor's message handler.
template <typename T> bool reserve(T*& items, size_t& capacity, size_t needed)
{
    if (needed <= capacity)
        return true;
    size_t grown = capacity == 0 ? 64 : capacity;
    while (grown < needed)
        grown *= 2;
    void* block = std::realloc(items, grown * sizeof(T));
    if (block == nullptr)
        return false;
    items = static_cast<T*>(block);
    capacity = grown;
    return true;
}

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

// Where a folder lives: the same pair means the same folder, whatever path leads there.
struct FolderIdentity {
    DWORD volume;
    ULONGLONG index;
};

// Identity of the folder a path leads to, following links; false when it can't be opened.
bool identifyFolder(const wchar_t* folder, FolderIdentity& identity)
{
    HANDLE handle = CreateFileW(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information;
    bool known = GetFileInformationByHandle(handle, &information) != FALSE;
    CloseHandle(handle);
    ULONGLONG index = (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    if (!known || index == 0)
        return false;
    identity = FolderIdentity{information.dwVolumeSerialNumber, index};
    return true;
}

// The folders a walk has entered, by identity: an open-addressing hash set (see reserve for why
// it is not a standard one).
class IdentitySet {
public:
    IdentitySet() = default;
    ~IdentitySet() { std::free(slots_); }
    IdentitySet(const IdentitySet&) = delete;
    IdentitySet& operator=(const IdentitySet&) = delete;

    enum class Added { added, alreadyThere, noMemory };

    Added add(const FolderIdentity& identity)
    {
        if ((count_ + 1) * 2 > capacity_ && !rehash(capacity_ == 0 ? 1024 : capacity_ * 2))
            return Added::noMemory;
        Slot* slot = find(slots_, capacity_, identity);
        if (slot->used)
            return Added::alreadyThere;
        *slot = Slot{identity, true};
        ++count_;
        return Added::added;
    }

private:
    struct Slot {
        FolderIdentity identity;
        bool used;
    };

    static Slot* find(Slot* slots, size_t capacity, const FolderIdentity& identity)
    {
        ULONGLONG hash = (identity.index ^ (static_cast<ULONGLONG>(identity.volume) << 17)) * 0x9E3779B97F4A7C15ull;
        size_t position = static_cast<size_t>(hash >> 32) & (capacity - 1);
        while (slots[position].used
            && (slots[position].identity.index != identity.index || slots[position].identity.volume != identity.volume))
            position = (position + 1) & (capacity - 1);
        return &slots[position];
    }

    bool rehash(size_t capacity)
    {
        auto* slots = static_cast<Slot*>(std::calloc(capacity, sizeof(Slot)));
        if (slots == nullptr)
            return false;
        for (size_t i = 0; i < capacity_; ++i)
            if (slots_[i].used)
                *find(slots, capacity, slots_[i].identity) = slots_[i];
        std::free(slots_);
        slots_ = slots;
        capacity_ = capacity;
        return true;
    }

    Slot* slots_ = nullptr;
    size_t capacity_ = 0;
    size_t count_ = 0;
};

// The sub-folders of the folders being walked, in listing order: those of one folder follow those of
// its parent and are dropped again, last listed first (see reserve for why it is hand-written).
class SubfolderList {
public:
    struct Subfolder {
        size_t nameOffset;
        ULONGLONG fileIndex; // the folder's index on its volume; 0 when the file system has none
        bool isLink;         // a junction or symbolic link: its own index says nothing of its target
        bool keepsItsPlace;  // its name leads to it inside a path
    };

    SubfolderList() = default;
    ~SubfolderList()
    {
        std::free(folders_);
        std::free(names_);
    }
    SubfolderList(const SubfolderList&) = delete;
    SubfolderList& operator=(const SubfolderList&) = delete;

    size_t count() const { return count_; }
    const Subfolder& at(size_t index) const { return folders_[index]; }
    const wchar_t* name(size_t index) const { return names_ + folders_[index].nameOffset; }

    // Drops every sub-folder from index on.
    void truncate(size_t index)
    {
        if (index >= count_)
            return;
        namesLength_ = folders_[index].nameOffset;
        count_ = index;
    }

    bool add(const wchar_t* name, size_t length, ULONGLONG fileIndex, bool isLink)
    {
        if (!reserve(folders_, capacity_, count_ + 1) || !reserve(names_, namesCapacity_, namesLength_ + length + 1))
            return false;
        folders_[count_++] = Subfolder{namesLength_, fileIndex, isLink, keepsItsPlace(name, length)};
        wmemcpy(names_ + namesLength_, name, length);
        names_[namesLength_ + length] = L'\0';
        namesLength_ += length + 1;
        return true;
    }

private:
    Subfolder* folders_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
    wchar_t* names_ = nullptr;
    size_t namesLength_ = 0;
    size_t namesCapacity_ = 0;
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

// Lists a folder once: its sub-folders are appended to subfolders ("." and ".." left out, hidden and
// system ones kept) and every entry is shown to tries. False when the folder couldn't be listed
// whole; what was listed stays appended. When it couldn't be opened at all, openError says why.
bool listFolder(const wchar_t* folder, void* buffer, SubfolderList& subfolders, Tries& tries, DWORD& openError)
{
    // The listing that also gives each folder's index, so that the walk needs no call of its own to
    // tell folders apart.
    HANDLE directory = CreateFileW(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE) {
        openError = GetLastError();
        return false;
    }
    bool complete = true;
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    while (complete && GetFileInformationByHandleEx(directory, request, buffer, listingBufferSize)) {
        request = FileIdBothDirectoryInfo;
        for (auto* entry = static_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);;) {
            size_t length = entry->FileNameLength / sizeof(wchar_t);
            tries.onEntry(entry->FileName, length, entry->FileAttributes);
            // No attribute but the directory flag decides: hidden and system folders are walked too.
            if ((entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isDotEntry(entry->FileName, length)
                && !subfolders.add(entry->FileName, length, static_cast<ULONGLONG>(entry->FileId.QuadPart),
                    (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
                complete = false;
                break;
            }
            if (entry->NextEntryOffset == 0)
                break;
            entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
                reinterpret_cast<const BYTE*>(entry) + entry->NextEntryOffset);
        }
    }
    if (complete && GetLastError() != ERROR_NO_MORE_FILES)
        complete = false;
    CloseHandle(directory);
    return complete;
}

// A path that grows and shrinks at its end as the walk goes down and up (see reserve for why it is
// hand-written).
class PathText {
public:
    PathText() = default;
    ~PathText() { std::free(text_); }
    PathText(const PathText&) = delete;
    PathText& operator=(const PathText&) = delete;

    const wchar_t* text() const { return text_ != nullptr ? text_ : L""; }
    size_t length() const { return length_; }

    bool append(const wchar_t* text, size_t length)
    {
        if (!reserve(text_, capacity_, length_ + length + 1))
            return false;
        wmemcpy(text_ + length_, text, length);
        length_ += length;
        text_[length_] = L'\0';
        return true;
    }

    // The name after the path, with one backslash between them.
    bool appendName(const wchar_t* name)
    {
        if (length_ > 0 && text_[length_ - 1] != L'\\' && !append(L"\\", 1))
            return false;
        return append(name, wcslen(name));
    }

    // Back to what it was at an earlier length.
    void truncate(size_t length)
    {
        if (text_ != nullptr && length <= length_) {
            length_ = length;
            text_[length] = L'\0';
        }
    }

private:
    wchar_t* text_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
};

// One walk's bookkeeping.
class Walk {
public:
    Walk(const wchar_t* const* tries, size_t tryCount, FolderVisitor& visitor)
        : tries_(tries, tryCount)
        , visitor_(visitor)
    {
    }
    ~Walk()
    {
        std::free(levels_);
        std::free(listing_);
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;

    bool run(const wchar_t* root);

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

    bool enter(bool canonical, DWORD volume);
    bool enterSubfolder(Level level, size_t index);
    const wchar_t* folderPath() const;

    Tries tries_;
    FolderVisitor& visitor_;
    void* listing_ = nullptr;
    // The folder as written below the root, and in the long form once the root has one.
    PathText path_;
    PathText longPath_;
    bool longForms_ = false;
    SubfolderList subfolders_;
    IdentitySet entered_;
    Level* levels_ = nullptr;
    size_t levelCount_ = 0;
    size_t levelCapacity_ = 0;
};

// The current folder as the file functions take it: its path as written while that is shorter than
// MAX_PATH, its long form beyond; null when it has none that fits.
const wchar_t* Walk::folderPath() const
{
    if (path_.length() < MAX_PATH)
        return path_.text();
    return longForms_ && longPath_.length() < longestPath ? longPath_.text() : nullptr;
}

// Lists the current folder, shows it to the visitor and, when it has sub-folders, makes them the
// next level. True when the visitor ended the walk.
bool Walk::enter(bool canonical, DWORD volume)
{
    const wchar_t* folder = folderPath();
    if (folder == nullptr) {
        visitor_.onFolderTooDeep();
        return false;
    }
    size_t first = subfolders_.count();
    tries_.startFolder(canonical);
    DWORD openError = ERROR_SUCCESS;
    if (listing_ == nullptr || !listFolder(folder, listing_, subfolders_, tries_, openError)) {
        // Its parent listed it, so a long path the platform won't open, unless it says the folder
        // is denied or held, is one it can't reach.
        if (folder != path_.text() && openError != ERROR_SUCCESS && openError != ERROR_ACCESS_DENIED
            && openError != ERROR_SHARING_VIOLATION) {
            visitor_.onFolderTooDeep();
            return false;
        }
        tries_.listingFailed();
    }
    if (visitor_.visit(folder, tries_.listed()))
        return true;
    if (subfolders_.count() > first && reserve(levels_, levelCapacity_, levelCount_ + 1))
        levels_[levelCount_++]
            = Level{first, subfolders_.count(), first, path_.length(), longPath_.length(), volume, canonical};
    else
        subfolders_.truncate(first);
    return false;
}

bool Walk::run(const wchar_t* root)
{
    listing_ = std::malloc(listingBufferSize);
    if (!path_.append(root, wcslen(root)))
        return false;
    // A root that can't be told apart is still walked: only links need the check to end.
    FolderIdentity identity{0, 0};
    if (identifyFolder(root, identity))
        entered_.add(identity);
    // Only a path the file system takes as it is leads its lookups into the folder listed; ";"
    // would make the file system's search take it for several folders.
    wchar_t fullPath[pathLength];
    DWORD length = GetFullPathNameW(root, _countof(fullPath), fullPath, nullptr);
    bool known = length > 0 && length < _countof(fullPath);
    bool canonical = known && wcscmp(fullPath, root) == 0 && wcschr(root, L';') == nullptr;
    // Folders deeper than MAX_PATH are reached by the long form of the root's full path, the names
    // below it as listed.
    wchar_t longRoot[pathLength + 8];
    if (known && makeLongPath(fullPath, L"", longRoot, _countof(longRoot)))
        longForms_ = longPath_.append(longRoot, wcslen(longRoot));
    if (enter(canonical, identity.volume))
        return true;
    while (levelCount_ > 0) {
        Level& level = levels_[levelCount_ - 1];
        if (level.next == level.end) {
            subfolders_.truncate(level.first);
            --levelCount_;
            continue;
        }
        size_t index = level.next++;
        if (enterSubfolder(level, index))
            return true;
    }
    return false;
}

// The level is a copy: entering may move the levels. The sub-folder's path is made anew from its
// parent's, so one that can't be made leaves the walk of its siblings as it was.
bool Walk::enterSubfolder(Level level, size_t index)
{
    const SubfolderList::Subfolder subfolder = subfolders_.at(index);
    path_.truncate(level.pathLength);
    longPath_.truncate(level.longLength);
    if (!path_.appendName(subfolders_.name(index)) || (longForms_ && !longPath_.appendName(subfolders_.name(index))))
        return false;
    FolderIdentity identity{level.volume, subfolder.fileIndex};
    if (subfolder.isLink) {
        const wchar_t* folder = folderPath();
        if (folder == nullptr || !identifyFolder(folder, identity))
            return false;
    }
    if (identity.index != 0) {
        IdentitySet::Added added = entered_.add(identity);
        if (added == IdentitySet::Added::alreadyThere)
            return false;
        // Without a record of where it has been, the walk can't follow a link safely.
        if (added == IdentitySet::Added::noMemory && subfolder.isLink)
            return false;
    }
    return enter(level.canonical && subfolder.keepsItsPlace, identity.volume);
}
} // namespace

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
    size_t folderLength = wcslen(folder);
    size_t nameLength = wcslen(name);
    // Room for the folder, a backslash, the name and the terminator.
    wchar_t* joined = static_cast<wchar_t*>(std::malloc((folderLength + nameLength + 2) * sizeof(wchar_t)));
    if (joined == nullptr)
        return false;
    wmemcpy(joined, folder, folderLength);
    size_t length = folderLength;
    if (nameLength > 0 && length > 0 && joined[length - 1] != L'\\')
        joined[length++] = L'\\';
    wmemcpy(joined + length, name, nameLength);
    length += nameLength;
    joined[length] = L'\0';
    bool made = false;
    if (isLongForm(joined)) {
        made = length < capacity && StringCchCopyW(buffer, capacity, joined) == S_OK;
    } else if (wcsncmp(joined, L"\\\\.\\", 4) != 0) {
        DWORD needed = GetFullPathNameW(joined, 0, nullptr, nullptr);
        wchar_t* full = needed > 0 ? static_cast<wchar_t*>(std::malloc(needed * sizeof(wchar_t))) : nullptr;
        DWORD fullLength = full != nullptr ? GetFullPathNameW(joined, needed, full, nullptr) : 0;
        if (fullLength > 0 && fullLength < needed) {
            // A share's "\\server" becomes "\\?\UNC\server".
            bool share = full[0] == L'\\' && full[1] == L'\\';
            const wchar_t* prefix = share ? L"\\\\?\\UNC" : L"\\\\?\\";
            const wchar_t* rest = share ? full + 1 : full;
            made = StringCchCopyW(buffer, capacity, prefix) == S_OK && StringCchCatW(buffer, capacity, rest) == S_OK;
        }
        std::free(full);
    }
    std::free(joined);
    return made;
}

bool walkTree(const wchar_t* root, const wchar_t* const* tries, size_t tryCount, FolderVisitor& visitor)
{
    Walk walk(tries, tryCount, visitor);
    return walk.run(root);
}

} // namespace pickpath
