// Ownership of handles: exactly one release for every handle taken, none for "no handle", whatever
// path the owner takes (moved, given up, replaced, handed out through a pointer).
#include "scopedWin.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<int> closed;

struct CountedTraits {
    using Handle = int;
    static Handle none() { return -1; }
    static void close(Handle handle) { closed.push_back(handle); }
};
using Counted = UniqueHandle<CountedTraits>;

bool isOpenHandle(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}
} // namespace

TEST(UniqueHandle, ReleasesEachHandleOnceWhateverItsOwnerDoes)
{
    closed.clear();
    {
        Counted none;
        EXPECT_FALSE(none);
        Counted one(1);
        Counted moved(std::move(one)); // moved: one owner, one release
        EXPECT_FALSE(one);
        EXPECT_EQ(moved.get(), 1);
        Counted two(2);
        two = std::move(moved); // the handle assigned over is released at once
        EXPECT_EQ(closed, std::vector<int>({2}));
        two = std::move(two); // itself: nothing happens
        EXPECT_EQ(two.get(), 1);
        Counted three(3);
        EXPECT_EQ(three.release(), 3); // given up: the caller releases it
        three.reset(4);
        three.reset(5);
        *three.put() = 6; // what was held goes before a new handle comes in
        EXPECT_EQ(closed, std::vector<int>({2, 4, 5}));
    }
    // At the end of the scope: 6, then 1; "none" and the given-up 3 never.
    EXPECT_EQ(closed, std::vector<int>({2, 4, 5, 6, 1}));
}

TEST(UniqueHandle, KindsCloseTheirOwnHandles)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    {
        UniqueKernelHandle owned(event);
    }
    EXPECT_FALSE(isOpenHandle(event));

    wchar_t path[MAX_PATH];
    ASSERT_NE(GetTempFileNameW(L".", L"sw", 0, path), 0u);
    HANDLE raw;
    {
        UniqueFile file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        ASSERT_TRUE(file);
        raw = file.get();
    }
    EXPECT_FALSE(isOpenHandle(raw));
    EXPECT_EQ(GetFileAttributesW(path), INVALID_FILE_ATTRIBUTES); // closed, so deleted
    // A file that could not be opened is "no file", not a handle to close.
    UniqueFile missing(CreateFileW(L"no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
}

TEST(ScopeExit, RunsOnceUnlessDismissed)
{
    int runs = 0;
    {
        auto first = scopeExit([&] { ++runs; });
        auto moved = std::move(first); // the clean-up moves with it: still once
        auto dismissed = scopeExit([&] { runs += 10; });
        dismissed.dismiss();
    }
    EXPECT_EQ(runs, 1);
}

TEST(ComInitialization, IsPairedOnlyWhenItSucceeded)
{
    {
        ComInitialization com;
        ASSERT_TRUE(com.usable());
        // A second one on the same thread is told "already" and pairs its own uninitialisation too.
        ComInitialization again;
        EXPECT_EQ(again.result(), S_FALSE);
    }
    // Both were paired: the thread is out of COM again, so a new one is the first once more.
    ComInitialization fresh;
    EXPECT_EQ(fresh.result(), S_OK);
}
