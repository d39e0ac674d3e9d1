// The "Help" command (Ctrl+F1) of the real library in the stand-in editor: which entry wins, the
// messages, and which viewer a location reaches.
#include "dialogDriver.h"
#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
const wchar_t noHelpFile[] = L"No help file has been specified for this file extension!";
const wchar_t noWord[] = L"Please select a word to lookup first!";

struct Entry {
    const wchar_t* mask;
    std::wstring file;
};

std::wstring settingsWith(const std::vector<Entry>& entries, int stayOnTop = 0)
{
    std::wstring text = optionsSection(stayOnTop);
    int number = 0;
    for (const Entry& entry : entries)
        text += L"[Entry " + std::to_wstring(++number) + L"]\nMask=" + entry.mask + L"\nFile=" + entry.file + L"\n";
    return text;
}

class HelpCommand : public ::testing::Test {
protected:
    HelpFiles files;
    HtmlHelpStandin htmlHelp;
    DialogDriver driver;
    std::wstring a = files.make(L"A.chm");
    std::wstring b = files.make(L"B.chm");

    // Ctrl+F1 in a document with this file name and word, over these entries.
    void pressHelp(
        const std::vector<Entry>& entries, const std::wstring& fileName, const std::wstring& word, int stayOnTop = 0)
    {
        htmlHelp.clear();
        driver.messageBoxes.clear();
        WordlampInEditor wordlamp(settingsWith(entries, stayOnTop));
        ASSERT_TRUE(wordlamp.loaded);
        wordlamp.editor.document.open(files.path(fileName));
        wordlamp.editor.document.currentWord = word;
        wordlamp.editor.requests.clear();
        ASSERT_TRUE(wordlamp.editor.pressShortcut(true, false, false, VK_F1));
        mainWindow = wordlamp.editor.mainWindow();
        requests = wordlamp.editor.requests;
    }

    std::vector<std::wstring> messageTexts() const
    {
        std::vector<std::wstring> texts;
        for (const MessageBoxRecord& box : driver.messageBoxes)
            texts.push_back(box.text);
        return texts;
    }

    HWND mainWindow = nullptr;
    std::vector<EditorRequest> requests;
};
} // namespace

TEST_F(HelpCommand, TheLastMatchingEntryWins)
{
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        const wchar_t* fileName;
        std::wstring expectedFile;        // empty: the no-help message instead, whose second line names
        const wchar_t* named = L"\".h\""; // the extension no entry covers, or the entry without a file
    };
    const Case cases[] = {
        {"a later match overrides", {{L"*.c;*.h", a}, {L"*.h", b}}, L"x.h", b},
        {"the order decides", {{L"*.h", b}, {L"*.c;*.h", a}}, L"x.h", a},
        {"a later entry that doesn't match changes nothing", {{L"*.c", a}, {L"*.h", b}}, L"x.c", a},
        {"an empty location of the last match wins too", {{L"*.c;*.h", a}, {L"*.h", L""}}, L"x.h", L"", L"\"Entry 2\""},
        {"no entries", {}, L"x.h", L""},
        {"no match", {{L"*.c", a}, {L"*.cpp", b}}, L"x.h", L""},
        {"empty pieces are skipped", {{L";*.txt;;", a}}, L"a.txt", a},
        {"a blank stays in its piece, which the platform's match allows", {{L"*.c; *.h", a}}, L"x.h", a},
        {"masks ignore case", {{L"*.C", b}}, L"X.c", b},
        {"the location is a path template", {{L"*.c", L"$dir$\\$name$.chm"}}, L"A.c", a},
    };
    for (const Case& c : cases) {
        pressHelp(c.entries, c.fileName, L"printf");
        std::vector<HtmlHelpCall> calls = htmlHelp.calls();
        if (c.expectedFile.empty()) {
            EXPECT_TRUE(calls.empty()) << c.what;
            std::vector<std::wstring> texts = messageTexts();
            ASSERT_EQ(texts.size(), 1u) << c.what;
            std::vector<std::wstring> lines = splitLines(texts[0]);
            ASSERT_EQ(lines.size(), 2u) << c.what;
            EXPECT_EQ(lines[0], noHelpFile) << c.what;
            EXPECT_NE(lines[1].find(c.named), std::wstring::npos) << c.what << ": " << narrow(lines[1]);
        } else {
            ASSERT_EQ(calls.size(), 1u) << c.what;
            EXPECT_STREQ(calls[0].file, c.expectedFile.c_str()) << c.what;
            EXPECT_STREQ(calls[0].keyword, L"printf") << c.what;
            EXPECT_TRUE(driver.messageBoxes.empty()) << c.what;
        }
    }
}

