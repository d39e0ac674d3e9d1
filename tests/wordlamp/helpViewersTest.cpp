// Each viewer as its engine's stand-in saw it: HTML Help (through the binding's registry lookup),
// WinHelp (a window of the class WinHelp talks to) and the shell (a program that records its
// command line). Ctrl+F1 goes through the real library; the rest calls the viewers directly.
#include "dialogDriver.h"
#include "helpLookup.h"
#include "helpViewers.h"
#include "pluginHost.h"
#include "wordlampState.h"

#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <htmlhelp.h>

using namespace wordlamp;

namespace {
// A location as a help entry's File gives it, expanded up to the word.
ExpandedTemplate expandedLocation(const std::wstring& location)
{
    ExpandedTemplate expanded;
    expandTemplateAroundWord(location.c_str(), expanded);
    return expanded;
}

std::wstring oneEntry(const std::wstring& mask, const std::wstring& file, int stayOnTop = 0)
{
    return optionsSection(stayOnTop) + L"[Entry]\nMask=" + mask + L"\nFile=" + file + L"\n";
}

// Ctrl+F1 in x.<extension> with the word, over one entry for that extension.
struct HelpKeyPress {
    HelpKeyPress(const std::wstring& location, const std::wstring& word, int stayOnTop = 0)
        : wordlamp(oneEntry(L"*.txt", location, stayOnTop))
    {
        EXPECT_TRUE(wordlamp.loaded);
        wordlamp.editor.document.open(L"C:\\work\\x.txt");
        wordlamp.editor.document.currentWord = word;
        EXPECT_TRUE(wordlamp.editor.pressShortcut(true, false, false, VK_F1));
    }
    WordlampInEditor wordlamp;
};

// The viewers linked into this program talk to this editor.
class ViewerCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        pluginModule = GetModuleHandleW(nullptr);
        nppData = editor.nppData();
        helpOptions = HelpOptions{};
    }
    StandinEditor editor;
    DialogDriver driver;
    HelpFiles files;
};
} // namespace

TEST(HelpViewers, HtmlHelpGetsAKeywordLookupOwnedAsStayOnTopSays)
{
    HelpFiles files;
    HtmlHelpStandin htmlHelp;
    DialogDriver driver;
    std::wstring chm = files.make(L"api.chm");
    for (int stayOnTop : {0, 1}) {
        htmlHelp.clear();
        HelpKeyPress press(chm, L"CreateWindowExW", stayOnTop);
        std::vector<HtmlHelpCall> calls = htmlHelp.calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].owner, stayOnTop ? press.wordlamp.editor.mainWindow() : GetDesktopWindow());
        EXPECT_STREQ(calls[0].file, chm.c_str());
        EXPECT_EQ(calls[0].command, 13u) << "HH_KEYWORD_LOOKUP";
        EXPECT_STREQ(calls[0].keyword, L"CreateWindowExW");
        EXPECT_EQ(calls[0].recordSize, static_cast<int>(sizeof(HH_AKLINK)));
        EXPECT_FALSE(calls[0].reserved);
        EXPECT_TRUE(calls[0].indexOnFail);
        EXPECT_TRUE(calls[0].otherFieldsNull);
    }
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST(HelpViewers, TheHtmlHelpBindingFallsBackByNameAndGivesUpForGood)
{
    HelpFiles files;
    DialogDriver driver;
    std::wstring chm = files.make(L"api.chm");
    const std::wstring refuse = L"";
    const std::wstring native = L"native";
    const std::wstring noEntry = programFolder() + L"\\hhNoEntry.dll";
    const std::wstring nowhere = files.path(L"nowhere\\hhctrl.ocx");
    // A registered library without ordinal 15, then none at all with Wine's loader told to refuse
    // the engine by name: each load of the plug-in fails once and then tries nothing more.
    for (const std::wstring* registered : {&noEntry, &nowhere}) {
        RegistryValueSwap refused(HKEY_CURRENT_USER, wineDllOverrides, L"hhctrl.ocx", &refuse);
        RegistryValueSwap broken(HKEY_LOCAL_MACHINE, htmlHelpServerKey, L"", registered);
        WordlampInEditor wordlamp(oneEntry(L"*.txt", chm));
        wordlamp.editor.document.open(L"C:\\work\\x.txt");
        wordlamp.editor.document.currentWord = L"word";
        wordlamp.pressHelp();
        HtmlHelpStandin registeredAgain;
        wordlamp.pressHelp();
        EXPECT_EQ(registeredAgain.callCount(), 0) << narrow(*registered);
    }
    ASSERT_EQ(GetModuleHandleW(L"hhctrl.ocx"), nullptr);
    // Nothing registered: a fresh load of the plug-in takes "hhctrl.ocx" by name, here the stand-in
    // beside this program.
    RegistryValueSwap preferred(HKEY_CURRENT_USER, wineDllOverrides, L"hhctrl.ocx", &native);
    RegistryValueSwap unregistered(HKEY_LOCAL_MACHINE, htmlHelpServerKey, L"", nullptr);
    HelpKeyPress press(chm, L"word");
    HMODULE byName = GetModuleHandleW(L"hhctrl.ocx");
    ASSERT_NE(byName, nullptr);
    wchar_t loadedFrom[MAX_PATH] = L"";
    GetModuleFileNameW(byName, loadedFrom, MAX_PATH);
    EXPECT_EQ(std::wstring(loadedFrom), programFolder() + L"\\hhctrl.ocx");
    auto log = libraryEntry<HtmlHelpLogFunction>(byName, "htmlHelpLog");
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log()->count, 1);
    EXPECT_TRUE(driver.messageBoxes.empty()) << "a failed binding is not reported";
}

