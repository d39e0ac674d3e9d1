// Bad inputs thrown at both real plug-in libraries in the stand-in editor, from a fixed list of
// seeds: settings files that are malformed, huge, binary, truncated or full of duplicates, in UTF-16
// (some ending in an odd byte), UTF-8 with or without a mark and ANSI; help locations and search
// folders with stray "$" and "%" and long values; selections with quotes, line breaks, device names
// and long texts; masks with odd wildcards. In a quarter of the seeds help locations start a program
// that records its command line and a tree runs deeper than 260 characters. Every command runs
// over them. Nothing may crash (the process would end), hang (the test's time limit) or write past
// a buffer (the hardened build ends the process); a save after a change keeps every entry loaded,
// and without a change the file stays as it was.
// SWEEP_SEED=<n> in the environment runs that seed alone and keeps its files beside the settings
// (<plug-in>.ini.first); SWEEP_SEEDS=<n> runs seeds 0 to n-1.
#include "dialogDriver.h"
#include "resource.h"
#include "standinEditor.h"
#include "sweepChecks.h"
#include "sweepInputs.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {
// SWEEP_SEEDS=<n> in the environment runs the first n seeds instead, for a long run.
constexpr uint32_t defaultSeedCount = 80;
constexpr ULONGLONG commandTimeLimit = 3000; // milliseconds
constexpr int pluginCount = 2;
constexpr UINT firstHelpEntryCommand = 65000;
constexpr UINT openSelectionMenuCommand = 65101;
// Both Options dialogs keep their entry list and their toolbar option under the same identifiers.
constexpr int entryListControl = IDC_ENTRY_LIST;
constexpr int toolbarOption = IDC_TOOLBAR_BUTTON;

const Plugin plugins[pluginCount] = {Plugin::wordlamp, Plugin::pickpath};
const wchar_t* const pluginNames[pluginCount] = {L"Wordlamp", L"Pickpath"};

SweepPlaces places;

std::wstring settingsPath(int plugin)
{
    return programFolder() + L"\\Plugins\\Config\\" + pluginNames[plugin] + L".ini";
}

// Small trees with files the selections name, a folder named like a file, and names holding "!",
// "$" and "%".
void makeTrees(SweepPlaces& sweep)
{
    const wchar_t* const folders[] = {L"a", L"a\\b", L"a\\b\\deep", L"with space", L"$date$", L"util.h", L"x.d"};
    const wchar_t* const files[] = {L"util.c", L"a\\util.h", L"a\\b\\deep\\deep.h", L"with space\\a b.h",
        L"$date$\\tok.h", L"!bang.h", L"Stdio.H", L"a\\main.c", L"%PATH%.h", L"a\\b\\sub\\util.h", L"x.d\\noext"};
    for (int tree = 0; tree < 3; ++tree) {
        std::wstring root = L"pp-tree-" + std::to_wstring(tree);
        sweep.trees.push_back(root);
        sweep.folders.push_back(root);
        for (size_t i = 0; i < _countof(folders); ++i)
            if ((i + static_cast<size_t>(tree)) % 3 != 2) {
                makeFolders(sweep.sandbox + L"\\" + root + L"\\" + folders[i]);
                sweep.folders.push_back(root + L"\\" + folders[i]);
            }
        for (size_t i = 0; i < _countof(files); ++i)
            if ((i + static_cast<size_t>(tree)) % 4 != 3) {
                std::wstring file = root + L"\\" + files[i];
                makeFolders(sweep.sandbox + L"\\" + file.substr(0, file.find_last_of(L'\\')));
                writeFileBytes(sweep.sandbox + L"\\" + file, "");
                sweep.files.push_back(file);
            }
    }
}

