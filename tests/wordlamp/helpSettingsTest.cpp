// Wordlamp's settings file through the library's own code: what loading reads is what saving
// writes back, a save comes only after a change, and files other programs hold or wrote in other
// encodings are read as written and left alone.
#include "helpSettings.h"
#include "pluginHost.h"
#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace wordlamp;

namespace {
// Loads the settings, and saves them after an option was changed and changed back (a save comes
// only after a change); the file that is then left.
std::wstring roundTrip(const std::wstring& settings, bool ansi)
{
    writeSettings(settings, ansi);
    pluginModule = GetModuleHandleW(nullptr);
    loadSettings();
    for (int i = 0; i < 2; ++i) {
        helpOptions.StayOnTop = !helpOptions.StayOnTop;
        saveSettings(SaveMode::silently);
    }
    return joinLines(settingsLines());
}

std::wstring entrySection(const std::wstring& name, const std::wstring& mask, const std::wstring& file, int show)
{
    return L"[" + name + L"]\nMask=" + mask + L"\nFile=" + file + L"\nShow=" + std::to_wstring(show) + L"\n";
}

std::wstring manySections(int count, size_t nameLength)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        std::wstring name = L"Entry" + std::to_wstring(i);
        name.resize(nameLength, L'x');
        text += entrySection(name, L"*.e" + std::to_wstring(i), L"help" + std::to_wstring(i) + L".chm", i % 2);
    }
    return text;
}
} // namespace

TEST(HelpSettings, RoundTrips)
{
    struct Case {
        const char* what;
        std::wstring file;
        std::wstring saved;
    };
    const std::wstring defaults = optionsSection();
    const Case cases[] = {
        {"no file gives the defaults", L"", defaults},
        {"only options, no entries", optionsSection(1, 2, 1, 1, 1, 1, 0), optionsSection(1, 2, 1, 1, 1, 1, 0)},
        {"OPTIONS in capitals is the options section, no entry", L"[OPTIONS]\nStayOnTop=1\nShowMenuIcons=0\n",
            optionsSection(1, 0, 0, 0, 0, 0, 0)},
        {"flags count as set when non-zero; the menu mode keeps its number",
            L"[Options]\nStayOnTop=5\nHelpMenuMode=7\nShowMenuIcons=-2\n[C]\nMask=*.c\nFile=c.chm\nShow=5\n",
            optionsSection(1, 7, 0, 0, 0, 0, 1) + entrySection(L"C", L"*.c", L"c.chm", 1)},
        {"a value that is no number reads as 0", L"[Options]\nHelpMenuMode=two\nShowMenuIcons=no\n",
            optionsSection(0, 0, 0, 0, 0, 0, 0)},
        {"legacy Extension becomes a mask and is not written again", L"[C]\nExtension=c cpp h\nFile=c.chm\nShow=1\n",
            defaults + entrySection(L"C", L"*.c;*.cpp;*.h", L"c.chm", 1)},
        {"an empty Mask falls back to Extension", L"[Text]\nMask=\nExtension=txt\nFile=$word$.txt\n",
            defaults + entrySection(L"Text", L"*.txt", L"$word$.txt", 0)},
        {"neither Mask nor Extension", L"[Bare]\nFile=x.hlp\n", defaults + entrySection(L"Bare", L"*.", L"x.hlp", 0)},
        {"a Mask is kept even beside an Extension", L"[Both]\nMask=*.h\nExtension=c\nFile=y\n",
            defaults + entrySection(L"Both", L"*.h", L"y", 0)},
        {"file order is table order; options come first; unknown keys stay in their sections, after the known",
            L"[Zeta]\nMask=*.z\nFile=z.chm\nShow=1\nColour=red\n[Options]\nStayOnTop=1\nUnknown=3\n[Alpha]\nFile=a."
            L"chm\n"
            L"Mask=*.a\n[Mid]\nMask=*.m\nFile=%TEMP%\\m.pdf\n",
            optionsSection(1) + L"Unknown=3\n" + entrySection(L"Zeta", L"*.z", L"z.chm", 1) + L"Colour=red\n"
                + entrySection(L"Alpha", L"*.a", L"a.chm", 0) + entrySection(L"Mid", L"*.m", L"%TEMP%\\m.pdf", 0)},
        {"a name and paths outside the ANSI code page survive",
            L"[\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC "
            L"\u6587\u6863]\nMask=*.\u00E9\nFile=C:\\\u6587\u6863\\h.chm\n",
            defaults
                + entrySection(L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC \u6587\u6863", L"*.\u00E9",
                    L"C:\\\u6587\u6863\\h.chm", 0)},
        {"more than 4,096 characters of section names are all read", manySections(40, 200),
            defaults + manySections(40, 200)},
        {"60 sections give the first 50 entries and keep the other 10 after them", manySections(60, 8),
            defaults + manySections(60, 8)},
        // The profile functions read such sections as one, so a second entry would be a copy of the
        // first; the second stays in the file, after the entries, as it was.
        {"names equal without regard to case give one entry, the first",
            entrySection(L"Api", L"*.a", L"a.chm", 1) + entrySection(L"API", L"*.b", L"b.chm", 0)
                + entrySection(L"Other", L"*.o", L"o.chm", 0),
            defaults + entrySection(L"Api", L"*.a", L"a.chm", 1) + entrySection(L"Other", L"*.o", L"o.chm", 0)
                + entrySection(L"API", L"*.b", L"b.chm", 0)},
        // Values that the profile functions would trim go into the file quoted, and come back whole.
        {"blanks around a value and enclosing quotes survive", L"[Q]\nMask=\" *.c\"\nFile=\"\"quoted\"\"\n",
            defaults + L"[Q]\nMask=\" *.c\"\nFile=\"\"quoted\"\"\nShow=0\n"},
        {"names alike up to the 259 characters kept give one entry",
            entrySection(std::wstring(259, L'n') + L"first", L"*.1", L"1.chm", 0)
                + entrySection(std::wstring(259, L'n') + L"second", L"*.2", L"2.chm", 0),
            defaults + entrySection(std::wstring(259, L'n'), L"*.1", L"1.chm", 0)
                + entrySection(std::wstring(259, L'n') + L"second", L"*.2", L"2.chm", 0)},
    };
    for (const Case& c : cases) {
        removeSettings();
        EXPECT_EQ(roundTrip(c.file, false), c.saved) << c.what;
    }
}

