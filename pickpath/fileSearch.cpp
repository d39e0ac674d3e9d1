#include "fileSearch.h"

#include "folderWalk.h"
#include "maskList.h"
#include "pathTemplate.h"
#include "pluginHost.h"
#include "treeCache.h"

#include <shlwapi.h>
#include <strsafe.h>

#include <algorithm>
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

// One search for some names: the extensions to try and the names they make, made once and used
// for every folder.
class FileSearch : private FolderVisitor {
public:
    FileSearch(const PointedName* names, size_t nameCount, const wchar_t* extensionList, Gather gather,
        SearchProgress& progress, TreeSearch treeSearch, SearchOutcome& outcome);
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // Every item of a folder list in order, each expanded as a path template once.
    void inFolderList(const wchar_t* folderList);

private:
    AfterVisit visit(const wchar_t* folder, const Listed* listed, bool fromMemory) override;
    void onFolderTooDeep() override { progress_.onFolderTooDeep(); }
    const wchar_t* longPathOf(const wchar_t* folder, size_t tryIndex);
    bool inFolder(const wchar_t* folder, bool realName);
    bool lookFor(
        const wchar_t* folder, bool realName, const wchar_t* name, const wchar_t* extension, wchar_t* found) const;
    void makeTries();
    bool onFound(size_t nameIndex, const wchar_t* path);
    bool isListedAlready(const wchar_t* path);

    const PointedName* names_;
    size_t nameCount_;
    Gather gather_;
    SearchProgress& progress_;
    TreeSearch treeSearch_;
    SearchOutcome& outcome_;
    wchar_t extensionText_[pathCapacity];
    const wchar_t* extensions_[maxExtensions];
    size_t extensionCount_ = 0;
    // The whole name each name and extension make, as the file system's search makes it, name by
    // name: tries_[name * extensionCount_ + extension].
    std::vector<std::wstring> tryNames_;
    const wchar_t* tries_[maxSearchNames * maxExtensions];
    // Names from this one on no longer count: a name before them was found.
    size_t wantedNames_;
    std::vector<FileIdentity> identities_;
    std::vector<wchar_t> longPath_; // a file's path in the long form, made when first needed
    bool atRoot_ = false;
    bool over_ = false;
    bool listingAgain_ = false; // the folder visited last comes again, listed from the disk
};

FileSearch::FileSearch(const PointedName* names, size_t nameCount, const wchar_t* extensionList, Gather gather,
    SearchProgress& progress, TreeSearch treeSearch, SearchOutcome& outcome)
    : names_(names)
    , nameCount_(nameCount < maxSearchNames ? nameCount : maxSearchNames)
    , gather_(gather)
    , progress_(progress)
    , treeSearch_(treeSearch)
    , outcome_(outcome)
    , wantedNames_(nameCount_)
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
void FileSearch::makeTries()
{
    tryNames_.reserve(nameCount_ * extensionCount_);
    for (size_t n = 0; n < nameCount_; ++n) {
        const wchar_t* name = names_[n].Name;
        bool takesExtensions = wcschr(name, L'.') == nullptr;
        for (size_t i = 0; i < extensionCount_; ++i)
            tryNames_.push_back(takesExtensions ? std::wstring(name) + extensions_[i] : std::wstring(name));
    }
    for (size_t i = 0; i < tryNames_.size(); ++i)
        tries_[i] = tryNames_[i].c_str();
}

// SearchPathW's own rules: an extension is added only to a name without one, and a name that holds a
// full path is looked for there. A folder that is empty stands for the system search path.
bool FileSearch::lookFor(
    const wchar_t* folder, bool realName, const wchar_t* name, const wchar_t* extension, wchar_t* found) const
{
    // SearchPathW takes ";" for a separator between folders, so a real folder with ";" in its name
    // is looked into directly, by the same rules.
    if (realName && wcschr(folder, L';') != nullptr) {
        wchar_t candidate[pathCapacity];
        if (PathCombineW(candidate, folder, name) == nullptr)
            return false;
        if (extension[0] != L'\0' && *PathFindExtensionW(name) == L'\0'
            && StringCchCatW(candidate, _countof(candidate), extension) != S_OK)
            return false;
        if (GetFileAttributesW(candidate) == INVALID_FILE_ATTRIBUTES)
            return false;
        DWORD length = GetFullPathNameW(candidate, pathCapacity, found, nullptr);
        return length > 0 && length < pathCapacity;
    }
    DWORD length = SearchPathW(folder[0] != L'\0' ? folder : nullptr, name, extension[0] != L'\0' ? extension : nullptr,
        pathCapacity, found, nullptr);
    // A longer path doesn't fit the buffer, and the editor couldn't open it either.
    return length > 0 && length < pathCapacity;
}

