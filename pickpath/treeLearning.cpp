#include "treeLearning.h"

#include "folderWalk.h"
#include "scopedWin.h"
#include "treeWatch.h"

#include <atomic>
#include <deque>
#include <new>
#include <string>

namespace pickpath {

namespace {
constexpr DWORD learnerStackSize = 256 * 1024;
// A walk ends within one folder's listing of being stopped.
constexpr DWORD stopTimeout = 2000;

struct Job {
    std::wstring root;
    unsigned watch = 0;
};

// Shared by the editor's thread and the learner, under lock.
SRWLOCK lock = SRWLOCK_INIT;
std::deque<Job> jobs;
std::vector<LearnedTree> learned;
bool learnerRunning = false;
bool resultsLost = false;
std::atomic<bool> stopping{false};
// The editor's thread's own.
UniqueKernelHandle learner;

class Locked {
public:
    Locked() { AcquireSRWLockExclusive(&lock); }
    ~Locked() { ReleaseSRWLockExclusive(&lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

LearnedTree learn(const Job& job)
{
    auto tree = std::make_unique<HeldTree>();
    tree->root = job.root;
    if (!walkIntoTree(job.root.c_str(), *tree, stopping))
        return LearnedTree{job.watch, nullptr, false, 0};
    // Only now, after every folder of the tree was opened under the watch.
    unsigned check = 0;
    bool asked = checkNotifications(check);
    return LearnedTree{job.watch, std::move(tree), asked, check};
}

DWORD WINAPI learnerThread(void* library)
{
    for (;;) {
        Job job;
        {
            Locked locked;
            if (jobs.empty() || stopping) {
                learnerRunning = false;
                break;
            }
            job = std::move(jobs.front());
            jobs.pop_front();
        }
        try {
            LearnedTree tree = learn(job);
            Locked locked;
            learned.push_back(std::move(tree));
        } catch (const std::bad_alloc&) {
            Locked locked;
            resultsLost = true;
        }
    }
    FreeLibraryAndExitThread(static_cast<HMODULE>(library), 0);
    return 0;
}
} // namespace

bool learnTree(const wchar_t* root, unsigned watch)
{
    if (stopping)
        return false;
    Locked locked;
    jobs.push_back(Job{root, watch});
    if (learnerRunning)
        return true;
    // The thread before it, if any, has ended its work and lets its handle go.
    learner.reset(startLibraryThread(learnerThread, learnerStackSize));
    learnerRunning = static_cast<bool>(learner);
    if (!learnerRunning)
        jobs.pop_back();
    return learnerRunning;
}

std::vector<LearnedTree> takeLearnedTrees(bool& someLost)
{
    std::vector<LearnedTree> taken;
    Locked locked;
    taken.swap(learned);
    someLost = resultsLost;
    resultsLost = false;
    return taken;
}

void stopLearning() noexcept
{
    stopping = true;
    if (learner) {
        if (WaitForSingleObject(learner.get(), stopTimeout) == WAIT_OBJECT_0)
            learner.reset();
        else
            // It ends by itself, and lets the library go then.
            static_cast<void>(learner.release());
    }
    std::vector<LearnedTree> unused;
    Locked locked;
    jobs.clear();
    unused.swap(learned);
}

} // namespace pickpath