TEST(HelpSettings, OldAnsiFilesLoad)
{
    removeSettings();
    EXPECT_EQ(roundTrip(L"[Options]\r\nHelpMenuMode=3\r\n[Java]\r\nExtension=java jav\r\nFile=j.chm\r\n", true),
        optionsSection(0, 3) + entrySection(L"Java", L"*.java;*.jav", L"j.chm", 0));
}

TEST(HelpSettings, OverlongValuesAreCutToTheirFields)
{
    std::wstring longName(300, L'N');
    std::wstring longMask = L"*.";
    longMask.append(298, L'm');
    std::wstring extensions;
    for (int i = 0; i < 200; ++i)
        extensions += L"e" + std::to_wstring(i) + L" ";
    std::wstring builtMask = L"*." + extensions;
    for (size_t space = builtMask.find(L' '); space != std::wstring::npos; space = builtMask.find(L' ', space + 3))
        builtMask.replace(space, 1, L";*.");

    removeSettings();
    std::wstring saved = roundTrip(L"[" + longName + L"]\nMask=" + longMask + L"\nFile=" + longMask
            + L"\n[Legacy]\nExtension=" + extensions + L"\nFile=l.chm\n",
        false);
    EXPECT_EQ(saved,
        optionsSection() + entrySection(longName.substr(0, 259), longMask.substr(0, 259), longMask.substr(0, 259), 0)
            + entrySection(L"Legacy", builtMask.substr(0, 259), L"l.chm", 0));
}

