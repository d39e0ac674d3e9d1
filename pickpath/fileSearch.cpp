#include "fileSearch.h"

#include "folderWalk.h"
#include "maskList.h"
#include "pathTemplate.h"
#include "pluginHost.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <cstdlib>
#include <cwchar>

namespace pickpath {

namespace {
// An extension list of 260 characters holds at most this many items.
constexpr size_t maxExtensions = pathCapacity / 2 + 1;
static_assert(maxExtensions <= maxTries, "every extension gives one try");

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

// One search for one name: the extensions to try and the names they make, made once and used for
// every folder.
class FileSearch : private FolderVisitor {
public:
    FileSearch(const wchar_t* name, const wchar_t* extensionList, SearchProgress& progress, TreeSearch treeSearch);
    ~FileSearch()
    {
        std::free(tryText_);
        std::free(longPath_);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // Every item of a folder list in order, each expanded as a path template once.
    SearchResult inFolderList(const wchar_t* folderList);

private:
    bool visit(const wchar_t* folder, const Listed* listed) override;
    void onFolderTooDeep() override { progress_.onFolderTooDeep(); }
    bool openLongPath(const wchar_t* folder, size_t tryIndex, bool known);
    bool inFolder(const wchar_t* folder, bool realName);
    bool lookFor(const wchar_t* folder, bool realName, const wchar_t* extension, wchar_t* found) const;
    bool makeTries();
    void open(const wchar_t* path) const;

    const wchar_t* name_;
    SearchProgress& progress_;
    TreeSearch treeSearch_;
    wchar_t extensionText_[pathCapacity];
    const wchar_t* extensions_[maxExtensions];
    size_t extensionCount_ = 0;
    // The whole name each extension makes, as the file system's search makes it.
    wchar_t* tryText_ = nullptr;
    const wchar_t* tries_[maxExtensions];
    wchar_t* longPath_ = nullptr; // a file's path in the long form, made when first needed
    bool atRoot_ = false;
    bool stopped_ = false;
};

FileSearch::FileSearch(
    const wchar_t* name, const wchar_t* extensionList, SearchProgress& progress, TreeSearch treeSearch)
    : name_(name), progress_(progress), treeSearch_(treeSearch)
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

// The file system's search adds an extension only to a name without any ".".
bool FileSearch::makeTries()
{
    bool takesExtensions = wcschr(name_, L'.') == nullptr;
    size_t nameLength = wcslen(name_);
    size_t capacity = 0;
    for (size_t i = 0; i < extensionCount_; ++i)
        capacity += nameLength + (takesExtensions ? wcslen(extensions_[i]) : 0) + 1;
    tryText_ = static_cast<wchar_t*>(std::malloc(capacity * sizeof(wchar_t)));
    if (tryText_ == nullptr)
        return false;
    wchar_t* next = tryText_;
    for (size_t i = 0; i < extensionCount_; ++i) {
        size_t length = nameLength + (takesExtensions ? wcslen(extensions_[i]) : 0) + 1;
        StringCchCopyW(next, length, name_);
        if (takesExtensions)
            StringCchCatW(next, length, extensions_[i]);
        tries_[i] = next;
        next += length;
    }
    return true;
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

SearchResult FileSearch::inFolderList(const wchar_t* folderList)
{
    if (name_[0] == L'\0')
        return SearchResult::notFound;
    if (!makeTries())
        treeSearch_ = TreeSearch::askingForEachName;
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
        // The system search path has no sub-tree to walk.
        if (wholeTree && folder[0] != L'\0') {
            atRoot_ = true;
            size_t tryCount = treeSearch_ == TreeSearch::fromListings ? extensionCount_ : 0;
            if (walkTree(folder, tries_, tryCount, *this))
                return stopped_ ? SearchResult::stopped : SearchResult::found;
        } else if (inFolder(folder, false)) {
            return SearchResult::found;
        }
        if (end == nullptr)
            return SearchResult::notFound;
        item = end + 1;
    }
}

// A file of a walk's folder whose path is MAX_PATH or longer, looked for and opened by its long
// form; known: the listing says the file is there.
bool FileSearch::openLongPath(const wchar_t* folder, size_t tryIndex, bool known)
{
    if (tryText_ == nullptr)
        return false;
    if (longPath_ == nullptr)
        longPath_ = static_cast<wchar_t*>(std::malloc((longestPath + 1) * sizeof(wchar_t)));
    if (longPath_ == nullptr || !makeLongPath(folder, tries_[tryIndex], longPath_, longestPath + 1))
        return false;
    DWORD attributes = known ? FILE_ATTRIBUTE_NORMAL : GetFileAttributesW(longPath_);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    open(longPath_);
    return true;
}

// A folder of a walk: what its listing can't tell is asked of the file system.
bool FileSearch::visit(const wchar_t* folder, const Listed* listed)
{
    if (!progress_.onFolder()) {
        stopped_ = true;
        return true;
    }
    // The root comes from a template, so it may be a list of folders itself; those below are real.
    bool realName = !atRoot_;
    atRoot_ = false;
    // The file system's search takes no path of MAX_PATH or more: such files are looked for by
    // their long form.
    size_t folderLength = wcslen(folder);
    bool longFolder = isLongForm(folder);
    wchar_t found[pathCapacity];
    for (size_t i = 0; i < extensionCount_; ++i) {
        Listed answer = treeSearch_ == TreeSearch::fromListings ? listed[i] : Listed::unknown;
        bool longFile = longFolder || (tryText_ != nullptr && folderLength + 1 + wcslen(tries_[i]) >= MAX_PATH);
        if (answer == Listed::file) {
            if (longFile) {
                if (openLongPath(folder, i, true))
                    return true;
                continue;
            }
            // The path as the file system's search gives it.
            wchar_t candidate[pathCapacity];
            const wchar_t* separator = folderLength > 0 && folder[folderLength - 1] != L'\\' ? L"\\" : L"";
            if (FAILED(StringCchPrintfW(candidate, _countof(candidate), L"%s%s%s", folder, separator, tries_[i])))
                continue;
            DWORD fullLength = GetFullPathNameW(candidate, pathCapacity, found, nullptr);
            if (fullLength > 0 && fullLength < pathCapacity) {
                open(found);
                return true;
            }
        } else if (answer == Listed::unknown) {
            if (!longFolder && lookFor(folder, realName, extensions_[i], found) && !PathIsDirectoryW(found)) {
                open(found);
                return true;
            }
            if (longFile && realName && openLongPath(folder, i, false))
                return true;
        }
    }
    return false;
}
} // namespace

SearchResult searchAndOpen(const wchar_t* folderList, const wchar_t* extensionList, const wchar_t* name,
    SearchProgress& progress, TreeSearch treeSearch)
{
    FileSearch search(name, extensionList, progress, treeSearch);
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

    SearchProgress progress(nppData._nppHandle);
    searchAndOpen(folderList, extensionList, selection, progress);
}

void openCurrentSelection()
{
    wchar_t fileName[pathCapacity];
    askEditor(NPPM_GETFILENAME, fileName, _countof(fileName));
    int entry = findSearchEntry(fileName);
    buildSearchLists(entry >= 0 ? &searchEntryTable.Entries[entry] : nullptr);
}

} // namespace pickpath
