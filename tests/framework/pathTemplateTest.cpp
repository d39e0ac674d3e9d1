// Path templates expanded against the stand-in editor's answers: token order, case rules, the
// editor's requests, environment references and the fixed buffer limits.
#include "pathTemplate.h"
#include "pluginHost.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {
std::wstring formatClock(const SYSTEMTIME& clock)
{
    wchar_t date[64] = L"";
    wchar_t time[64] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &clock, L"yyyyMMdd", date, _countof(date));
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &clock, L"HHmmss", time, _countof(time));
    return std::wstring(date) + L"|" + time;
}

std::wstring currentFolder()
{
    wchar_t folder[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

class PathTemplate : public ::testing::Test {
protected:
    void SetUp() override
    {
        pluginModule = GetModuleHandleW(nullptr);
        nppData = editor.nppData();
        editor.document.open(L"C:\\work\\proj\\main.c");
        editor.document.currentWord = L"printf";
        editor.document.editorFolder = L"C:\\npp";
    }
    void TearDown() override { nppData = NppData{}; }
    std::wstring expand(const std::wstring& pathTemplate) { return expandPathTemplate(pathTemplate.c_str()).text; }
    std::vector<UINT> requestedMessages() const
    {
        std::vector<UINT> messages;
        for (const EditorRequest& request : editor.requests) {
            messages.push_back(request.message);
            EXPECT_EQ(request.wParam, static_cast<WPARAM>(MAX_PATH));
        }
        return messages;
    }

    StandinEditor editor;
};
} // namespace

TEST_F(PathTemplate, TokensIgnoreCaseButTheWordNeedsItsExactSpelling)
{
    struct Case {
        const wchar_t* pathTemplate;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"$fullpath$", L"C:\\work\\proj\\main.c"},
        {L"$DIR$\\$Name$$eXt$", L"C:\\work\\proj\\main.c"},
        {L"$nppdir$|$NPPDIR$", L"C:\\npp|C:\\npp"},
        {L"$word$", L"printf"},
        {L"$WORD$", L"$WORD$"}, // only the exact spelling asks for the word
        {L"$Word$ $wORD$", L"$Word$ $wORD$"},
        {L"$WORD$ $word$", L"printf printf"},
        {L"$pdir$", programFolder() + L"\\Plugins"},
        {L"$CDir$", programFolder() + L"\\Plugins\\config"},
        {L"$wdir$", currentFolder()},
        {L"no tokens here", L"no tokens here"},
        {L"$unknown$ $dir", L"$unknown$ $dir"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(expand(c.pathTemplate), c.expected) << narrow(c.pathTemplate);
}

TEST_F(PathTemplate, ValuesInsertedEarlyAreSeenByLaterSteps)
{
    editor.document.folder = L"C:\\logs\\$date$";
    editor.document.namePart = L"$time$";
    editor.document.extPart = L"$dir$";                   // the folder step has passed already
    editor.document.currentWord = L"%PATHTEMPLATE_TEST%"; // the word alone is data: it stays as written
    editor.document.editorFolder = L"C:\\$ext$\\$wdir$";
    SetEnvironmentVariableW(L"PATHTEMPLATE_TEST", L"expanded");
    SYSTEMTIME before;
    GetLocalTime(&before);
    std::wstring result = expand(L"$dir$|$name$|$ext$|$word$|$nppdir$");
    SYSTEMTIME after;
    GetLocalTime(&after);
    SetEnvironmentVariableW(L"PATHTEMPLATE_TEST", nullptr);

    // Date and time come from one reading of the clock.
    std::wstring prefix = L"C:\\logs\\";
    ASSERT_EQ(result.compare(0, prefix.size(), prefix), 0) << narrow(result);
    std::wstring clock = result.substr(prefix.size(), 15);
    EXPECT_TRUE(clock == formatClock(before) || clock == formatClock(after)) << narrow(result);
    EXPECT_EQ(result.substr(prefix.size() + 15), L"|$dir$|%PATHTEMPLATE_TEST%|C:\\$ext$\\" + currentFolder());
}

TEST_F(PathTemplate, WorkingFolderNamingTheTimeGetsItInserted)
{
    std::wstring base = makeTempFolder(L"wdir");
    std::wstring folder = base + L"\\at $time$ in $dir$";
    makeFolders(folder);
    std::wstring saved = currentFolder();
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    std::wstring result = expand(L"$wdir$");
    SetCurrentDirectoryW(saved.c_str());
    removeTree(base);

    std::wstring prefix = base + L"\\at ";
    ASSERT_EQ(result.compare(0, prefix.size(), prefix), 0) << narrow(result);
    EXPECT_EQ(result.find_first_not_of(L"0123456789", prefix.size()), prefix.size() + 6) << narrow(result);
    EXPECT_EQ(result.substr(prefix.size() + 6), L" in $dir$");
}

TEST_F(PathTemplate, EnvironmentReferencesComeLast)
{
    SetEnvironmentVariableW(L"PATHTEMPLATE_TEST", L"D:\\tools");
    SetEnvironmentVariableW(L"PATHTEMPLATE_UNDEFINED", nullptr);
    EXPECT_EQ(expand(L"%PATHTEMPLATE_TEST%\\$name$.chm"), L"D:\\tools\\main.chm");
    EXPECT_EQ(expand(L"%pathtemplate_test%"), L"D:\\tools");
    EXPECT_EQ(expand(L"%PATHTEMPLATE_UNDEFINED%\\x"), L"%PATHTEMPLATE_UNDEFINED%\\x");
    EXPECT_EQ(expand(L"100% sure"), L"100% sure");
    EXPECT_EQ(expand(L"%"), L"%");
    SetEnvironmentVariableW(L"PATHTEMPLATE_TEST", nullptr);
}

TEST_F(PathTemplate, AsksTheEditorOnEveryExpansionAndTheWordOnlyWhenNamed)
{
    const std::vector<UINT> withoutWord
        = {NPPM_GETFULLCURRENTPATH, NPPM_GETCURRENTDIRECTORY, NPPM_GETNAMEPART, NPPM_GETEXTPART, NPPM_GETNPPDIRECTORY};
    const std::vector<UINT> withWord = {NPPM_GETFULLCURRENTPATH, NPPM_GETCURRENTDIRECTORY, NPPM_GETNAMEPART,
        NPPM_GETEXTPART, NPPM_GETCURRENTWORD, NPPM_GETNPPDIRECTORY};
    struct Case {
        const wchar_t* pathTemplate;
        const std::vector<UINT>& messages;
    };
    const Case cases[] = {
        {L"", withoutWord},
        {L"plain", withoutWord},
        {L"$WORD$", withoutWord},
        {L"$word$", withWord},
        {L"$ext$ $word$ $word$", withWord},
    };
    for (const Case& c : cases) {
        editor.requests.clear();
        expand(c.pathTemplate);
        EXPECT_EQ(requestedMessages(), c.messages) << narrow(c.pathTemplate);
    }
}

TEST_F(PathTemplate, UnansweredRequestsGiveTheEmptyText)
{
    EXPECT_EQ(expand(L"[$ext$][$word$]"), L"[.c][printf]");
    editor.document.unanswered = {NPPM_GETEXTPART, NPPM_GETCURRENTWORD, NPPM_GETNPPDIRECTORY};
    // The folder answer just before must not stand in for the extension.
    EXPECT_EQ(expand(L"[$dir$][$ext$][$word$][$nppdir$]"), L"[C:\\work\\proj][][][]");
}

TEST_F(PathTemplate, ValuesHoldingTheirOwnTokenAreInsertedOnce)
{
    editor.document.folder = L"C:\\$DIR$";
    editor.document.currentWord = L"$word$$word$";
    EXPECT_EQ(expand(L"$dir$;$Dir$"), L"C:\\$DIR$;C:\\$DIR$");
    EXPECT_EQ(expand(L"<$word$>"), L"<$word$$word$>");
}

TEST_F(PathTemplate, StaysWithinItsLimits)
{
    const std::wstring longValue(259, L'v'); // the most a 260-character answer holds
    const std::wstring filler(500, L'b');
    struct Case {
        const wchar_t* note;
        std::wstring pathValue;
        std::wstring pathTemplate;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"the grown text is 519 characters", std::wstring(19, L'p'), L"$fullpath$" + filler,
            std::wstring(19, L'p') + std::wstring(240, L'b')},
        {L"520 characters would not fit", std::wstring(20, L'p'), L"$fullpath$" + filler,
            L"$fullpath$" + std::wstring(249, L'b')},
        {L"a long value", longValue, L"$fullpath$$fullpath$", longValue},
        {L"a template past 519 is cut", L"p", L"$fullpath$" + std::wstring(600, L'c'), L"p" + std::wstring(258, L'c')},
        {L"a long template", L"p", std::wstring(600, L'c'), std::wstring(259, L'c')},
    };
    for (const Case& c : cases) {
        editor.document.fullPath = c.pathValue;
        EXPECT_EQ(expand(c.pathTemplate), c.expected) << narrow(c.note);
    }
}

TEST_F(PathTemplate, EnvironmentExpansionIsCutTo259Characters)
{
    const std::wstring longValue(400, L'e');
    SetEnvironmentVariableW(L"PATHTEMPLATE_LONG", longValue.c_str());
    EXPECT_EQ(expand(L"%PATHTEMPLATE_LONG%"), std::wstring(259, L'e'));
    // A character made of two code units is dropped whole rather than cut in half.
    const std::wstring pair = L"\xD83D\xDE00";
    SetEnvironmentVariableW(L"PATHTEMPLATE_LONG", (std::wstring(258, L'e') + pair).c_str());
    EXPECT_EQ(expand(L"%PATHTEMPLATE_LONG%"), std::wstring(258, L'e'));
    SetEnvironmentVariableW(L"PATHTEMPLATE_LONG", nullptr);
}

TEST_F(PathTemplate, TheWordGoesInLastWhereItsTokenStood)
{
    SetEnvironmentVariableW(L"PATHTEMPLATE_TEST", L"expanded");
    editor.document.folder = L"C:\\in $word$";
    editor.document.currentWord = L"%PATHTEMPLATE_TEST%$date$";
    struct Case {
        const wchar_t* pathTemplate;
        const wchar_t* text; // and the places of the word in it
        std::vector<size_t> places;
    };
    const Case cases[] = {
        {L"a$word$b$WORD$c", L"abc", {1, 2}},
        {L"$WORD$", L"$WORD$", {}},             // only the exact spelling names the word
        {L"$dir$|$word$", L"C:\\in |", {6, 7}}, // a document's name may name it too, as it always could
        // A reference around the word stays as written: the word can't complete one.
        {L"%PATHTEMPLATE_TEST$word$%", L"%PATHTEMPLATE_TEST%", {18}},
        {L"%PATHTEMPLATE_TEST%$word$", L"expanded", {8}},
    };
    for (const Case& c : cases) {
        ExpandedTemplate expanded;
        expandTemplateAroundWord(c.pathTemplate, expanded);
        EXPECT_STREQ(expanded.text, c.text);
        EXPECT_EQ(std::vector<size_t>(expanded.places, expanded.places + expanded.placeCount), c.places)
            << narrow(c.pathTemplate);
    }
    // Search folders take it as it is, unexpanded.
    EXPECT_EQ(expand(L"<$word$>"), L"<%PATHTEMPLATE_TEST%$date$>");
    SetEnvironmentVariableW(L"PATHTEMPLATE_TEST", nullptr);
}