TEST(HelpSettings, AFailedSaveLeavesTheOldFile)
{
    removeSettings();
    const std::wstring before = L"[Options]\nStayOnTop=1\n[Keep]\nExtension=c\nFile=k.chm\n";
    writeSettings(before);
    pluginModule = GetModuleHandleW(nullptr);
    loadSettings();
    helpOptions.ShowMenuIcons = 0;
    // Held open without sharing, the file can't be replaced when the library saves.
    HANDLE held = CreateFileW(settingsFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    saveSettings(SaveMode::silently);
    CloseHandle(held);
    EXPECT_EQ(readTextFile(settingsFilePath()), before);

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((programFolder() + L"\\Plugins\\Config\\*").c_str(), &found);
    std::vector<std::wstring> names;
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (found.cFileName[0] != L'.')
                names.push_back(found.cFileName);
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(names, std::vector<std::wstring>{L"Wordlamp.ini"}) << "no half-written file is left behind";
}

TEST(HelpSettings, SavingMakesTheMissingFolderOnlyForAChange)
{
    removeTree(programFolder() + L"\\Plugins");
    HMODULE module = LoadLibraryW(pluginPath(L"Wordlamp.dll").c_str());
    ASSERT_NE(module, nullptr);
    FreeLibrary(module);
    EXPECT_FALSE(fileExists(settingsFilePath())) << "nothing changed, nothing written";
    pluginModule = GetModuleHandleW(nullptr);
    loadSettings();
    helpOptions.HelpMenuMode = 2;
    saveSettings(SaveMode::silently);
    EXPECT_EQ(joinLines(settingsLines()), optionsSection(0, 2));
}

// A file as people's editors leave it, loaded, saved without a change and then with one.
TEST(HelpSettings, FilesInOtherEncodingsAreReadAsWrittenAndRewrittenOnlyForAChange)
{
    const std::wstring name = L"\u041F\u0440\u0438\u0432\u0435\u0442";
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring file; // of the entry, as read
    };
    const Case cases[] = {
        {"UTF-8 without a mark",
            "[\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82]\r\nMask=*.c\r\nFile=C:\\B\xC3\xBC"
            "cher\\h.chm\r\n",
            L"C:\\B\u00FCcher\\h.chm"},
        {"UTF-16 ending in an odd byte",
            [&name] {
                std::wstring text = L"[" + name + L"]\r\nMask=*.c\r\nFile=C:\\h.ch";
                std::string bytes = "\xFF\xFE";
                bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
                return bytes + "m";
            }(),
            L"C:\\h.chm"},
    };
    pluginModule = GetModuleHandleW(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        removeSettings();
        writeFileBytes(settingsFilePath(), c.bytes);
        helpEntryTable.Count = 0;
        loadSettings();
        ASSERT_EQ(helpEntryTable.Count, 1u);
        EXPECT_EQ(std::wstring(helpEntryTable.Entries[0].Name), name);
        EXPECT_EQ(std::wstring(helpEntryTable.Entries[0].File), c.file);
        saveSettings(SaveMode::silently);
        EXPECT_TRUE(readFileBytes(settingsFilePath()) == c.bytes) << "not rewritten without a change";
        helpOptions.StayOnTop = 1;
        saveSettings(SaveMode::silently);
        std::printf("%s: the entry's name read as %zu characters, its help file saved as \"%s\"\n", c.what,
            wcslen(helpEntryTable.Entries[0].Name), narrow(helpEntryTable.Entries[0].File).c_str());
        EXPECT_EQ(savedSettings(), optionsSection(1) + L"[" + name + L"]\nMask=*.c\nFile=" + c.file + L"\nShow=0\n");
    }
    helpEntryTable.Count = 0;
}

TEST(HelpSettings, SavingWritesTheTableAsItStands)
{
    pluginModule = GetModuleHandleW(nullptr);
    removeSettings();
    loadSettings();
    const HelpEntry entries[] = {
        {L"", L"*.x", L"lost.chm", 1, 0},
        {L"C++", L"*.cpp;*.h", L"$cdir$\\cpp.chm", 5, 0},
        {L"Web", L"*.html", L"https://example.com/?q=$word$", 0, 0},
    };
    helpOptions = HelpOptions{1, 3, 1, 0, 1, 0, 0};
    helpEntryTable.Count = 0;
    for (const HelpEntry& entry : entries)
        helpEntryTable.Entries[helpEntryTable.Count++] = entry;
    EXPECT_EQ(helpEntryTable.Entries[1].Show, 5);
    EXPECT_STREQ(helpEntryTable.Entries[2].File, L"https://example.com/?q=$word$");
    saveSettings(SaveMode::tellUser);
    // The nameless entry has no section to go to and is left out.
    EXPECT_EQ(joinLines(settingsLines()),
        optionsSection(1, 3, 1, 0, 1, 0, 0) + entrySection(L"C++", L"*.cpp;*.h", L"$cdir$\\cpp.chm", 1)
            + entrySection(L"Web", L"*.html", L"https://example.com/?q=$word$", 0));
    helpEntryTable.Count = 0;
}
