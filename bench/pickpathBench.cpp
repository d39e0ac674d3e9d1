// Times Pickpath's search through a tree of 20,000 folders for a name that is in none of them, so the
// whole tree is walked, against a minimal walker that lists the same tree with FindFirstFileW and
// tries the same names with the same extensions in the same folders: the first search of a fresh
// editor, which lists every folder from the disk, and the later ones, which take from memory the
// listings the library learned in the background after the first, with the memory they take. The
// real Pickpath.dll runs in the stand-in editor, which
// also counts the messages sent to it during the search; the library's calls to the file system
// are counted on their way out of it. First, the time each plug-in takes to load, from LoadLibrary
// to NPPN_READY, over a settings file of 50 entries.
//
// pickpathBench [--loading] [folder]: the folder holding Wordlamp.dll and Pickpath.dll (by default the
// build's; scripts/bench.sh passes the stripped copies that ship), so another build may be measured
// against the walker too; --loading measures the loading alone.
#include "standinEditor.h"

#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

namespace {
// 20 + 20 * 9 + 180 * 10 + 1,800 * 10 folders below the root.
const int fanOut[] = {20, 9, 10, 10};
constexpr int folderCount = 20000;
// Other work on the machine makes single walks vary a lot: several rounds, each walker first in turn.
constexpr int rounds = 7;
// Searches from memory after the first in each round.
constexpr int laterSearches = 3;
// The library's background work (the learning of the tree after its first search, and the check of
// its notifications) is over once it hasn't called the file system for this long.
constexpr ULONGLONG quietTime = 300;
const wchar_t missingName[] = L"noSuchFile";
// The document's extension, the entry's extension, and the bare name.
const wchar_t* const extensions[] = {L".c", L".h", nullptr};

double seconds(LARGE_INTEGER start)
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter;
}

std::wstring benchFolder()
{
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"pickpathBench";
}

std::wstring programFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