// The same file reached again, through a link or a folder listed twice, is listed once.
bool FileSearch::isListedAlready(const wchar_t* path)
{
    FileIdentity identity{0, 0};
    bool known = identifyFile(path, identity);
    for (size_t i = 0; i < outcome_.Files.size(); ++i) {
        const FileIdentity& other = identities_[i];
        if (known && other.index != 0
                ? other.index == identity.index && other.volume == identity.volume
                : CompareStringOrdinal(path, -1, outcome_.Files[i].Path.c_str(), -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    identities_.push_back(known ? identity : FileIdentity{0, 0});
    return false;
}

// True when the search is over: the first name is found, or the list is full.
bool FileSearch::onFound(size_t nameIndex, const wchar_t* path)
{
    FoundFile file{path, nameIndex};
    if (gather_ == Gather::first) {
        // Found earlier in the order, or by a name before the one found so far.
        outcome_.Files.assign(1, file);
        wantedNames_ = nameIndex;
        over_ = nameIndex == 0;
        return over_;
    }
    if (!isListedAlready(path))
        outcome_.Files.push_back(file);
    over_ = outcome_.Capped = outcome_.Files.size() >= maxGatheredFiles;
    return over_;
}

// Every wanted name with every extension; in a folder the first name found is the one that counts.
bool FileSearch::inFolder(const wchar_t* folder, bool realName)
{
    wchar_t found[pathCapacity];
    for (size_t n = 0; n < wantedNames_; ++n) {
        for (size_t i = 0; i < extensionCount_; ++i) {
            // A folder that has the name looked for is passed over.
            if (!lookFor(folder, realName, names_[n].Name, extensions_[i], found) || PathIsDirectoryW(found))
                continue;
            if (onFound(n, found))
                return true;
            if (gather_ == Gather::first)
                return false;
        }
    }
    return false;
}

void FileSearch::inFolderList(const wchar_t* folderList)
{
    if (nameCount_ == 0)
        return;
    makeTries();
    // Every item counts, the empty one after a trailing ";" too.
    for (const wchar_t* item = folderList; !over_;) {
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
            size_t tryCount = nameCount_ * extensionCount_;
            if (treeSearch_ == TreeSearch::askingForEachName)
                tryCount = 0;
            walkTree(folder, tries_, tryCount < maxTries ? tryCount : maxTries, *this,
                treeSearch_ == TreeSearch::fromMemory ? Listings::fromMemory : Listings::fromDisk);
        } else {
            ++outcome_.Folders;
            inFolder(folder, false);
        }
        if (end == nullptr)
            break;
        item = end + 1;
    }
}

// The long form of a file of a walk's folder whose path is MAX_PATH or longer; null when it has none
// that fits.
const wchar_t* FileSearch::longPathOf(const wchar_t* folder, size_t tryIndex)
{
    longPath_.resize(longestPath + 1);
    if (!makeLongPath(folder, tries_[tryIndex], longPath_.data(), longPath_.size()))
        return nullptr;
    return longPath_.data();
}

// A folder of a walk: what its listing can't tell is asked of the file system.
AfterVisit FileSearch::visit(const wchar_t* folder, const Listed* listed, bool fromMemory)
{
    // A folder listed again is still one folder searched.
    if (!listingAgain_) {
        if (!progress_.onFolder()) {
            outcome_.Result = SearchResult::stopped;
            over_ = true;
            return AfterVisit::endWalk;
        }
        ++outcome_.Folders;
    }
    listingAgain_ = false;
    // The root comes from a template, so it may be a list of folders itself; those below are real.
    bool realName = !atRoot_;
    atRoot_ = false;
    // The file system's search takes no path of MAX_PATH or more: such files are looked for by
    // their long form.
    size_t folderLength = wcslen(folder);
    bool longFolder = isLongForm(folder);
    wchar_t found[pathCapacity];
    for (size_t n = 0; n < wantedNames_; ++n) {
        for (size_t e = 0; e < extensionCount_; ++e) {
            size_t i = n * extensionCount_ + e;
            // The walk answers for as many tries as it takes; the file system for the rest.
            Listed answer = treeSearch_ != TreeSearch::askingForEachName && i < maxTries ? listed[i] : Listed::unknown;
            bool longFile = longFolder || folderLength + 1 + tryNames_[i].size() >= MAX_PATH;
            const wchar_t* hit = nullptr;
            // Whether the file system is asked if hit is a file.
            bool checked = false;
            if (answer == Listed::file) {
                if (longFile) {
                    hit = longPathOf(folder, i);
                } else {
                    // The path as the file system's search gives it.
                    wchar_t candidate[pathCapacity];
                    const wchar_t* separator = folderLength > 0 && folder[folderLength - 1] != L'\\' ? L"\\" : L"";
                    if (FAILED(
                            StringCchPrintfW(candidate, _countof(candidate), L"%s%s%s", folder, separator, tries_[i])))
                        continue;
                    DWORD fullLength = GetFullPathNameW(candidate, pathCapacity, found, nullptr);
                    if (fullLength > 0 && fullLength < pathCapacity)
                        hit = found;
                }
                checked = fromMemory;
            } else if (answer == Listed::unknown) {
                if (!longFolder && lookFor(folder, realName, names_[n].Name, extensions_[e], found)
                    && !PathIsDirectoryW(found)) {
                    hit = found;
                } else if (longFile && realName) {
                    hit = longPathOf(folder, i);
                    checked = true;
                }
            }
            if (hit != nullptr && checked && !isFile(hit)) {
                // A listing held in memory named a file that is gone, its change not taken in yet.
                if (answer == Listed::file) {
                    listingAgain_ = true;
                    return AfterVisit::listAgain;
                }
                hit = nullptr;
            }
            if (hit == nullptr)
                continue;
            if (onFound(n, hit))
                return AfterVisit::endWalk;
            if (gather_ == Gather::first)
                return AfterVisit::goOn;
        }
    }
    return AfterVisit::goOn;
}
} // namespace

SearchOutcome searchFiles(const wchar_t* folderList, const wchar_t* extensionList, const PointedName* names,
    size_t nameCount, Gather gather, SearchProgress& progress, TreeSearch treeSearch)
{
    SearchOutcome outcome;
    {
        FileSearch search(names, nameCount, extensionList, gather, progress, treeSearch, outcome);
        search.inFolderList(folderList);
    }
    learnNewTrees();
    outcome.FoldersTooDeep = progress.foldersTooDeep();
    if (outcome.Result != SearchResult::stopped && !outcome.Files.empty())
        outcome.Result = SearchResult::found;
    // Found folder by folder, listed name by name.
    std::stable_sort(outcome.Files.begin(), outcome.Files.end(),
        [](const FoundFile& a, const FoundFile& b) { return a.NameIndex < b.NameIndex; });
    return outcome;
}

bool openInEditor(const wchar_t* path)
{
    return SendMessageW(nppData._nppHandle, NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(path)) != 0;
}

SearchResult searchAndOpen(const wchar_t* folderList, const wchar_t* extensionList, const wchar_t* name,
    SearchProgress& progress, TreeSearch treeSearch)
{
    PointedName looked = {};
    if (StringCchCopyW(looked.Name, _countof(looked.Name), name) != S_OK || looked.Name[0] == L'\0')
        return SearchResult::notFound;
    SearchOutcome outcome = searchFiles(folderList, extensionList, &looked, 1, Gather::first, progress, treeSearch);
    if (outcome.Result == SearchResult::found)
        openInEditor(outcome.Files.front().Path.c_str());
    return outcome.Result;
}

int findSearchEntry(const wchar_t* fileName)
{
    // The first matching entry applies; an entry with an empty mask never does.
    for (unsigned i = 0; i < searchEntryTable.Count && i < MaxSearchEntries; ++i)
        if (matchesMaskList(fileName, searchEntryTable.Entries[i].Mask))
            return static_cast<int>(i);
    return -1;
}

void buildSearchLists(const SearchEntry* entry, SearchLists& lists)
{
    wchar_t extension[pathCapacity];
    askEditor(NPPM_GETEXTPART, extension, _countof(extension));
    wchar_t fileFolder[pathCapacity];
    askEditor(NPPM_GETCURRENTDIRECTORY, fileFolder, _countof(fileFolder));
    wchar_t workingFolder[pathCapacity] = L"";
    DWORD length = GetCurrentDirectoryW(_countof(workingFolder), workingFolder);
    if (length == 0 || length >= _countof(workingFolder))
        workingFolder[0] = L'\0';

    lists.Folders[0] = L'\0';
    appendListItem(lists.Folders, _countof(lists.Folders), fileFolder, wcslen(fileFolder));
    appendListItem(lists.Folders, _countof(lists.Folders), workingFolder, wcslen(workingFolder));
    if (entry != nullptr)
        appendListItems(lists.Folders, _countof(lists.Folders), entry->Path);

    lists.Extensions[0] = L'\0';
    appendListItem(lists.Extensions, _countof(lists.Extensions), extension, wcslen(extension));
    if (entry != nullptr && entry->Ext[0] != L'\0')
        appendListItems(lists.Extensions, _countof(lists.Extensions), entry->Ext);
}

} // namespace pickpath