TEST_F(HelpCommand, TellsWhatIsMissingInItsOwnWords)
{
    // The entry is looked for before the word: without one the word is never asked for. The
    // second line names the file's extension (or the name that has none) and where an entry is added.
    const std::pair<const wchar_t*, const wchar_t*> uncovered[] = {{L"x.h", L"\".h\""}, {L"Makefile", L"\"Makefile\""}};
    for (const auto& file : uncovered) {
        pressHelp({{L"*.c", a}}, file.first, L"");
        std::vector<std::wstring> texts = messageTexts();
        ASSERT_EQ(texts.size(), 1u);
        std::vector<std::wstring> lines = splitLines(texts[0]);
        ASSERT_EQ(lines.size(), 2u) << narrow(withVisibleBreaks(texts[0]));
        EXPECT_EQ(lines[0], noHelpFile);
        EXPECT_NE(lines[1].find(file.second), std::wstring::npos) << narrow(lines[1]);
        const std::wstring where = L"Plugins > Wordlamp > Options\u2026";
        EXPECT_EQ(lines[1].substr(lines[1].size() - std::min(lines[1].size(), where.size())), where);
        for (const EditorRequest& request : requests)
            EXPECT_NE(request.message, NPPM_GETCURRENTWORD);
    }

    pressHelp({{L"*.h", a}}, L"x.h", L"");
    EXPECT_EQ(messageTexts(), std::vector<std::wstring>{noWord});
    EXPECT_TRUE(htmlHelp.calls().empty());

    pressHelp({{L"*.chm", files.path(L"gone.chm")}}, L"x.chm", L"word");
    EXPECT_EQ(messageTexts(),
        std::vector<std::wstring>{L"The specified help file does not exist!\n" + files.path(L"gone.chm")});
    EXPECT_TRUE(htmlHelp.calls().empty());

    for (const MessageBoxRecord& box : driver.messageBoxes) {
        EXPECT_EQ(box.caption, L"Wordlamp");
        EXPECT_EQ(box.icon, IconKind::information);
        EXPECT_EQ(box.owner, mainWindow);
    }
}

TEST_F(HelpCommand, AskTheEditorWithTheBuffersRealCapacities)
{
    pressHelp({{L"*.h", a}}, L"x.h", L"word");
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests.front().message, NPPM_GETFILENAME);
    EXPECT_EQ(requests.front().wParam, static_cast<WPARAM>(MAX_PATH));
    EXPECT_EQ(requests.back().message, NPPM_GETCURRENTWORD);
    EXPECT_EQ(requests.back().wParam, 4096u);
}

TEST_F(HelpCommand, WithoutAFileNameNothingHappens)
{
    htmlHelp.clear();
    WordlampInEditor wordlamp(settingsWith({{L"*", a}}));
    ASSERT_TRUE(wordlamp.loaded);
    wordlamp.editor.document.currentWord = L"word";
    wordlamp.editor.requests.clear();
    ASSERT_TRUE(wordlamp.editor.pressShortcut(true, false, false, VK_F1));
    EXPECT_TRUE(driver.messageBoxes.empty());
    EXPECT_TRUE(htmlHelp.calls().empty());
    ASSERT_EQ(wordlamp.editor.requests.size(), 1u);
    EXPECT_EQ(wordlamp.editor.requests[0].message, NPPM_GETFILENAME);
}
