// The walk through a folder's whole sub-tree: every folder is listed once, and the listing tells
// both which sub-folders to enter and whether the names looked for are there.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>

namespace pickpath {

struct HeldTree;

// Where a file or folder lives: the same pair means the same one, whatever path leads there.
struct FileIdentity {
    DWORD volume;
    ULONGLONG index;
};

// The identity of what path leads to, following links; false when it can't be opened or the file
// system gives it none.
bool identifyFile(const wchar_t* path, FileIdentity& identity);

// Whether path names a file that is there, not a folder.
bool isFile(const wchar_t* path);

// What one folder's listing says of a name tried there.
enum class Listed {
    absent,
    file,
    folder,
    // The listing can't answer the way the file system's own search would: ask the file system.
    unknown,
};

// What the walk does after a folder was visited.
enum class AfterVisit {
    goOn,
    endWalk,
    // A file the listing held in memory names is gone: the folder is listed from the disk and
    // visited again.
    listAgain,
};

// Receives the folders of a walk, each once, the root first.
class FolderVisitor {
public:
    // listed[i] is what the folder's listing says of tries[i]. A folder whose path is MAX_PATH or
    // longer comes in its long form (see isLongForm). fromMemory: the listing was held from an
    // earlier walk, so a file it names may have gone since, its change not taken in yet.
    virtual AfterVisit visit(const wchar_t* folder, const Listed* listed, bool fromMemory) = 0;
    // A folder the walk found but could not enter, its path too long even for the long form or for
    // the platform; its sub-tree is not walked.
    virtual void onFolderTooDeep() { }

protected:
    ~FolderVisitor() = default;
};

// Most names a walk looks for in each folder.
constexpr size_t maxTries = 132;

// Where a walk takes each folder's listing from.
enum class Listings {
    fromDisk,
    // Held from earlier walks of the same tree and kept true by its change notifications (see
    // treeCache.h); from the disk where none is held, and then held for the next walk.
    fromMemory,
};

// Walks root and its whole sub-tree depth-first and pre-order: a folder before its sub-folders, the
// whole sub-tree of one sub-folder before its next sibling, siblings in the order the folder lists
// them. Each folder is entered once, judged by its identity, so links back into a parent end.
// tries (at most maxTries) are whole names, without a path. True when the visitor ended the walk.
// Out of memory, the walk ends quietly; what the visitor throws goes through.
bool walkTree(const wchar_t* root, const wchar_t* const* tries, size_t tryCount, FolderVisitor& visitor,
    Listings listings = Listings::fromDisk);

// Walks root's tree from the disk as a search would, holding every folder's listing in tree (which
// no other thread uses meanwhile), until stop is set or the tree holds too much. False when it
// didn't get through the whole tree.
bool walkIntoTree(const wchar_t* root, HeldTree& tree, const std::atomic<bool>& stop);

// Whether a listing answers for name as the file system would when the name is looked up in a
// folder: no path, drive or wildcard in it, no trailing dot or blank, nothing like a short name.
bool listingAnswersFor(const wchar_t* name);

// The most characters a path in the long form holds.
constexpr size_t longestPath = 32767;
// Whether the path is in the long form, "\\?\" and a full path, which the platform's file
// functions take past MAX_PATH, name by name as it is written.
bool isLongForm(const wchar_t* path);
// The long form of name (which may hold a relative path) in folder: after the folder when that is in
// the long form already, else of the full path the two make. False when it doesn't fit capacity.
bool makeLongPath(const wchar_t* folder, const wchar_t* name, wchar_t* buffer, size_t capacity);

} // namespace pickpath