// Folders named like a source tree's, one file in each so that listings hold more than folders.
int makeLevel(const std::wstring& folder, int depth)
{
    if (depth == static_cast<int>(_countof(fanOut)))
        return 0;
    int made = 0;
    for (int i = 0; i < fanOut[depth]; ++i) {
        std::wstring child = folder + L"\\module" + std::to_wstring(i);
        CreateDirectoryW(child.c_str(), nullptr);
        HANDLE file
            = CreateFileW((child + L"\\readme.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        made += 1 + makeLevel(child, depth + 1);
    }
    return made;
}

// The tree is made once and kept for later runs; a marker says it is complete.
std::wstring prepareTree()
{
    std::wstring root = benchFolder() + L"\\tree";
    std::wstring marker = benchFolder() + L"\\complete-" + std::to_wstring(folderCount);
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return root;
    std::printf("making %d folders below %ls ...\n", folderCount, root.c_str());
    CreateDirectoryW(benchFolder().c_str(), nullptr);
    CreateDirectoryW(root.c_str(), nullptr);
    int made = makeLevel(root, 0);
    if (made != folderCount)
        std::printf("made %d folders instead of %d\n", made, folderCount);
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return root;
}

// The work of a search in one folder: every extension, a hit that is a folder passed over.
bool tryFolder(const wchar_t* folder)
{
    for (const wchar_t* extension : extensions) {
        wchar_t found[MAX_PATH];
        DWORD length = SearchPathW(folder, missingName, extension, MAX_PATH, found, nullptr);
        if (length > 0 && length < MAX_PATH && !PathIsDirectoryW(found))
            return true;
    }
    return false;
}

int minimalFolders = 0;

bool minimalWalk(const std::wstring& folder)
{
    ++minimalFolders;
    if (tryFolder(folder.c_str()))
        return true;
    wchar_t pattern[MAX_PATH];
    lstrcpynW(pattern, folder.c_str(), MAX_PATH);
    PathAppendW(pattern, L"*.*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool hit = false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || lstrcmpW(found.cFileName, L".") == 0
            || lstrcmpW(found.cFileName, L"..") == 0)
            continue;
        wchar_t child[MAX_PATH];
        lstrcpynW(child, folder.c_str(), MAX_PATH);
        if (PathAppendW(child, found.cFileName))
            hit = minimalWalk(child);
    } while (!hit && FindNextFileW(search, &found));
    FindClose(search);
    return hit;
}

// The minimal walker's search: the document's folder, the working folder, the tree, the system path.
bool minimalSearch(const std::wstring& documentFolder, const std::wstring& workingFolder, const std::wstring& root)
{
    minimalFolders = 0;
    return tryFolder(documentFolder.c_str()) || tryFolder(workingFolder.c_str()) || minimalWalk(root)
        || tryFolder(nullptr);
}

void writeSettings(const std::wstring& root)
{
    std::wstring config = programFolder() + L"\\Plugins\\Config";
    CreateDirectoryW((programFolder() + L"\\Plugins").c_str(), nullptr);
    CreateDirectoryW(config.c_str(), nullptr);
    HANDLE marker = CreateFileW(
        (programFolder() + L"\\doLocalConf.xml").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    std::wstring ini = config + L"\\Pickpath.ini";
    DeleteFileW(ini.c_str());
    WritePrivateProfileStringW(L"Sources", L"Mask", L"*.c", ini.c_str());
    WritePrivateProfileStringW(L"Sources", L"Path", (L"!" + root).c_str(), ini.c_str());
    WritePrivateProfileStringW(L"Sources", L"Ext", L".h", ini.c_str());
}

// Counts the library's calls to the file system by taking the place of its imports.
namespace calls {
// The library's own threads call too.
std::atomic<size_t> count{0};
#define COUNTED(result, name, parameters, arguments)                                                                   \
    decltype(&name) real_##name = nullptr;                                                                             \
    result WINAPI counted_##name parameters                                                                            \
    {                                                                                                                  \
        ++count;                                                                                                       \
        return real_##name arguments;                                                                                  \
    }
COUNTED(HANDLE, CreateFileW, (LPCWSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f, HANDLE g),
    (a, b, c, d, e, f, g))
COUNTED(BOOL, GetFileInformationByHandleEx, (HANDLE a, FILE_INFO_BY_HANDLE_CLASS b, LPVOID c, DWORD d), (a, b, c, d))
COUNTED(BOOL, GetFileInformationByHandle, (HANDLE a, LPBY_HANDLE_FILE_INFORMATION b), (a, b))
COUNTED(BOOL, CloseHandle, (HANDLE a), (a))
COUNTED(DWORD, SearchPathW, (LPCWSTR a, LPCWSTR b, LPCWSTR c, DWORD d, LPWSTR e, LPWSTR* f), (a, b, c, d, e, f))
COUNTED(DWORD, GetFileAttributesW, (LPCWSTR a), (a))
COUNTED(HANDLE, FindFirstFileW, (LPCWSTR a, LPWIN32_FIND_DATAW b), (a, b))
COUNTED(BOOL, FindNextFileW, (HANDLE a, LPWIN32_FIND_DATAW b), (a, b))
COUNTED(BOOL, PathIsDirectoryW, (LPCWSTR a), (a))
#undef COUNTED

struct Replacement {
    const char* name;
    void** real;
    void* counted;
};

#define REPLACEMENT(name)                                                                                              \
    Replacement                                                                                                        \
    {                                                                                                                  \
#name, reinterpret_cast < void**>(&real_##name), reinterpret_cast < void*>(&counted_##name)                    \
    }
const Replacement replacements[]
    = {REPLACEMENT(CreateFileW), REPLACEMENT(GetFileInformationByHandleEx), REPLACEMENT(GetFileInformationByHandle),
        REPLACEMENT(CloseHandle), REPLACEMENT(SearchPathW), REPLACEMENT(GetFileAttributesW),
        REPLACEMENT(FindFirstFileW), REPLACEMENT(FindNextFileW), REPLACEMENT(PathIsDirectoryW)};
#undef REPLACEMENT

// Points the module's imports of the counted functions at the counters; how many were found.
int install(HMODULE module)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int installed = 0;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         directory.VirtualAddress != 0 && import->Name != 0; ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (const Replacement& replacement : replacements) {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), replacement.name) != 0)
                    continue;
                DWORD protection = 0;
                VirtualProtect(&addresses->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
                *replacement.real = reinterpret_cast<void*>(addresses->u1.Function);
                addresses->u1.Function = reinterpret_cast<ULONG_PTR>(replacement.counted);
                VirtualProtect(&addresses->u1.Function, sizeof(void*), protection, &protection);
                ++installed;
            }
        }
    }
    return installed;
}
} // namespace calls

