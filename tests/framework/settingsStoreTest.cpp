// The settings of a plug-in for the life of its library, over a small table of its own: saved only
// after a change in the plug-in, and then merged with the file as the user left it meanwhile.
#include "settingsStore.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <strsafe.h>

namespace {
struct TestEntry {
    wchar_t Name[260];
    wchar_t Value[260];
    int Flag;
    unsigned LoadedFrom;
};

// Four entries, so the table's limit is soon reached.
struct TestTable {
    TestEntry Entries[4];
    unsigned Count;
};

struct TestOptions {
    int Flag;
    int Number;
};

const SettingKey optionKeys[] = {
    {L"Flag", SettingKind::flag, offsetof(TestOptions, Flag), 0, 0},
    {L"Number", SettingKind::number, offsetof(TestOptions, Number), 0, 0},
};
const SettingKey entryKeys[] = {
    {L"Value", SettingKind::text, offsetof(TestEntry, Value), 260, 0},
    {L"Flag", SettingKind::flag, offsetof(TestEntry, Flag), 0, 0},
};

const SettingsLayout<TestEntry> layout = {optionKeys, _countof(optionKeys), entryKeys, _countof(entryKeys), nullptr};

// "\n" in a text is a line break of the file.
void writeSettingsFile(const std::wstring& path, const std::wstring& text)
{
    std::wstring lines;
    for (wchar_t c : text)
        lines += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    writeTextFile(path, lines);
}

std::wstring fileText(const std::wstring& path)
{
    std::wstring text;
    for (const std::wstring& line : splitLines(readTextFile(path)))
        text += line + L"\n";
    return text;
}

TestEntry entry(const wchar_t* name, const wchar_t* value)
{
    TestEntry made{};
    StringCchCopyW(made.Name, _countof(made.Name), name);
    StringCchCopyW(made.Value, _countof(made.Value), value);
    return made;
}

// What the entries of a file hold: "[A]\nValue=a\nFlag=0\n" is section("A", "a").
std::wstring section(const std::wstring& name, const std::wstring& value, const std::wstring& more = L"")
{
    return L"[" + name + L"]\nValue=" + value + L"\nFlag=0\n" + more;
}

const std::wstring options = L"[Options]\nFlag=0\nNumber=3\n";

struct Store {
    TestTable table{};
    TestOptions values{};
    SettingsStore<TestTable, TestOptions> store{table, values, layout};
};
} // namespace

