// The change notifications that keep held listings true: one watch per tree, all served by one
// thread of their own, so that the editor's thread never waits for the file system's news.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace pickpath {

// What the watch thread heard, in the order it heard it.
struct TreeNews {
    enum class Kind {
        changed,     // a name below a watched root was made, removed or renamed
        lost,        // the watch overflowed or failed: what it watched may have changed unseen
        checkPassed, // a folder opened after the check was asked for reported its change
        checkFailed, // ... or could not be made to, in time
    };
    Kind kind;
    unsigned id;           // the watch (changed, lost) or the check (checkPassed, checkFailed)
    DWORD action = 0;      // changed: FILE_ACTION_*
    bool isFolder = false; // changed to a new name: that name is a folder, or is gone already
    std::wstring path;     // changed: the name, below the root
};

// Watches root and every folder below it; 0 when it can't be watched. Under Wine only the folders
// opened after this returns report their changes, so a tree is listed after it is watched.
unsigned watchTree(const wchar_t* root);
// Ends a watch; news it gave before and that wasn't taken yet still comes.
void stopWatching(unsigned id) noexcept;

// Under Wine, every folder watched takes one of the system's inotify watches, which are few and
// shared by all programs: once they run out, folders opened later report nothing. Asks the watch
// thread to check that a folder opened from now on still reports its changes; check is the
// number its news will carry, 0 where notifications need no check. False when it can't be asked.
// On the editor's thread, or the thread that learns trees while a watch is on.
bool checkNotifications(unsigned& check) noexcept;

// Under Wine, the server remembers every folder it ever watched below a tree for as long as it runs:
// after the tree's watch ends, and after the folder is removed, when a new folder may get its number.
// Such a folder tells a later watch nothing. Watching the folder itself for a moment makes the
// server forget it, so that opening it next, under its tree's watch, is heard from: done for every
// folder a held tree lists for the first time, before it is listed. Nothing elsewhere.
void forgetOldWatches(const wchar_t* folder);

// Everything heard since the last call. allLost: the thread could not keep what it heard (out of
// memory), so every watch may have missed changes.
std::vector<TreeNews> takeTreeNews(bool& allLost);

// Ends every watch and the thread, waiting a short while at most, and watches nothing after. On the
// editor's thread as it shuts down, never under the loader lock.
void stopTreeWatches() noexcept;

// Whether the notifications come from Wine, whose own rules are told above.
bool underWine();

// Starts a thread that holds this library until it ends, which it does by FreeLibraryAndExitThread
// of its parameter: the library stays while the thread runs, whenever the editor lets it go. The
// caller owns the handle; null when the thread can't be started.
HANDLE startLibraryThread(LPTHREAD_START_ROUTINE routine, DWORD stackSize);

} // namespace pickpath
