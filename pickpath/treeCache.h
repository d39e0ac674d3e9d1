// What walks learn of whole trees, kept for the editor's session: each folder's listing, so that a
// later walk of the same tree takes it from memory. The trees' change notifications keep the
// listings true; nothing is kept across sessions or written anywhere.
#pragma once

#include "folderWalk.h"
#include "treeWatch.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pickpath {

// An entry of a held listing: what a walk needs of it to decide a try and to enter a sub-folder.
struct ListedEntry {
    ULONGLONG fileIndex; // the entry's index on its volume, as listed
    uint32_t nameOffset; // in the folder's names
    uint16_t nameLength;
    uint16_t attributes; // of the listed attributes, only FILE_ATTRIBUTE_DIRECTORY and _REPARSE_POINT
};

// One folder of a held tree: its listing as the file system gave it, "." and ".." left out, and
// what is held of the sub-folders it lists.
struct HeldFolder {
    bool listed = false; // the entries are what the folder holds; a change in it clears this
    bool seen = false;   // listed at least once while the tree was watched
    std::wstring names;
    std::vector<ListedEntry> entries;
    // One per sub-folder entry, in their order; null until a walk enters it. Kept while the
    // listing is out of date, so that the news of changes further down still finds its folder.
    std::vector<std::unique_ptr<HeldFolder>> subfolders;
};

// A whole tree held for its root, as the root was written.
struct HeldTree {
    HeldTree();
    ~HeldTree();
    HeldTree(const HeldTree&) = delete;
    HeldTree& operator=(const HeldTree&) = delete;

    enum class State {
        learning, // to be learned, or watched and walked in the background (see treeLearning.h)
        held,     // its listings are held
        refused,  // too large to hold, or its notifications can't be trusted: searched from the disk
    };

    std::wstring root;
    FileIdentity identity = {};
    // The root's identity and those of the folders above it, as its full path leads up.
    std::vector<FileIdentity> ancestry;
    State state = State::learning;
    unsigned watch = 0;
    HeldFolder top;
    size_t bytes; // of its folders, as the heap gives them
    ULONGLONG lastUsed = 0;
    // Changes heard while it was learned, for the learned listings to take in.
    std::vector<TreeNews> heardWhileLearning;
    // Its notifications were seen to reach the folders its learning listed.
    bool trusted = false;
    // A check asked for since the tree learned folders, whose failure refuses the tree; 0 when none.
    unsigned check = 0;
    bool learned = false;  // the current walk listed folders the tree had never listed
    bool overfull = false; // it holds more than all trees together may: it goes after the walk

    // Whether a walk may take listings from memory.
    bool answers() const { return state == State::held && trusted && !overfull; }
};

// For the walk: the tree held for root, after taking in every change delivered so far; null when
// none may be used. A tree not known yet is learned after the search (see learnNewTrees).
HeldTree* treeToWalk(const wchar_t* root);
// After the walk: a tree that learned folders has its notifications checked; one that doesn't fit,
// or whose walk ran out of memory, is let go.
void afterWalk(HeldTree& tree, bool outOfMemory) noexcept;
// The held folder of parent's sub-folder at index (among its sub-folders), made when it has none;
// null when the tree holds nothing more.
HeldFolder* heldSubfolder(HeldTree& tree, HeldFolder& parent, size_t index);
// Keeps a folder's fresh, complete listing in place of what was held. Sub-folders listed again
// keep what is held below them when they are the same folders. Touches no tree but this one.
void hold(HeldTree& tree, HeldFolder& folder, std::wstring&& names, std::vector<ListedEntry>&& entries);

// After a search: the trees it met for the first time are watched, then learned in the background,
// so that the search itself walked them as it always did and nothing slowed it.
void learnNewTrees();

// Lets every tree go and stops the learning and every watch, at the editor's shutdown.
void forgetHeldTrees() noexcept;

// Whether the listing of the folder below root (relative, "" for the root) is held and may be
// used, after taking in every change delivered so far.
bool holdsListing(const wchar_t* root, const wchar_t* relative);

} // namespace pickpath