TEST(SettingsStore, SavesOnlyAChangeAndMergesItWithTheFileAsTheUserLeftIt)
{
    struct Case {
        const char* what;
        std::wstring loaded;
        std::function<void(TestTable&, TestOptions&)> change;
        std::wstring now; // the file when the save comes; empty: gone
        std::wstring saved;
    };
    auto none = [](TestTable&, TestOptions&) {};
    auto flag = [](TestTable&, TestOptions& o) { o.Flag = 1; };
    const std::wstring ab = options + section(L"A", L"a") + section(L"B", L"b");
    const Case cases[] = {
        {"nothing changed in the plug-in: the file stays as the user left it", ab, none,
            L"; by hand\n[Options]\nFlag=5\n" + section(L"A", L"hand") + section(L"Added", L"h"),
            L"; by hand\n[Options]\nFlag=5\n" + section(L"A", L"hand") + section(L"Added", L"h")},
        {"a flag of another number that is written the same is no change", L"[Options]\nFlag=5\n" + section(L"A", L"a"),
            [](TestTable&, TestOptions& o) { o.Flag = 1; }, L"[Options]\nFlag=5\n" + section(L"A", L"a"),
            L"[Options]\nFlag=5\n" + section(L"A", L"a")},
        {"an option changed replaces its own line only", ab, flag,
            L"[Options]\nNumber=7\nMine=1\n" + section(L"A", L"hand") + section(L"B", L"b"),
            L"[Options]\nFlag=1\nNumber=7\nMine=1\n" + section(L"A", L"hand") + section(L"B", L"b")},
        {"an entry changed replaces its hand-edited counterpart, keeping the keys added by hand", ab,
            [](TestTable& t, TestOptions&) { StringCchCopyW(t.Entries[0].Value, 260, L"plug"); },
            options + L"[A]\nValue=hand\nNote=n\n" + section(L"B", L"hand b"),
            options + section(L"A", L"plug", L"Note=n\n") + section(L"B", L"hand b")},
        {"an entry removed in the plug-in goes, one removed by hand stays gone", ab + section(L"C", L"c"),
            [](TestTable& t, TestOptions&) { t.Entries[1] = t.Entries[--t.Count]; }, ab, options + section(L"A", L"a")},
        {"a new entry follows its neighbour in the table, one added by hand keeps its place", ab,
            [](TestTable& t, TestOptions&) { t.Entries[t.Count++] = entry(L"New", L"n"); },
            options + section(L"A", L"a") + section(L"Hand", L"h") + section(L"B", L"b"),
            options + section(L"A", L"a") + section(L"Hand", L"h") + section(L"B", L"b") + section(L"New", L"n")},
        {"entries moved in the plug-in keep its order, one added by hand follows its neighbour",
            ab + section(L"C", L"c"),
            [](TestTable& t, TestOptions&) {
                TestEntry last = t.Entries[2];
                t.Entries[2] = t.Entries[1];
                t.Entries[1] = t.Entries[0];
                t.Entries[0] = last;
            },
            ab + section(L"Hand", L"h") + section(L"C", L"c"),
            options + section(L"C", L"c") + section(L"A", L"a") + section(L"B", L"b") + section(L"Hand", L"h")},
        {"a renamed entry takes the old section's place and keys", ab,
            [](TestTable& t, TestOptions&) { StringCchCopyW(t.Entries[0].Name, 260, L"Z"); },
            options + L"[A]\nValue=hand\nNote=n\n" + section(L"B", L"b"),
            options + section(L"Z", L"a", L"Note=n\n") + section(L"B", L"b")},
        {"a file gone missing gets what the plug-in holds and what the file held besides", ab + L"[Other]\nKey=1\n",
            flag, L"",
            L"[Options]\nFlag=1\nNumber=3\n" + section(L"A", L"a") + section(L"B", L"b")
                + section(L"Other", L"", L"Key=1\n")},
        {"entries added by hand past the table's four stay in the file after the others",
            options + section(L"A", L"a") + section(L"B", L"b") + section(L"C", L"c") + section(L"D", L"d"), flag,
            options + section(L"A", L"a") + section(L"E", L"e") + section(L"B", L"b") + section(L"C", L"c")
                + section(L"D", L"d") + section(L"F", L"f"),
            L"[Options]\nFlag=1\nNumber=3\n" + section(L"A", L"a") + section(L"E", L"e") + section(L"B", L"b")
                + section(L"C", L"c") + section(L"D", L"d") + section(L"F", L"f")},
    };
    std::wstring folder = makeTempFolder(L"settingsStore");
    std::wstring path = folder + L"\\Plugin.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store plugin;
        writeSettingsFile(path, c.loaded);
        plugin.store.load(path.c_str());
        c.change(plugin.table, plugin.values);
        if (c.now.empty())
            DeleteFileW(path.c_str());
        else
            writeSettingsFile(path, c.now);
        std::string before = readFileBytes(path);
        plugin.store.save(path.c_str(), SaveMode::silently);
        EXPECT_EQ(narrow(withVisibleBreaks(fileText(path))), narrow(withVisibleBreaks(c.saved)));
        if (c.saved == c.now) {
            EXPECT_TRUE(readFileBytes(path) == before) << "a file with nothing to change is not written";
            continue;
        }
        // What was saved is what the plug-in holds now: a second save has nothing to write, and the
        // table shows the file as a load of it would.
        Store reloaded;
        reloaded.store.load(path.c_str());
        ASSERT_EQ(plugin.table.Count, reloaded.table.Count);
        for (unsigned i = 0; i < plugin.table.Count; ++i)
            EXPECT_STREQ(plugin.table.Entries[i].Value, reloaded.table.Entries[i].Value);
        EXPECT_EQ(plugin.store.entriesNotShown(), reloaded.store.entriesNotShown());
        std::string saved = readFileBytes(path);
        plugin.store.save(path.c_str(), SaveMode::silently);
        EXPECT_TRUE(readFileBytes(path) == saved);
    }
    removeTree(folder);
}

TEST(SettingsStore, AHandEditAfterASaveStaysThroughTheNextSave)
{
    std::wstring folder = makeTempFolder(L"settingsStore");
    std::wstring path = folder + L"\\Plugin.ini";
    Store plugin;
    writeSettingsFile(path, options + section(L"A", L"a") + section(L"B", L"b"));
    plugin.store.load(path.c_str());
    StringCchCopyW(plugin.table.Entries[0].Value, 260, L"first");
    plugin.store.save(path.c_str(), SaveMode::silently);
    // The user edits what the plug-in saved; the plug-in then changes something else.
    writeSettingsFile(path, options + section(L"A", L"by hand") + section(L"B", L"b"));
    StringCchCopyW(plugin.table.Entries[1].Value, 260, L"second");
    plugin.store.save(path.c_str(), SaveMode::silently);
    EXPECT_EQ(fileText(path), options + section(L"A", L"by hand") + section(L"B", L"second"));
    EXPECT_STREQ(plugin.table.Entries[0].Value, L"by hand") << "the table holds what the file holds";
    removeTree(folder);
}