// The settings beside the program, and a working folder of the sweep's own holding its trees.
class SweepEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        writeTextFile(programFolder() + L"\\doLocalConf.xml", L"", true);
        makeFolders(programFolder() + L"\\Plugins\\Config");
        places.sandbox = makeTempFolder(L"sweep");
        makeTrees(places);
        SetCurrentDirectoryW(places.sandbox.c_str());
        SetEnvironmentVariableW(L"SWEEP_RECORDER", (programFolder() + L"\\shellRecorder.exe").c_str());
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(programFolder().c_str());
        removeTree(places.sandbox);
    }
};
const auto* const sweepEnvironment = ::testing::AddGlobalTestEnvironment(new SweepEnvironment);

// Wine reads a settings file written in the last seconds anew for every value asked for, which
// makes a file of 200 sections take seconds to load; an hour-old time stamp lets it keep the file
// read once. The time is taken from the clock, so each write still has a time of its own.
void ageFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(
        path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{};
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= 36000000000ULL; // an hour in units of 100 ns
    FILETIME earlier{time.LowPart, time.HighPart};
    SetFileTime(file, nullptr, nullptr, &earlier);
    CloseHandle(file);
}

std::wstring workingFolder()
{
    wchar_t folder[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

struct Tally {
    unsigned iterations = 0;
    unsigned commands = 0;
    unsigned messageBoxes = 0;
    unsigned filesOpened = 0;
    unsigned longPathsOpened = 0;
    unsigned recordings = 0;
    unsigned entriesLoaded = 0;
    unsigned saves = 0;
    ULONGLONG slowestCommand = 0;
};

// A tree below the working folder whose folders run past 260 characters, for the seeds that reach
// further; removed after each.
class DeepTree {
public:
    explicit DeepTree(SweepPlaces& sweep)
        : sweep_(sweep)
    {
        std::wstring folder = root;
        sweep.trees.push_back(root);
        sweep.folders.push_back(root);
        for (int level = 0; level < 5; ++level) {
            folder += L"\\" + std::wstring(60, static_cast<wchar_t>(L'k' + level));
            sweep.folders.push_back(folder);
        }
        makeFolders(sweep.sandbox + L"\\" + folder);
        for (const wchar_t* name : {L"util.h", L"deepest.h"}) {
            writeFileBytes(sweep.sandbox + L"\\" + folder + L"\\" + name, "");
            sweep.files.push_back(folder + L"\\" + name);
        }
        sweep.recorder = programFolder() + L"\\shellRecorder.exe";
    }
    ~DeepTree() { removeTree(sweep_.sandbox + L"\\" + root); }
    DeepTree(const DeepTree&) = delete;
    DeepTree& operator=(const DeepTree&) = delete;

    static constexpr const wchar_t* root = L"pp-deep";

private:
    SweepPlaces& sweep_;
};

// The command line the recorder last wrote down, and the record removed; empty when none came.
std::wstring takeRecording(const std::wstring& recorder)
{
    std::wstring log = recorder.substr(0, recorder.find_last_of(L'\\')) + L"\\shellRecorder.log";
    std::wstring recorded = fileExists(log) ? readTextFile(log) : L"";
    DeleteFileW(log.c_str());
    return recorded;
}

// Both libraries in one editor, in the order given; message boxes answered with OK.
struct Session {
    explicit Session(bool pickpathFirst)
    {
        for (int i = 0; i < pluginCount; ++i) {
            int plugin = pickpathFirst ? 1 - i : i;
            std::wstring problem = editor.loadPlugin(pluginPath(std::wstring(pluginNames[plugin]) + L".dll"));
            EXPECT_EQ(problem, L"") << narrow(pluginNames[plugin]);
        }
    }
    DialogDriver driver; // outlives the editor, so nothing the libraries show goes unanswered
    StandinEditor editor;

    // The rows of the plug-in's Options dialog, one per entry it loaded, each starting with the name.
    // Opens the plug-in's Options dialog and turns its toolbar option over: a change to save.
    void changeAnOption(int plugin)
    {
        driver.then([](HWND dialog) {
            DialogDriver::setChecked(dialog, toolbarOption, !DialogDriver::isChecked(dialog, toolbarOption));
            DialogDriver::click(dialog, IDOK);
        });
        editor.runCommand(static_cast<UINT>(editor.commandId(pluginNames[plugin], 2)));
        EXPECT_EQ(driver.pending(), 0u) << narrow(pluginNames[plugin]) << "'s Options dialog didn't open";
    }

    std::vector<std::wstring> loadedEntries(int plugin)
    {
        std::vector<std::wstring> rows;
        driver.then([&rows](HWND dialog) {
            rows = DialogDriver::listRows(dialog, entryListControl);
            DialogDriver::click(dialog, IDCANCEL);
        });
        editor.runCommand(static_cast<UINT>(editor.commandId(pluginNames[plugin], 2)));
        EXPECT_EQ(driver.pending(), 0u) << narrow(pluginNames[plugin]) << "'s Options dialog didn't open";
        return rows;
    }
};

class CommandDriver {
public:
    CommandDriver(Random& random, const SweepPlaces& sweep, Session& session, Tally& tally)
        : random_(random)
        , sweep_(sweep)
        , session_(session)
        , tally_(tally)
    {
    }

    void run(int rounds)
    {
        for (int round = 0; round < rounds; ++round) {
            newDocument();
            StandinEditor& editor = session_.editor;
            timed(L"Help", [&] { editor.pressShortcut(true, false, false, VK_F1); });
            int entryCommands = random_.between(1, 4);
            for (int i = 0; i < entryCommands; ++i) {
                UINT id = firstHelpEntryCommand + static_cast<UINT>(random_.below(52));
                timed(L"help entry " + std::to_wstring(id), [&] { editor.runCommand(id); });
            }
            std::vector<UINT> items;
            collectPluginItems(editor.openContextMenu(), items);
            for (int i = 0; i < 2 && !items.empty(); ++i) {
                UINT id = random_.pick(items);
                timed(L"context menu item " + std::to_wstring(id), [&] { editor.runCommand(id); });
            }
            timed(L"Open current selection", [&] { editor.pressShortcut(false, true, false, 'O'); });
            timed(L"context menu's open", [&] { editor.runCommand(openSelectionMenuCommand); });
            editor.pumpMessages();
        }
    }

private:
    // A document and a selection for the next round.
    void newDocument()
    {
        DocumentModel& document = session_.editor.document;
        document = DocumentModel{};
        document.open(documentPath(random_, sweep_));
        document.editorFolder = editorFolder(random_);
        document.currentWord = selection(random_, sweep_);
    }

    void collectPluginItems(HMENU menu, std::vector<UINT>& items)
    {
        int helpCommand = session_.editor.commandId(L"Wordlamp", 0);
        int openCommand = session_.editor.commandId(L"Pickpath", 0);
        for (int position = 0; position < GetMenuItemCount(menu); ++position) {
            if (HMENU popup = GetSubMenu(menu, position)) {
                collectPluginItems(popup, items);
                continue;
            }
            UINT id = GetMenuItemID(menu, position);
            if (static_cast<int>(id) == helpCommand || static_cast<int>(id) == openCommand
                || id == openSelectionMenuCommand || (id >= firstHelpEntryCommand && id < firstHelpEntryCommand + 50))
                items.push_back(id);
        }
    }

    void timed(const std::wstring& what, const std::function<void()>& command)
    {
        ULONGLONG start = GetTickCount64();
        command();
        ULONGLONG elapsed = GetTickCount64() - start;
        ++tally_.commands;
        tally_.slowestCommand = std::max(tally_.slowestCommand, elapsed);
        EXPECT_LT(elapsed, commandTimeLimit)
            << narrow(what) << " on the document \"" << narrowForMessage(session_.editor.document.fullPath)
            << "\" with the selection \"" << narrowForMessage(session_.editor.document.currentWord) << "\"";
    }

    Random& random_;
    const SweepPlaces& sweep_;
    Session& session_;
    Tally& tally_;
};

// Loads the files into both libraries, lets drive run commands, changes an option of each library
// that change asks for and unloads; then loads what was left and unloads again. Checks that each
// library loaded exactly the entries the files give, that a file with a change holds exactly those
// entries afterwards and a file without one is as it was, and that the second session changes nothing.
void roundTrip(const std::string files[pluginCount], bool pickpathFirst, const bool change[pluginCount],
    const SweepPlaces& sweep, Tally& tally, const std::function<void(Session&)>& drive)
{
    std::vector<KeptEntry> kept[pluginCount];
    std::vector<std::wstring> notTaken[pluginCount];
    for (int plugin = 0; plugin < pluginCount; ++plugin) {
        writeFileBytes(settingsPath(plugin), files[plugin]);
        ageFile(settingsPath(plugin));
        // A single seed leaves its files for a closer look.
        if (std::getenv("SWEEP_SEED") != nullptr)
            writeFileBytes(settingsPath(plugin) + L".first", files[plugin]);
        std::wstring readable = asThePluginsReadIt(settingsPath(plugin), settingsPath(plugin) + L".read");
        ageFile(readable);
        kept[plugin] = entriesToKeep(readable, plugins[plugin]);
        notTaken[plugin] = sectionsNotTaken(readable, kept[plugin]);
        if (std::getenv("SWEEP_SEED") != nullptr)
            for (const KeptEntry& entry : kept[plugin])
                std::printf(
                    "%s keeps [%s]\n", narrow(pluginNames[plugin]).c_str(), narrowForMessage(entry.name, 60).c_str());
    }
    {
        Session session(pickpathFirst);
        for (int plugin = 0; plugin < pluginCount; ++plugin) {
            std::vector<std::wstring> rows = session.loadedEntries(plugin);
            tally.entriesLoaded += static_cast<unsigned>(rows.size());
            EXPECT_EQ(narrow(differenceFromLoaded(rows, kept[plugin])), "")
                << narrow(pluginNames[plugin]) << " loaded " << rows.size() << " entries from a file with "
                << kept[plugin].size() << " entry names distinct without regard to case; of its names "
                << narrow(repeatedNames(settingsPath(plugin)));
        }
        drive(session);
        for (const std::wstring& opened : session.editor.openedFiles) {
            // Past MAX_PATH only in the long form, which the platform opens as it is written.
            bool longForm = opened.compare(0, 4, L"\\\\?\\") == 0;
            EXPECT_TRUE(longForm || opened.size() < 260u) << narrowForMessage(opened);
            DWORD attributes = GetFileAttributesW(opened.c_str());
            EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                << "not a file: " << narrowForMessage(opened);
            tally.longPathsOpened += longForm ? 1 : 0;
        }
        tally.filesOpened += static_cast<unsigned>(session.editor.openedFiles.size());
        for (int plugin = 0; plugin < pluginCount; ++plugin)
            if (change[plugin])
                session.changeAnOption(plugin);
        session.editor.unloadPlugins();
        tally.messageBoxes += static_cast<unsigned>(session.driver.messageBoxes.size());
        EXPECT_TRUE(session.driver.unexpectedDialogs.empty())
            << "unexpected dialog " << narrowForMessage(session.driver.unexpectedDialogs.front());
    }
    std::string firstSave[pluginCount];
    for (int plugin = 0; plugin < pluginCount; ++plugin) {
        ageFile(settingsPath(plugin));
        if (change[plugin]) {
            EXPECT_EQ(narrow(differenceFromKept(settingsPath(plugin), kept[plugin], notTaken[plugin])), "")
                << narrow(pluginNames[plugin]) << "'s save lost or changed what it loaded";
            ++tally.saves;
        } else {
            EXPECT_TRUE(readFileBytes(settingsPath(plugin)) == files[plugin])
                << narrow(pluginNames[plugin]) << "'s settings were written without a change";
        }
        firstSave[plugin] = readFileBytes(settingsPath(plugin));
    }
    {
        Session session(!pickpathFirst);
        session.editor.unloadPlugins();
    }
    for (int plugin = 0; plugin < pluginCount; ++plugin)
        EXPECT_TRUE(readFileBytes(settingsPath(plugin)) == firstSave[plugin])
            << narrow(pluginNames[plugin]) << "'s saved settings changed when loaded and saved again";
    EXPECT_EQ(workingFolder(), sweep.sandbox) << "a command changed the working folder";
    SetCurrentDirectoryW(sweep.sandbox.c_str());
    if (!sweep.recorder.empty()) {
        // What the recorder wrote down, once the last program it started is done.
        Sleep(200);
        std::wstring recorded = takeRecording(sweep.recorder);
        if (!recorded.empty()) {
            ++tally.recordings;
            EXPECT_EQ(recorded.compare(0, sweep.recorder.size() + 2, L"\"" + sweep.recorder + L"\""), 0)
                << narrowForMessage(recorded);
        }
    }
}

std::vector<uint32_t> sweepSeeds()
{
    std::vector<uint32_t> seeds;
    if (const char* only = std::getenv("SWEEP_SEED")) {
        seeds.push_back(static_cast<uint32_t>(std::strtoul(only, nullptr, 10)));
        return seeds;
    }
    uint32_t seedCount = defaultSeedCount;
    if (const char* count = std::getenv("SWEEP_SEEDS"))
        seedCount = static_cast<uint32_t>(std::strtoul(count, nullptr, 10));
    for (uint32_t seed = 0; seed < seedCount; ++seed)
        seeds.push_back(seed);
    return seeds;
}

std::string textFile(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        if (c == L'\n')
            bytes.append("\r\0", 2);
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}
} // namespace

TEST(BadInputSweep, SettingsFilesAndCommandsOverSeeds)
{
    Tally tally;
    unsigned shapes[fileShapeCount] = {};
    ULONGLONG shapeTimes[fileShapeCount] = {};
    unsigned reaching = 0;
    ULONGLONG start = GetTickCount64();
    for (uint32_t seed : sweepSeeds()) {
        ULONGLONG seedStart = GetTickCount64();
        Random random(seed);
        // Every shape in turn, so each gets its share of the seeds.
        FileShape shape = static_cast<FileShape>(seed % fileShapeCount);
        SCOPED_TRACE("seed " + std::to_string(seed) + " (" + narrow(shapeName(shape)) + " settings)");
        SweepPlaces sweep = places;
        std::unique_ptr<DeepTree> deep;
        if (seed % 4 == 3) {
            deep.reset(new DeepTree(sweep));
            ++reaching;
        }
        std::string files[pluginCount];
        for (int plugin = 0; plugin < pluginCount; ++plugin)
            files[plugin] = settingsFile(random, plugins[plugin], shape, sweep);
        const bool change[pluginCount] = {random.chance(50), random.chance(50)};
        roundTrip(files, seed % 2 == 1, change, sweep, tally,
            [&](Session& session) { CommandDriver(random, sweep, session, tally).run(random.between(2, 4)); });
        ++tally.iterations;
        ++shapes[seed % fileShapeCount];
        shapeTimes[seed % fileShapeCount] += GetTickCount64() - seedStart;
    }
    std::printf("sweep: %u seeds in %.1f s;", tally.iterations, static_cast<double>(GetTickCount64() - start) / 1000.0);
    for (int shape = 0; shape < fileShapeCount; ++shape)
        std::printf(" %s %u (%.1f s)", narrow(shapeName(static_cast<FileShape>(shape))).c_str(), shapes[shape],
            static_cast<double>(shapeTimes[shape]) / 1000.0);
    std::printf("; %u entries loaded, %u saves after a change, %u commands, slowest %llu ms, %u message boxes, %u "
                "files opened (%u by their long form); %u seeds reaching further, %u recordings\n",
        tally.entriesLoaded, tally.saves, tally.commands, tally.slowestCommand, tally.messageBoxes, tally.filesOpened,
        tally.longPathsOpened, reaching, tally.recordings);
    EXPECT_GT(tally.filesOpened, 0u) << "no search found anything: the trees were never reached";
    EXPECT_GT(tally.messageBoxes, 0u) << "no command reached a viewer";
    if (reaching >= 20) {
        EXPECT_GT(tally.longPathsOpened, 0u) << "no search found a file past 260 characters";
        EXPECT_GT(tally.recordings, 0u) << "no help location started the recorder";
    }
}

// Shapes worth a name of their own, each read by both libraries through the same round trip.
TEST(BadInputSweep, NamedSettingsShapesKeepEveryLoadedEntry)
{
    const std::wstring longName(259, L'N');
    std::wstring manySections;
    for (int i = 0; i < 53; ++i)
        manySections += L"[Entry " + std::to_wstring(i) + L"]\nMask=*." + std::to_wstring(i) + L"\n";
    struct Shape {
        const char* what;
        std::wstring text;
    };
    const Shape shapes[] = {
        {"names equal without regard to case", L"[Headers]\nMask=*.h\n[HEADERS]\nMask=*.hpp\n[Src]\nMask=*.c\n"},
        {"names that differ only past 259 characters",
            L"[" + longName + L"one]\nMask=*.a\n[" + longName + L"two]\nMask=*.b\n"},
        {"the same section twice", L"[A]\nMask=*.a\n[B]\nMask=*.b\n[A]\nMask=*.c\n"},
        {"Options in other spellings",
            L"[OPTIONS]\nShowMenuIcons=0\n[options]\n[ Options]\nMask=*.x\n[Options ]\nMask=*.y\n"},
        {"a header without its closing bracket", L"[Broken\nMask=*.c\n[Fine]\nMask=*.h\n"},
        {"keys before any section", L"Mask=*.c\nFile=Q:\\x.chm\n[A]\nMask=*.a\n"},
        {"an equals sign without key", L"[A]\n=x\n=\nMask=*.a\n"},
        {"a quoted value with blanks inside", L"[A]\nMask=\" *.a \"\n"},
        {"an empty section name", L"[]\nMask=*.x\n[A]\nMask=*.a\n"},
        {"more sections than the table holds", manySections},
        {"brackets and separators in names", L"[a]b]\nMask=*.a\n[x;y]\nMask=*.b\n[=]\nMask=*.c\n"},
    };
    Tally tally;
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.what);
        std::string files[pluginCount] = {textFile(shape.text), textFile(shape.text)};
        for (bool changed : {false, true}) {
            const bool change[pluginCount] = {changed, changed};
            roundTrip(files, false, change, places, tally, [](Session&) {});
        }
    }
}