// A settings file of entries for each plug-in, written before it loads.
void writeLoadingSettings(int entries)
{
    std::wstring config = programFolder() + L"\\Plugins\\Config";
    std::wstring pickpath = config + L"\\Pickpath.ini";
    std::wstring wordlamp = config + L"\\Wordlamp.ini";
    DeleteFileW(pickpath.c_str());
    DeleteFileW(wordlamp.c_str());
    for (int i = 0; i < entries; ++i) {
        std::wstring section = L"Entry " + std::to_wstring(i);
        std::wstring mask = L"*.e" + std::to_wstring(i) + L";*.f" + std::to_wstring(i);
        WritePrivateProfileStringW(section.c_str(), L"Mask", mask.c_str(), pickpath.c_str());
        WritePrivateProfileStringW(section.c_str(), L"Path", L"$(CURRENT_DIRECTORY)\\inc;!C:\\src", pickpath.c_str());
        WritePrivateProfileStringW(section.c_str(), L"Ext", L".h;.hpp", pickpath.c_str());
        WritePrivateProfileStringW(section.c_str(), L"Mask", mask.c_str(), wordlamp.c_str());
        WritePrivateProfileStringW(section.c_str(), L"File", L"C:\\help\\manual.chm", wordlamp.c_str());
        WritePrivateProfileStringW(section.c_str(), L"Show", L"1", wordlamp.c_str());
    }
}

// Bytes the process's heaps have given out and not taken back.
size_t heapInUse()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    size_t used = 0;
    for (HANDLE heap : heaps) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heap);
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                used += entry.cbData;
        HeapUnlock(heap);
    }
    return used;
}

// Waits until the library has stopped calling the file system: its background work is done. The
// seconds it worked after the wait began.
double waitForQuiet()
{
    LARGE_INTEGER start = now();
    size_t last = calls::count;
    ULONGLONG quietSince = GetTickCount64();
    double worked = 0;
    while (GetTickCount64() - quietSince < quietTime) {
        Sleep(10);
        if (calls::count != last) {
            last = calls::count;
            quietSince = GetTickCount64();
            worked = seconds(start);
        }
    }
    return worked;
}

