// Learning a whole tree in the background: the first search of a tree walks it from the disk as
// it always did, and meanwhile a thread of its own walks it again under the tree's watch, holding
// every folder's listing, so that later searches take them from memory. Under Wine the watch costs
// each folder opened under it some time, which the search so never pays.
#pragma once

#include "treeCache.h"

#include <memory>
#include <vector>

namespace pickpath {

// A tree learned, for the editor's thread to take over.
struct LearnedTree {
    unsigned watch;                 // the watch armed before the tree was walked
    std::unique_ptr<HeldTree> tree; // null when it was not learned whole: too large, or out of memory
    bool checkAsked;                // whether its notifications' check could be asked for
    unsigned check;                 // that check, asked for after the walk; 0 when none is needed
};

// Learns root's tree, watched by watch (armed already), in the background. False when it can't.
bool learnTree(const wchar_t* root, unsigned watch);
// The trees learned since the last call. someLost: the thread could not keep one it learned (out of
// memory), so trees still waiting to be learned may never come.
std::vector<LearnedTree> takeLearnedTrees(bool& someLost);
// Stops the learning, waiting a short while at most, and learns nothing after: at the editor's
// shutdown, before the watches end.
void stopLearning() noexcept;

} // namespace pickpath