// "*" and "?" in turns make the platform's matcher try every split of the name: a hand-edited mask
// of 17 characters must not freeze the editor on a document with a long name.
TEST(BadInputSweep, MasksThatMakeTheMatcherBacktrackAreAnsweredPromptly)
{
    const std::wstring mask = L"*?*?*?*?*?*?*?*?x";
    const std::wstring document = L"Q:\\sweep-nosuch\\" + std::wstring(40, L'a') + L".c";
    std::string files[pluginCount] = {
        textFile(L"[Heavy]\nMask=" + mask + L"\nFile=Q:\\sweep-nosuch\\x.chm\n"),
        textFile(L"[Heavy]\nMask=" + mask + L"\nPath=pp-tree-0\n"),
    };
    Tally tally;
    const bool change[pluginCount] = {false, false};
    roundTrip(files, false, change, places, tally, [&](Session& session) {
        session.editor.document.open(document);
        session.editor.document.currentWord = L"util";
        const std::pair<const char*, std::function<void()>> commands[] = {
            {"Help", [&] { session.editor.pressShortcut(true, false, false, VK_F1); }},
            {"Open current selection", [&] { session.editor.pressShortcut(false, true, false, 'O'); }},
        };
        for (const auto& command : commands) {
            ULONGLONG start = GetTickCount64();
            command.second();
            EXPECT_LT(GetTickCount64() - start, 500u)
                << command.first << " with the mask " << narrow(mask) << " on a name of "
                << session.editor.document.fileName.size() << " characters";
        }
    });
}