TEST(HelpViewers, WinHelpGetsTheKeywordOrTheContents)
{
    HelpFiles files;
    WinHelpStandin winHelp;
    DialogDriver driver;
    std::wstring hlp = files.make(L"win32.hlp");
    HelpKeyPress press(hlp, L"GetDC", 1);
    ASSERT_EQ(winHelp.calls.size(), 1u);
    EXPECT_EQ(winHelp.calls[0].owner, press.wordlamp.editor.mainWindow());
    EXPECT_EQ(winHelp.calls[0].command, 0x0101u) << "HELP_KEY";
    EXPECT_EQ(winHelp.calls[0].file, hlp);
    // Wine's WinHelpW hands the keyword on unconverted to its ANSI form, so only the text up to the
    // first zero byte arrives: the first letter.
    EXPECT_EQ(winHelp.calls[0].data, L"G");
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST(HelpViewers, TheShellStartsAProgramWithTheWordAsItsCommandLine)
{
    DialogDriver driver;
    clearShellRecord();
    HelpKeyPress press(shellRecorderPath(), L"strcpy_s");
    EXPECT_EQ(waitForShellRecord(), L"\"" + shellRecorderPath() + L"\" strcpy_s");
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST(HelpViewers, ShellFailuresShowTheirTextWithTheErrorIcon)
{
    HelpFiles files;
    DialogDriver driver;
    std::wstring unassociated = files.make(L"notes.wlnoassoc");
    std::vector<HWND> owners;
    for (const std::wstring& location : {files.path(L"missing.txt"), unassociated}) {
        HelpKeyPress press(location, L"w");
        owners.push_back(press.wordlamp.editor.mainWindow());
    }
    ASSERT_EQ(driver.messageBoxes.size(), 2u);
    EXPECT_EQ(driver.messageBoxes[0].owner, owners[0]);
    EXPECT_EQ(driver.messageBoxes[1].owner, owners[1]);
    const std::vector<std::wstring> missing = splitLines(driver.messageBoxes[0].text);
    const std::vector<std::wstring> noProgram = splitLines(driver.messageBoxes[1].text);
    ASSERT_EQ(missing.size(), 2u) << narrow(withVisibleBreaks(driver.messageBoxes[0].text));
    ASSERT_EQ(noProgram.size(), 2u) << narrow(withVisibleBreaks(driver.messageBoxes[1].text));
    EXPECT_EQ(missing[0], L"The specified file was not found.");
    EXPECT_EQ(noProgram[0],
        L"There is no application associated with the given file name extension. This error will also be returned "
        L"if you attempt to print a file that is not printable.");
    // The second line names what could not be started, and why where the system says.
    EXPECT_EQ(missing[1].rfind(L"Could not start \"" + files.path(L"missing.txt") + L"\"", 0), 0u)
        << narrow(missing[1]);
    EXPECT_EQ(noProgram[1].rfind(L"Could not start \"" + unassociated + L"\"", 0), 0u) << narrow(noProgram[1]);
    for (const MessageBoxRecord& box : driver.messageBoxes) {
        EXPECT_EQ(box.caption, L"Wordlamp");
        EXPECT_EQ(box.icon, IconKind::error);
    }
}

TEST_F(ViewerCalls, EveryShellErrorGivesItsOwnMessage)
{
    // The failures the shell reports by number, and numbers it never gives; above 32 is success.
    const intptr_t known[] = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    const intptr_t unknown[] = {1, 4, -7};
    std::set<std::wstring> messages;
    const wchar_t program[] = L"C:\\Tools\\dict.exe";
    // The documented sentence; the second line names the program, here without a reason.
    auto shownFor = [&](intptr_t code) {
        driver.messageBoxes.clear();
        reportShellExecuteError(code, program, ERROR_SUCCESS);
        if (driver.messageBoxes.size() != 1u)
            return std::wstring();
        const MessageBoxRecord& box = driver.messageBoxes[0];
        EXPECT_EQ(box.caption, L"Wordlamp") << code;
        EXPECT_EQ(box.icon, IconKind::error) << code;
        EXPECT_EQ(box.owner, editor.mainWindow()) << code;
        std::vector<std::wstring> lines = splitLines(box.text);
        EXPECT_EQ(lines.size(), 2u) << code;
        EXPECT_EQ(lines.back(), L"Could not start \"C:\\Tools\\dict.exe\".") << code;
        return lines.front();
    };
    for (intptr_t code : known) {
        std::wstring text = shownFor(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_TRUE(messages.insert(text).second) << code << " shares its message: " << narrow(text);
    }
    for (intptr_t code : unknown) {
        std::wstring text = shownFor(code);
        EXPECT_NE(text.find(std::to_wstring(code)), std::wstring::npos) << "the message names the number " << code;
        EXPECT_TRUE(messages.insert(text).second) << code;
    }
    for (intptr_t code : {33, 42}) {
        driver.messageBoxes.clear();
        reportShellExecuteError(code, program, ERROR_SUCCESS);
        EXPECT_TRUE(driver.messageBoxes.empty()) << code;
    }
    // With the system's reason: each error its own, on the same line as the program.
    std::set<std::wstring> reasons;
    for (DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT}) {
        driver.messageBoxes.clear();
        reportShellExecuteError(ERROR_FILE_NOT_FOUND, program, error);
        ASSERT_EQ(driver.messageBoxes.size(), 1u);
        std::vector<std::wstring> lines = splitLines(driver.messageBoxes[0].text);
        ASSERT_EQ(lines.size(), 2u) << error;
        const std::wstring named = L"Could not start \"C:\\Tools\\dict.exe\": ";
        ASSERT_EQ(lines[1].rfind(named, 0), 0u) << narrow(lines[1]);
        std::wstring reason = lines[1].substr(named.size());
        EXPECT_FALSE(reason.empty() || iswspace(reason.back())) << error;
        EXPECT_TRUE(reasons.insert(reason).second) << error << " shares its reason: " << narrow(reason);
    }
}

TEST_F(ViewerCalls, AMenuEntrySearchesTheWordOnlyWhenAskedTo)
{
    WinHelpStandin winHelp;
    std::wstring hlp = files.make(L"menu.hlp");
    struct Case {
        int searchWord;
        const wchar_t* word;
        UINT command;
        bool asksForWord;
    };
    const Case cases[] = {
        {0, L"Beep", 0x0003, false}, // HELP_CONTENTS: the word isn't even asked for
        {1, L"Beep", 0x0101, true},  // HELP_KEY
        {1, L"", 0x0003, true},      // nothing under the caret: the contents, without a message
    };
    for (const Case& c : cases) {
        winHelp.calls.clear();
        editor.requests.clear();
        helpOptions.HelpMenuSearchWord = c.searchWord;
        editor.document.currentWord = c.word;
        runHelpEntry(expandedLocation(hlp));
        ASSERT_EQ(winHelp.calls.size(), 1u);
        EXPECT_EQ(winHelp.calls[0].command, c.command);
        EXPECT_EQ(editor.requestCount(NPPM_GETCURRENTWORD), c.asksForWord ? 1u : 0u);
    }
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(ViewerCalls, TheLocationsFormChoosesTheViewer)
{
    WinHelpStandin winHelp;
    std::wstring hlp = files.make(L"UPPER.HLP");
    openHelp(expandedLocation(hlp), L"w");
    EXPECT_EQ(winHelp.calls.size(), 1u) << "extensions ignore case";

    // The first line is the viewer's documented sentence; a missing help file's path follows it.
    struct Case {
        std::wstring location;
        const wchar_t* text;
        const wchar_t* caption;
    };
    const Case cases[] = {
        // The extension comes before the address form: a web address ending in .pdf is a PDF file.
        {L"http://example.com/manual.pdf", L"The specified help file does not exist!", L"Wordlamp"},
        {files.path(L"missing.hlp"), L"The specified help file does not exist!", L"Wordlamp"},
        {files.path(L"missing.CHM"), L"The specified help file does not exist!", L"Wordlamp"},
        {files.path(L"missing.doc"), L"The specified file was not found.", L"Wordlamp"},
        // The Document Explorer, not the shell, gets an ms-help address; none is registered here.
        {L"MS-HELP://MS.VSCC.v90/MS.MSDNQTR.v90.en", L"Unable to display MsHelp!", L"ERROR"},
    };
    for (const Case& c : cases) {
        driver.messageBoxes.clear();
        openHelp(expandedLocation(c.location), L"w");
        ASSERT_EQ(driver.messageBoxes.size(), 1u) << narrow(c.location);
        std::vector<std::wstring> lines = splitLines(driver.messageBoxes[0].text);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], c.text);
        if (lines[0] == L"The specified help file does not exist!") {
            EXPECT_EQ(lines, (std::vector<std::wstring>{c.text, c.location}));
        }
        EXPECT_EQ(driver.messageBoxes[0].caption, c.caption);
    }
    EXPECT_EQ(winHelp.calls.size(), 1u);
}
