#include "fileSearch.h"

#include "maskList.h"
#include "pathTemplate.h"
#include "pluginHost.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {
// Large enough that most folders are listed in one request.
constexpr DWORD listingBufferSize = 64 * 1024;
// An extension list of 260 characters holds at most this many items.
constexpr size_t maxExtensions = pathCapacity / 2 + 1;

// Makes room for needed items in a block that grows by doubling; false when memory runs out.
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

// The folders a walk has entered, by identity.
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

    void clear()
    {
        if (slots_ != nullptr)
            std::memset(slots_, 0, capacity_ * sizeof(Slot));
        count_ = 0;
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

// Appends item and a ";" to a list when both fit, so an assembled list is only ever cut between items.
bool appendListItem(wchar_t* list, size_t capacity, const wchar_t* item, size_t itemLength)
{
    size_t length = wcslen(list);
    if (length + itemLength + 1 >= capacity)
        return false;
    wmemcpy(list + length, item, itemLength);
    list[length + itemLength] = L';';
    list[length + itemLength + 1] = L'\0';
    return true;
}

// Appends every item of items (a ";" list) that fits; stops at the first that doesn't.
void appendListItems(wchar_t* list, size_t capacity, const wchar_t* items)
{
    for (const wchar_t* item = items;;) {
        const wchar_t* end = wcschr(item, L';');
        size_t length = end != nullptr ? static_cast<size_t>(end - item) : wcslen(item);
        if (!appendListItem(list, capacity, item, length) || end == nullptr)
            return;
        item = end + 1;
    }
}

// One search for one name: the extensions to try and the walk's bookkeeping, made once and
// reused for every folder.
class FileSearch {
public:
    FileSearch(const wchar_t* name, const wchar_t* extensionList);
    ~FileSearch() { std::free(levels_); }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // Every item of a folder list in order, each expanded as a path template once.
    bool inFolderList(const wchar_t* folderList);

private:
    // One folder whose sub-folders are being walked: its entries in subfolders_ run from first to
    // end, next is the one to enter next.
    struct Level {
        size_t first;
        size_t end;
        size_t next;
        size_t pathLength;
        DWORD volume;
    };

    bool inFolder(const wchar_t* folder, bool realName);
    bool inTree(const wchar_t* root);
    bool enterSubfolder(Level level, size_t index);
    bool lookFor(const wchar_t* folder, bool realName, const wchar_t* extension, wchar_t* found) const;
    void open(const wchar_t* path) const;

    const wchar_t* name_;
    wchar_t extensionText_[pathCapacity];
    const wchar_t* extensions_[maxExtensions];
    size_t extensionCount_ = 0;

    wchar_t path_[pathCapacity];
    SubfolderList subfolders_;
    IdentitySet entered_;
    Level* levels_ = nullptr;
    size_t levelCount_ = 0;
    size_t levelCapacity_ = 0;
};

FileSearch::FileSearch(const wchar_t* name, const wchar_t* extensionList)
    : name_(name)
{
    // A list too long for the buffer loses its last items, never part of one.
    if (StringCchCopyW(extensionText_, _countof(extensionText_), extensionList) != S_OK) {
        wchar_t* lastSeparator = wcsrchr(extensionText_, L';');
        *(lastSeparator != nullptr ? lastSeparator : extensionText_) = L'\0';
    }
    // Cut into items like the folder list; an extension that comes twice gives the same tries
    // twice, so it is tried once.
    for (wchar_t* item = extensionText_; item != nullptr && extensionCount_ < maxExtensions;) {
        wchar_t* end = wcschr(item, L';');
        if (end != nullptr)
            *end = L'\0';
        bool repeated = false;
        for (size_t i = 0; i < extensionCount_ && !repeated; ++i)
            repeated = wcscmp(extensions_[i], item) == 0;
        if (!repeated)
            extensions_[extensionCount_++] = item;
        item = end != nullptr ? end + 1 : nullptr;
    }
}

void FileSearch::open(const wchar_t* path) const
{
    SendMessageW(nppData._nppHandle, NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(path));
}

// SearchPathW's own rules: an extension is added only to a name without one, and a name that holds a
// full path is looked for there. A folder that is empty stands for the system search path.
bool FileSearch::lookFor(const wchar_t* folder, bool realName, const wchar_t* extension, wchar_t* found) const
{
    // SearchPathW takes ";" for a separator between folders, so a real folder with ";" in its name
    // is looked into directly, by the same rules.
    if (realName && wcschr(folder, L';') != nullptr) {
        wchar_t candidate[pathCapacity];
        if (PathCombineW(candidate, folder, name_) == nullptr)
            return false;
        if (extension[0] != L'\0' && *PathFindExtensionW(name_) == L'\0'
            && StringCchCatW(candidate, _countof(candidate), extension) != S_OK)
            return false;
        if (GetFileAttributesW(candidate) == INVALID_FILE_ATTRIBUTES)
            return false;
        DWORD length = GetFullPathNameW(candidate, pathCapacity, found, nullptr);
        return length > 0 && length < pathCapacity;
    }
    DWORD length = SearchPathW(folder[0] != L'\0' ? folder : nullptr, name_,
        extension[0] != L'\0' ? extension : nullptr, pathCapacity, found, nullptr);
    // A longer path doesn't fit the buffer, and the editor couldn't open it either.
    return length > 0 && length < pathCapacity;
}

bool FileSearch::inFolder(const wchar_t* folder, bool realName)
{
    wchar_t found[pathCapacity];
    for (size_t i = 0; i < extensionCount_; ++i) {
        // A folder that has the name looked for is passed over.
        if (lookFor(folder, realName, extensions_[i], found) && !PathIsDirectoryW(found)) {
            open(found);
            return true;
        }
    }
    return false;
}

bool FileSearch::inFolderList(const wchar_t* folderList)
{
    if (name_[0] == L'\0')
        return false;
    // Every item counts, the empty one after a trailing ";" too.
    for (const wchar_t* item = folderList;;) {
        const wchar_t* end = wcschr(item, L';');
        size_t length = end != nullptr ? static_cast<size_t>(end - item) : wcslen(item);
        wchar_t itemText[folderListCapacity];
        StringCchCopyNW(itemText, _countof(itemText), item, length);
        bool wholeTree = itemText[0] == L'!';
        const wchar_t* pathTemplate = wholeTree ? itemText + 1 : itemText;
        wchar_t folder[pathCapacity] = L"";
        if (pathTemplate[0] != L'\0')
            StringCchCopyW(folder, _countof(folder), expandPathTemplate(pathTemplate));
        if (wholeTree ? inTree(folder) : inFolder(folder, false))
            return true;
        if (end == nullptr)
            return false;
        item = end + 1;
    }
}

// Depth-first and pre-order, without recursion: a folder is searched before its sub-folders and the
// whole sub-tree of one sub-folder before its next sibling. Each folder is entered once, judged by
// its identity, so links that lead back into their parents end. The identity of an ordinary
// sub-folder comes with its parent's listing; only links and the root are opened to learn theirs.
bool FileSearch::inTree(const wchar_t* root)
{
    if (inFolder(root, false))
        return true;
    if (root[0] == L'\0')
        return false;
    entered_.clear();
    subfolders_.truncate(0);
    levelCount_ = 0;
    // A root that can't be told apart is still walked: only links need the check to end.
    FolderIdentity identity{0, 0};
    if (identifyFolder(root, identity))
        entered_.add(identity);
    if (StringCchCopyW(path_, _countof(path_), root) != S_OK)
        return false;
    listSubfolders(path_, subfolders_);
    if (subfolders_.count() == 0 || !reserve(levels_, levelCapacity_, 1))
        return false;
    levels_[levelCount_++] = Level{0, subfolders_.count(), 0, wcslen(path_), identity.volume};

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

// Enters one sub-folder of the level's folder: searches it and, when it has sub-folders of its own,
// makes them the next level. True when the file was found there.
bool FileSearch::enterSubfolder(Level level, size_t index)
{
    const SubfolderList::Subfolder subfolder = subfolders_.at(index);
    path_[level.pathLength] = L'\0';
    // Paths the platform's path functions refuse can't be searched.
    if (!PathAppendW(path_, subfolders_.name(index)))
        return false;
    FolderIdentity identity{level.volume, subfolder.fileIndex};
    if (subfolder.isLink && !identifyFolder(path_, identity))
        return false;
    if (identity.index != 0) {
        IdentitySet::Added added = entered_.add(identity);
        if (added == IdentitySet::Added::alreadyThere)
            return false;
        // Without a record of where it has been, the walk can't follow a link safely.
        if (added == IdentitySet::Added::noMemory && subfolder.isLink)
            return false;
    }
    // Found by listing, the folder is searched under its real name: not a template any more.
    if (inFolder(path_, true))
        return true;
    size_t first = subfolders_.count();
    listSubfolders(path_, subfolders_);
    if (subfolders_.count() > first && reserve(levels_, levelCapacity_, levelCount_ + 1))
        levels_[levelCount_++] = Level{first, subfolders_.count(), first, wcslen(path_), identity.volume};
    return false;
}
} // namespace

SubfolderList::~SubfolderList()
{
    std::free(folders_);
    std::free(names_);
    std::free(listing_);
}

void SubfolderList::truncate(size_t index)
{
    if (index >= count_)
        return;
    namesLength_ = folders_[index].nameOffset;
    count_ = index;
}

bool SubfolderList::add(const wchar_t* name, size_t length, ULONGLONG fileIndex, bool isLink)
{
    if (!reserve(folders_, capacity_, count_ + 1) || !reserve(names_, namesCapacity_, namesLength_ + length + 1))
        return false;
    folders_[count_++] = Subfolder{namesLength_, fileIndex, isLink};
    wmemcpy(names_ + namesLength_, name, length);
    names_[namesLength_ + length] = L'\0';
    namesLength_ += length + 1;
    return true;
}

void* SubfolderList::listingBuffer()
{
    // Entries in the listing are aligned on 8 bytes.
    if (listing_ == nullptr)
        listing_ = std::malloc(listingBufferSize);
    return listing_;
}

bool listSubfolders(const wchar_t* folder, SubfolderList& list)
{
    void* buffer = list.listingBuffer();
    if (buffer == nullptr)
        return false;
    // The listing that also gives each folder's index, so that the walk needs no call of its own to
    // tell folders apart.
    HANDLE directory = CreateFileW(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE)
        return false;
    bool complete = true;
    FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
    while (complete && GetFileInformationByHandleEx(directory, request, buffer, listingBufferSize)) {
        request = FileIdBothDirectoryInfo;
        for (auto* entry = static_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);;) {
            size_t length = entry->FileNameLength / sizeof(wchar_t);
            // No attribute but the directory flag decides: hidden and system folders are walked too.
            if ((entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isDotEntry(entry->FileName, length)
                && !list.add(entry->FileName, length, static_cast<ULONGLONG>(entry->FileId.QuadPart),
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

bool searchAndOpen(const wchar_t* folderList, const wchar_t* extensionList, const wchar_t* name)
{
    FileSearch search(name, extensionList);
    return search.inFolderList(folderList);
}

int findSearchEntry(const wchar_t* fileName)
{
    // The first matching entry applies; an entry with an empty mask never does.
    for (unsigned i = 0; i < searchEntryTable.Count && i < MaxSearchEntries; ++i)
        if (matchesMaskList(fileName, searchEntryTable.Entries[i].Mask))
            return static_cast<int>(i);
    return -1;
}

void buildSearchLists(const SearchEntry* entry)
{
    wchar_t selection[pathCapacity];
    askEditor(NPPM_GETCURRENTWORD, selection, _countof(selection));
    wchar_t extension[pathCapacity];
    askEditor(NPPM_GETEXTPART, extension, _countof(extension));
    wchar_t fileFolder[pathCapacity];
    askEditor(NPPM_GETCURRENTDIRECTORY, fileFolder, _countof(fileFolder));
    wchar_t workingFolder[pathCapacity] = L"";
    DWORD length = GetCurrentDirectoryW(_countof(workingFolder), workingFolder);
    if (length == 0 || length >= _countof(workingFolder))
        workingFolder[0] = L'\0';

    // Both lists end with ";": the empty item after it is the system search path and the bare name.
    wchar_t folderList[folderListCapacity] = L"";
    appendListItem(folderList, _countof(folderList), fileFolder, wcslen(fileFolder));
    appendListItem(folderList, _countof(folderList), workingFolder, wcslen(workingFolder));
    if (entry != nullptr)
        appendListItems(folderList, _countof(folderList), entry->Path);

    wchar_t extensionList[pathCapacity] = L"";
    appendListItem(extensionList, _countof(extensionList), extension, wcslen(extension));
    if (entry != nullptr && entry->Ext[0] != L'\0')
        appendListItems(extensionList, _countof(extensionList), entry->Ext);

    searchAndOpen(folderList, extensionList, selection);
}

void openCurrentSelection()
{
    wchar_t fileName[pathCapacity];
    askEditor(NPPM_GETFILENAME, fileName, _countof(fileName));
    int entry = findSearchEntry(fileName);
    buildSearchLists(entry >= 0 ? &searchEntryTable.Entries[entry] : nullptr);
}
