#include "treeWatch.h"

#include "folderWalk.h"
#include "scopedWin.h"

#include <atomic>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <unordered_map>

namespace pickpath {

namespace {
// A watch's news is read up to this many bytes at a time; more changes than fit before the thread
// asks again are an overflow, after which the tree is walked again.
constexpr DWORD newsBufferSize = 64 * 1024;
// Names made, removed and renamed, of files and folders: all that a listing shows of a folder.
constexpr DWORD watchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
// News of one watch that the editor's thread leaves waiting beyond this is given up for a lost
// watch: walking the tree again costs less than holding a busy tree's every change.
constexpr size_t maxWaitingNews = 50000;
// How long a check waits for its own change before it fails.
constexpr ULONGLONG checkTimeout = 5000;
// How long the thread waits for its ended watches to come back when it is stopped; the editor
// waits a little longer for the thread.
constexpr ULONGLONG stopTimeout = 1000;
constexpr DWORD threadStackSize = 256 * 1024;
// Packets to the thread that are no watch's.
constexpr ULONG_PTR stopKey = ~static_cast<ULONG_PTR>(0);
constexpr ULONG_PTR checkKey = stopKey - 1;
// A check makes a folder in its own folder and a file in that one.
const wchar_t checkSubfolder[] = L"sub";
const wchar_t checkFile[] = L"sub\\probe";

struct Watch {
    UniqueFile directory;
    OVERLAPPED overlapped = {};
    // The news arrives as records aligned to DWORDs.
    std::vector<ULONGLONG> buffer = std::vector<ULONGLONG>(newsBufferSize / sizeof(ULONGLONG));
    std::wstring root;
    unsigned check = 0;   // the check this watch serves; 0 for a tree's
    size_t waiting = 0;   // news given and not taken yet
    bool armed = false;   // a request for news is out
    bool closing = false; // ended: let go once no request is out
};

// Shared by the editor's thread and the watch thread, under lock. Only the watch thread lets a
// watch go, so that it may use one between two holdings of the lock.
SRWLOCK lock = SRWLOCK_INIT;
std::unordered_map<unsigned, std::unique_ptr<Watch>> watches;
unsigned lastWatch = 0;
std::vector<TreeNews> heardNews;
bool newsLost = false;

// Set by the editor's thread before the watch thread starts, let go after it has ended.
UniqueKernelHandle port;
UniqueKernelHandle thread;
// Checks are also asked for by the thread that learns trees.
std::atomic<unsigned> lastCheck{0};
std::atomic<bool> ended{false};

class Locked {
public:
    Locked() { AcquireSRWLockExclusive(&lock); }
    ~Locked() { ReleaseSRWLockExclusive(&lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// Under lock.
bool arm(Watch& watch)
{
    watch.overlapped = OVERLAPPED{};
    watch.armed = ReadDirectoryChangesW(watch.directory.get(), watch.buffer.data(), newsBufferSize, TRUE,
                      watchedChanges, nullptr, &watch.overlapped, nullptr)
        != FALSE;
    return watch.armed;
}

// Under lock. A request that is out comes back cancelled.
void close(Watch& watch)
{
    watch.closing = true;
    if (watch.directory) {
        CancelIoEx(watch.directory.get(), nullptr);
        watch.directory.reset();
    }
}

// Under lock.
void tell(TreeNews news)
{
    try {
        heardNews.push_back(std::move(news));
    } catch (const std::bad_alloc&) {
        newsLost = true;
    }
}

unsigned addWatch(const wchar_t* root, unsigned check)
{
    auto watch = std::make_unique<Watch>();
    watch->root = root;
    watch->check = check;
    watch->directory.reset(
        CreateFileW(root, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!watch->directory)
        return 0;
    Locked locked;
    unsigned id = ++lastWatch;
    if (CreateIoCompletionPort(watch->directory.get(), port.get(), id, 0) == nullptr)
        return 0;
    Watch& added = *watches.emplace(id, std::move(watch)).first->second;
    if (!arm(added)) {
        watches.erase(id);
        return 0;
    }
    return id;
}

// Whether the name below root is a folder, or is gone already and may have been one.
bool isFolderOrGone(const std::wstring& root, const std::wstring& name)
{
    std::wstring path = root;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    path += name;
    if (path.size() >= MAX_PATH) {
        std::vector<wchar_t> longForm(longestPath + 1);
        if (!makeLongPath(root.c_str(), name.c_str(), longForm.data(), longForm.size()))
            return true;
        path = longForm.data();
    }
    return !isFile(path.c_str());
}

// The records of one answer, as news. Only the watch thread reads a buffer no request is out for.
void readNews(const Watch& watch, unsigned id, DWORD bytes, std::vector<TreeNews>& heard)
{
    const BYTE* start = reinterpret_cast<const BYTE*>(watch.buffer.data());
    constexpr size_t header = offsetof(FILE_NOTIFY_INFORMATION, FileName);
    for (size_t offset = 0; offset + header <= bytes;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(start + offset);
        if (offset + header + record->FileNameLength > bytes)
            break;
        TreeNews news{TreeNews::Kind::changed, id, record->Action, false,
            std::wstring(record->FileName, record->FileNameLength / sizeof(wchar_t))};
        // Wine goes on naming a renamed folder's changes by its old name, so the walk must learn
        // the tree anew; a file renamed changes only its folder's listing.
        if (record->Action == FILE_ACTION_RENAMED_NEW_NAME && watch.check == 0)
            news.isFolder = isFolderOrGone(watch.root, news.path);
        heard.push_back(std::move(news));
        if (record->NextEntryOffset == 0)
            break;
        offset += record->NextEntryOffset;
    }
}

// The check running: its number, its own folder in the temporary folder, and its watch.
struct Check {
    unsigned number = 0;
    unsigned watch = 0;
    ULONGLONG deadline = 0;
    std::wstring folder;
};

// The watch thread's work: every watch's news, and the checks.
class Server {
public:
    void run();

private:
    void onAnswer(unsigned id, DWORD error, DWORD bytes);
    void onStop();
    void startCheck();
    void endCheck(bool passed);
    void removeCheck();
    void loseEverything();
    DWORD timeout() const;

    Check check_;
    unsigned wantedCheck_ = 0;
    unsigned startedCheck_ = 0;
    bool stopping_ = false;
    ULONGLONG stopBy_ = 0;
};

DWORD Server::timeout() const
{
    ULONGLONG now = GetTickCount64();
    ULONGLONG until = stopping_ ? stopBy_ : check_.number != 0 ? check_.deadline : 0;
    if (stopping_ && check_.number != 0 && check_.deadline < until)
        until = check_.deadline;
    if (until == 0)
        return INFINITE;
    return until > now ? static_cast<DWORD>(until - now) : 0;
}

void Server::run()
{
    HANDLE completions = port.get();
    for (;;) {
        if (stopping_) {
            Locked locked;
            if (watches.empty() || GetTickCount64() >= stopBy_)
                break;
        }
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* overlapped = nullptr;
        BOOL answered = GetQueuedCompletionStatus(completions, &bytes, &key, &overlapped, timeout());
        DWORD error = answered ? ERROR_SUCCESS : GetLastError();
        if (overlapped == nullptr && !answered && error != WAIT_TIMEOUT)
            break;
        try {
            if (overlapped != nullptr) {
                onAnswer(static_cast<unsigned>(key), error, bytes);
            } else if (answered && key == stopKey) {
                onStop();
            } else if (answered && key == checkKey) {
                wantedCheck_ = bytes > wantedCheck_ ? bytes : wantedCheck_;
                if (check_.number == 0 && !stopping_ && wantedCheck_ > startedCheck_)
                    startCheck();
            }
            if (check_.number != 0 && GetTickCount64() >= check_.deadline)
                endCheck(false);
        } catch (const std::bad_alloc&) {
            loseEverything();
        }
    }
    removeCheck();
    // Requests that never came back keep their buffers: the system may still write into them.
    Locked locked;
    for (auto& watch : watches)
        static_cast<void>(watch.second.release());
    watches.clear();
}

void Server::onAnswer(unsigned id, DWORD error, DWORD bytes)
{
    Watch* watch = nullptr;
    {
        Locked locked;
        auto found = watches.find(id);
        if (found == watches.end())
            return;
        watch = found->second.get();
        watch->armed = false;
        if (watch->closing) {
            watches.erase(found);
            return;
        }
    }
    // An answer without news is an overflow: more changed than the buffer holds.
    bool lost = error != ERROR_SUCCESS || bytes == 0;
    std::vector<TreeNews> heard;
    if (!lost)
        readNews(*watch, id, bytes, heard);
    bool checked = false;
    {
        Locked locked;
        if (watch->closing) {
            watches.erase(id);
            return;
        }
        if (watch->check == 0) {
            lost = lost || watch->waiting + heard.size() > maxWaitingNews;
            if (!lost) {
                watch->waiting += heard.size();
                for (TreeNews& news : heard)
                    tell(std::move(news));
            }
        } else {
            for (const TreeNews& news : heard)
                checked = checked || CompareStringOrdinal(news.path.c_str(), -1, checkFile, -1, TRUE) == CSTR_EQUAL;
        }
        if (lost || !arm(*watch)) {
            if (watch->check == 0)
                tell(TreeNews{TreeNews::Kind::lost, id, 0, false, L""});
            watch->directory.reset();
            watches.erase(id);
            watch = nullptr;
        }
    }
    if (check_.number != 0 && (id == check_.watch) && (checked || watch == nullptr))
        endCheck(checked);
}

void Server::onStop()
{
    stopping_ = true;
    stopBy_ = GetTickCount64() + stopTimeout;
    removeCheck();
    Locked locked;
    for (auto& watch : watches)
        close(*watch.second);
}

// Makes a folder below the check's own, opens it as a walk opens the folders it lists (under Wine
// that is what makes a folder report its changes) and makes a file in it, whose news must come.
void Server::startCheck()
{
    startedCheck_ = wantedCheck_;
    check_ = Check{wantedCheck_, 0, GetTickCount64() + checkTimeout, L""};
    wchar_t temporary[MAX_PATH + 1];
    DWORD length = GetTempPathW(_countof(temporary), temporary);
    if (length > 0 && length < _countof(temporary))
        check_.folder = std::wstring(temporary) + L"Pickpath-check-" + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(check_.number);
    if (check_.folder.empty() || !CreateDirectoryW(check_.folder.c_str(), nullptr)) {
        check_.folder.clear();
        endCheck(false);
        return;
    }
    check_.watch = addWatch(check_.folder.c_str(), check_.number);
    std::wstring subfolder = check_.folder + L"\\" + checkSubfolder;
    if (check_.watch == 0 || !CreateDirectoryW(subfolder.c_str(), nullptr)) {
        endCheck(false);
        return;
    }
    UniqueFile listed(
        CreateFileW(subfolder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    UniqueFile probe(
        CreateFileW((check_.folder + L"\\" + checkFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    if (!listed || !probe)
        endCheck(false);
}

void Server::endCheck(bool passed)
{
    unsigned number = check_.number;
    removeCheck();
    {
        Locked locked;
        tell(TreeNews{passed ? TreeNews::Kind::checkPassed : TreeNews::Kind::checkFailed, number, 0, false, L""});
    }
    // Every check asked for meanwhile is answered by one that starts after it was asked.
    if (wantedCheck_ > startedCheck_ && !stopping_)
        startCheck();
}

void Server::removeCheck()
{
    if (check_.watch != 0)
        stopWatching(check_.watch);
    if (!check_.folder.empty()) {
        DeleteFileW((check_.folder + L"\\" + checkFile).c_str());
        RemoveDirectoryW((check_.folder + L"\\" + checkSubfolder).c_str());
        RemoveDirectoryW(check_.folder.c_str());
    }
    check_ = Check{};
}

// Out of memory: news may be missing, so every watch ends and every tree is walked again.
void Server::loseEverything()
{
    removeCheck();
    Locked locked;
    newsLost = true;
    for (auto watch = watches.begin(); watch != watches.end();) {
        close(*watch->second);
        watch = watch->second->armed ? std::next(watch) : watches.erase(watch);
    }
}

DWORD WINAPI watchThread(void* library)
{
    Server server;
    server.run();
    FreeLibraryAndExitThread(static_cast<HMODULE>(library), 0);
    return 0;
}

bool startThread()
{
    if (thread)
        return true;
    if (!port)
        port.reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    if (port)
        thread.reset(startLibraryThread(watchThread, threadStackSize));
    return static_cast<bool>(thread);
}
} // namespace

bool underWine()
{
    static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

HANDLE startLibraryThread(LPTHREAD_START_ROUTINE routine, DWORD stackSize)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&startLibraryThread), &module))
        return nullptr;
    UniqueLibrary library(module);
    HANDLE started
        = CreateThread(nullptr, stackSize, routine, library.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (started != nullptr)
        static_cast<void>(library.release());
    return started;
}

unsigned watchTree(const wchar_t* root)
{
    if (ended || !startThread())
        return 0;
    return addWatch(root, 0);
}

void stopWatching(unsigned id) noexcept
{
    Locked locked;
    auto found = watches.find(id);
    if (found != watches.end())
        close(*found->second);
}

bool checkNotifications(unsigned& check) noexcept
{
    check = 0;
    if (!underWine())
        return true;
    if (ended || !port)
        return false;
    check = ++lastCheck;
    return PostQueuedCompletionStatus(port.get(), check, checkKey, nullptr) != FALSE;
}

void forgetOldWatches(const wchar_t* folder)
{
    if (!underWine())
        return;
    UniqueFile directory(
        CreateFileW(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    UniqueKernelHandle answered(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!directory || !answered)
        return;
    OVERLAPPED overlapped = {};
    overlapped.hEvent = answered.get();
    DWORD unread[16];
    if (!ReadDirectoryChangesW(
            directory.get(), unread, sizeof(unread), FALSE, watchedChanges, nullptr, &overlapped, nullptr))
        return;
    // The request must be over before its buffer and the folder go.
    CancelIoEx(directory.get(), &overlapped);
    DWORD bytes = 0;
    GetOverlappedResult(directory.get(), &overlapped, &bytes, TRUE);
}

std::vector<TreeNews> takeTreeNews(bool& allLost)
{
    std::vector<TreeNews> taken;
    Locked locked;
    taken.swap(heardNews);
    allLost = newsLost;
    newsLost = false;
    for (auto& watch : watches)
        watch.second->waiting = 0;
    return taken;
}

void stopTreeWatches() noexcept
{
    ended = true;
    if (!thread)
        return;
    {
        Locked locked;
        for (auto& watch : watches)
            close(*watch.second);
    }
    PostQueuedCompletionStatus(port.get(), 0, stopKey, nullptr);
    if (WaitForSingleObject(thread.get(), static_cast<DWORD>(stopTimeout) + 500) == WAIT_OBJECT_0) {
        thread.reset();
        port.reset();
    } else {
        // Still waiting for the system: the thread ends by itself and lets the library go then,
        // and keeps the port it reads.
        static_cast<void>(thread.release());
        static_cast<void>(port.release());
    }
}

} // namespace pickpath