double best(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

const int loadRounds = 9;

std::vector<std::wstring> pluginLibraries(const std::wstring& folder)
{
    return {folder + L"\\Wordlamp.dll", folder + L"\\Pickpath.dll"};
}

// LoadLibrary alone (the system's work and the library's entry, which reads the settings), in a
// process that doesn't have the system libraries the editor links: they are loaded, and unloaded
// again, with each plug-in. Measured first, before any stand-in editor holds them.
// Milliseconds LoadLibrary takes over the library, which is freed again.
double timeLoadLibrary(const std::wstring& library)
{
    LARGE_INTEGER start = now();
    HMODULE module = LoadLibraryW(library.c_str());
    double milliseconds = seconds(start) * 1000;
    FreeLibrary(module);
    return milliseconds;
}

void measureBareLoading(const std::wstring& pluginFolder)
{
    std::vector<std::wstring> libraries = pluginLibraries(pluginFolder);
    writeLoadingSettings(50);
    for (const std::wstring& library : libraries) {
        std::vector<double> times;
        for (int round = 0; round < loadRounds; ++round)
            times.push_back(timeLoadLibrary(library));
        std::printf("loading %-14ls 50 entries, LoadLibrary alone without the editor's system libraries:"
                    " best %.2f ms, median %.2f ms of %d\n",
            PathFindFileNameW(library.c_str()), best(times), median(times), loadRounds);
    }
}

// Each round loads both plug-ins into a fresh stand-in editor, which holds the system libraries the
// editor links as the editor does, timing each from LoadLibrary through setInfo, getFuncsArray and
// NPPN_READY, and apart from that LoadLibrary alone.
void measureLoading(const std::wstring& pluginFolder, int entries)
{
    std::vector<std::wstring> libraries = pluginLibraries(pluginFolder);
    std::vector<double> times[2];
    std::vector<double> libraryTimes[2];
    holdEditorSystemLibraries();
    for (int round = 0; round < loadRounds; ++round) {
        writeLoadingSettings(entries);
        for (int i = 0; i < 2; ++i)
            libraryTimes[i].push_back(timeLoadLibrary(libraries[i]));
        StandinEditor editor;
        for (int i = 0; i < 2; ++i) {
            LARGE_INTEGER start = now();
            std::wstring problem = editor.loadPlugin(libraries[i]);
            times[i].push_back(seconds(start) * 1000);
            if (!problem.empty())
                std::printf("%ls\n", problem.c_str());
        }
    }
    for (int i = 0; i < 2; ++i) {
        std::printf("loading %-14ls %2d entries, LoadLibrary to NPPN_READY: best %.2f ms, median %.2f ms of %d;"
                    " LoadLibrary alone: best %.2f ms, median %.2f ms\n",
            PathFindFileNameW(libraries[i].c_str()), entries, best(times[i]), median(times[i]), loadRounds,
            best(libraryTimes[i]), median(libraryTimes[i]));
    }
}

// Pickpath in the stand-in editor, on a C file in the document folder whose current word is the
// missing name.
bool startPickpath(StandinEditor& editor, const std::wstring& library, const std::wstring& documentFolder)
{
    std::wstring problem = editor.loadPlugin(library);
    if (!problem.empty()) {
        std::printf("%ls\n", problem.c_str());
        return false;
    }
    editor.document.open(documentFolder + L"\\main.c");
    editor.document.currentWord = missingName;
    return true;
}

int wmain(int argc, wchar_t** argv)
{
    bool loadingOnly = argc > 1 && std::wcscmp(argv[1], L"--loading") == 0;
    if (loadingOnly) {
        --argc;
        ++argv;
    }
    std::wstring pluginFolder = argc > 1 ? std::wstring(argv[1]) : std::wstring(BENCH_PLUGIN_DIR);
    std::wstring pickpathLibrary = pluginLibraries(pluginFolder).back();
    std::printf("libraries: %ls\n", pluginFolder.c_str());
    // The goal is under 5 ms each with 50 entries; without any, what the settings cost shows apart.
    measureBareLoading(pluginFolder);
    measureLoading(pluginFolder, 50);
    measureLoading(pluginFolder, 0);
    if (loadingOnly)
        return 0;
    std::wstring root = prepareTree();
    std::wstring documentFolder = benchFolder() + L"\\document";
    std::wstring workingFolder = benchFolder() + L"\\working";
    CreateDirectoryW(documentFolder.c_str(), nullptr);
    CreateDirectoryW(workingFolder.c_str(), nullptr);
    SetCurrentDirectoryW(workingFolder.c_str());
    writeSettings(root);

    // One walk of each first, so that both find the tree in the system's caches.
    minimalSearch(documentFolder, workingFolder, root);
    {
        StandinEditor editor;
        if (!startPickpath(editor, pickpathLibrary, documentFolder))
            return 1;
        editor.runCommand(static_cast<UINT>(editor.commandId(L"Pickpath", 0)));
    }

    std::vector<double> firstTimes;
    std::vector<double> laterTimes;
    std::vector<double> minimalTimes;
    std::vector<double> firstRatios;
    std::vector<double> laterRatios;
    std::vector<double> heldBytes;
    std::vector<double> learningTimes;
    size_t messages = 0;
    size_t statusNotes = 0;
    size_t firstCalls = 0;
    size_t laterCalls = 0;
    int counters = 0;
    bool unexpected = false;
    for (int round = 0; round < rounds; ++round) {
        // A fresh editor holds nothing: its first search lists the tree from the disk.
        StandinEditor editor;
        if (!startPickpath(editor, pickpathLibrary, documentFolder))
            return 1;
        counters = calls::install(editor.plugins().back().module);
        UINT openCommand = static_cast<UINT>(editor.commandId(L"Pickpath", 0));
        auto timePickpath = [&](std::vector<double>& times, size_t& fileSystemCalls) {
            size_t before = editor.requests.size();
            size_t notesBefore = editor.requestCount(NPPM_SETSTATUSBAR);
            size_t callsBefore = calls::count;
            LARGE_INTEGER start = now();
            editor.runCommand(openCommand);
            times.push_back(seconds(start));
            statusNotes = editor.requestCount(NPPM_SETSTATUSBAR) - notesBefore;
            messages = editor.requests.size() - before - statusNotes;
            fileSystemCalls = calls::count - callsBefore;
        };
        auto timeMinimal = [&]() {
            LARGE_INTEGER start = now();
            minimalSearch(documentFolder, workingFolder, root);
            minimalTimes.push_back(seconds(start));
        };
        size_t heapBefore = heapInUse();
        // The walker never runs beside the library's background work.
        if (round % 2 == 0) {
            timePickpath(firstTimes, firstCalls);
            learningTimes.push_back(waitForQuiet());
            timeMinimal();
        } else {
            timeMinimal();
            timePickpath(firstTimes, firstCalls);
            learningTimes.push_back(waitForQuiet());
        }
        firstRatios.push_back(firstTimes.back() / minimalTimes.back());
        std::vector<double> later;
        for (int i = 0; i < laterSearches; ++i)
            timePickpath(later, laterCalls);
        heldBytes.push_back(static_cast<double>(heapInUse() - heapBefore));
        laterTimes.insert(laterTimes.end(), later.begin(), later.end());
        laterRatios.push_back(median(later) / minimalTimes.back());
        unexpected = unexpected || !editor.openedFiles.empty();
    }
    if (unexpected)
        std::printf("unexpected: Pickpath opened a file\n");

    double minimal = best(minimalTimes);
    double first = best(firstTimes) / minimal;
    double later = best(laterTimes) / minimal;
    std::printf("tree:                       %d folders below %ls\n", minimalFolders - 1, root.c_str());
    std::printf("minimal walker:             %.3f s best of %d:", minimal, rounds);
    for (double time : minimalTimes)
        std::printf(" %.3f", time);
    std::printf("\nPickpath, first search:     %.3f s best of %d:", best(firstTimes), rounds);
    for (double time : firstTimes)
        std::printf(" %.3f", time);
    std::printf("\n  ratio of the best times:  %.3f (target at most 0.6: %s); median of the rounds' ratios %.3f\n",
        first, first <= 0.6 ? "met" : "NOT met", median(firstRatios));
    std::printf("Pickpath, later searches:   %.1f ms best of %d:", best(laterTimes) * 1000, rounds * laterSearches);
    for (double time : laterTimes)
        std::printf(" %.1f", time * 1000);
    std::printf("\n  ratio of the best times:  %.4f (target at most 0.02: %s); median of the rounds' ratios %.4f\n",
        later, later <= 0.02 ? "met" : "NOT met", median(laterRatios));
    std::printf(
        "learned in the background: %.2f s after the first search (median of %d)\n", median(learningTimes), rounds);
    std::printf("memory held:                %.1f MB (median of %d; heap in use after the later searches less"
                " before the first), %.0f bytes per folder\n",
        median(heldBytes) / (1024 * 1024), rounds, median(heldBytes) / minimalFolders);
    std::printf("requests to the editor:     %zu during one search, and %zu status-bar notes of its progress\n",
        messages, statusNotes);
    std::printf("file-system calls:          %zu during the first search, %.2f per folder; %zu during a later one,"
                " %.4f per folder (%d imports counted)\n",
        firstCalls, static_cast<double>(firstCalls) / minimalFolders, laterCalls,
        static_cast<double>(laterCalls) / minimalFolders, counters);
    return 0;
}
