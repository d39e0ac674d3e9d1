// The Document Explorer viewer against an in-process stand-in of its automation object, registered
// for the test under the program identifier "DExplore.AppObj" or under the fallback classes.
#include "viewerFixture.h"

#include "helpViewers.h"
#include "msHelpViewer.h"

#include <algorithm>
#include <objbase.h>

using namespace wordlamp;

namespace {
const wchar_t standinClass[] = L"{6F1D2C3A-5B7E-4C19-9A2D-3E4F5A6B7C8D}";
const wchar_t* const fallbackClasses[] = {
    L"{1F69F884-285E-418E-9715-B9EEE402DD5F}",
    L"{639F725F-1B2D-4831-A9FD-874847682010}",
    L"{4A79114D-19E4-11D3-B86B-00C04F79F802}",
};
const wchar_t unableText[] = L"Unable to display MsHelp!";

std::wstring createdLine(const wchar_t* type)
{
    return std::wstring(L"create|") + type;
}

// The stand-in's registrations and its record, for one test.
class DocumentExplorerStandin {
public:
    explicit DocumentExplorerStandin(bool underProgramId = true)
    {
        DeleteFileW(log.c_str());
        SetEnvironmentVariableW(L"DEXPLORE_STANDIN_LOG", log.c_str());
        failIn(nullptr);
        if (underProgramId) {
            registry.set(L"Software\\Classes\\DExplore.AppObj", L"", L"Document Explorer stand-in");
            registry.set(L"Software\\Classes\\DExplore.AppObj\\CLSID", L"", standinClass);
            registerClass(standinClass);
        }
    }
    ~DocumentExplorerStandin()
    {
        SetEnvironmentVariableW(L"DEXPLORE_STANDIN_LOG", nullptr);
        failIn(nullptr);
    }
    void registerClass(const std::wstring& type)
    {
        const std::wstring key = L"Software\\Classes\\CLSID\\" + type;
        registry.set(key, L"", L"Document Explorer stand-in");
        registry.set(key + L"\\InprocServer32", L"", standinPath(L"dexploreStandin.dll"));
        registry.set(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    }
    // "create", "SetCollection", "DisplayTopicFromKeyword", or null for no failure.
    static void failIn(const wchar_t* what) { SetEnvironmentVariableW(L"DEXPLORE_STANDIN_FAIL", what); }
    std::vector<std::wstring> record() const { return readLog(log); }

private:
    const std::wstring log = standinPath(L"dexploreStandin.log");
    RegistrySet registry;
};

class MsHelpViewerTest : public ViewerTest {
protected:
    void TearDown() override
    {
        releaseMsHelpClient();
        ViewerTest::TearDown();
    }
};
} // namespace

TEST_F(MsHelpViewerTest, LocationFormsGiveCollectionFilterAndKeyword)
{
    struct Case {
        const wchar_t* location;
        const wchar_t* word;
        std::vector<std::wstring> calls; // none: the lookup fails with the message
    };
    const Case cases[] = {
        {L"ms-help://MS.VSCC.v80?filter=abc&&word=xyz", L"unused",
            {L"SetCollection|ms-help://MS.VSCC.v80|abc", L"DisplayTopicFromKeyword|xyz"}},
        {L"ms-help://c?WORD=k", L"unused", {L"SetCollection|ms-help://c|", L"DisplayTopicFromKeyword|k"}},
        // Later parameters replace earlier ones; others are ignored; runs of "&" are one separator.
        {L"ms-help://c?Filter=f1&word=a&&&x=1&FILTER=f2&word=b&", L"unused",
            {L"SetCollection|ms-help://c|f2", L"DisplayTopicFromKeyword|b"}},
        // Only the first "?" cuts; no decoding.
        {L"ms-help://c?word=a?b%20c", L"unused", {L"SetCollection|ms-help://c|", L"DisplayTopicFromKeyword|a?b%20c"}},
        {L"ms-help://c?word=", L"unused", {L"SetCollection|ms-help://c|", L"DisplayTopicFromKeyword|"}},
        // The plain form: the whole location, no filter, the word.
        {L"ms-help://MS.VSCC.v80/dv_vscc", L"printf",
            {L"SetCollection|ms-help://MS.VSCC.v80/dv_vscc|", L"DisplayTopicFromKeyword|printf"}},
        // "word=" without "?", and a query without a parameter beginning with "word=".
        {L"ms-help://c/word=k", L"unused", {}},
        {L"ms-help://c?filter=abc&keyword=x", L"unused", {}},
        {L"ms-help://c?a?word=k", L"unused", {}},
        {L"ms-help://c?x=1#word=k", L"unused", {}},
    };
    DocumentExplorerStandin standin;
    for (const Case& c : cases) {
        driver.messageBoxes.clear();
        size_t before = standin.record().size();
        showMsHelp2(c.location, c.word);
        std::vector<std::wstring> record = standin.record();
        std::vector<std::wstring> calls;
        for (size_t i = before; i < record.size(); ++i)
            if (record[i].compare(0, 7, L"create|") != 0)
                calls.push_back(record[i]);
        EXPECT_EQ(calls, c.calls) << narrow(c.location);
        if (c.calls.empty())
            expectOnlyMessage(driver, editor.mainWindow(), unableText, L"ERROR", IconKind::none);
        else
            EXPECT_TRUE(driver.messageBoxes.empty()) << narrow(c.location);
    }
    // One object serves every lookup.
    std::vector<std::wstring> record = standin.record();
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(record[0], createdLine(standinClass));
    EXPECT_EQ(std::count(record.begin(), record.end(), createdLine(standinClass)), 1);
}

TEST_F(MsHelpViewerTest, AFailingMethodIsReportedAndTheObjectKept)
{
    struct Case {
        const wchar_t* failingMethod;
        std::vector<std::wstring> calls;
    };
    const Case cases[] = {
        {L"SetCollection", {L"SetCollection|ms-help://c|f"}},
        {L"DisplayTopicFromKeyword", {L"SetCollection|ms-help://c|f", L"DisplayTopicFromKeyword|k"}},
    };
    DocumentExplorerStandin standin;
    for (const Case& c : cases) {
        driver.messageBoxes.clear();
        DeleteFileW(standinPath(L"dexploreStandin.log").c_str());
        DocumentExplorerStandin::failIn(c.failingMethod);
        showMsHelp2(L"ms-help://c?filter=f&word=k", L"");
        std::vector<std::wstring> record = standin.record();
        if (!record.empty() && record[0].compare(0, 7, L"create|") == 0)
            record.erase(record.begin());
        EXPECT_EQ(record, c.calls) << narrow(c.failingMethod);
        expectOnlyMessage(driver, editor.mainWindow(), unableText, L"ERROR", IconKind::none);
    }
    // The next lookup uses the same object and succeeds.
    DocumentExplorerStandin::failIn(nullptr);
    DeleteFileW(standinPath(L"dexploreStandin.log").c_str());
    driver.messageBoxes.clear();
    showMsHelp2(L"ms-help://c", L"k");
    EXPECT_EQ(
        standin.record(), (std::vector<std::wstring>{L"SetCollection|ms-help://c|", L"DisplayTopicFromKeyword|k"}));
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(MsHelpViewerTest, WithoutTheProgramIdentifierTheFallbackClassesAreTriedInOrder)
{
    struct Case {
        std::vector<int> registered; // indexes into fallbackClasses
        int used;
    };
    const Case cases[] = {{{0, 1, 2}, 0}, {{1, 2}, 1}, {{2}, 2}, {{2, 0}, 0}};
    for (const Case& c : cases) {
        DocumentExplorerStandin standin(false);
        for (int index : c.registered)
            standin.registerClass(fallbackClasses[index]);
        showMsHelp2(L"ms-help://c", L"k");
        std::vector<std::wstring> record = standin.record();
        ASSERT_FALSE(record.empty());
        EXPECT_EQ(record[0], createdLine(fallbackClasses[c.used]));
        releaseMsHelpClient();
    }
    // The program identifier comes before them.
    DocumentExplorerStandin standin;
    standin.registerClass(fallbackClasses[0]);
    showMsHelp2(L"ms-help://c", L"k");
    ASSERT_FALSE(standin.record().empty());
    EXPECT_EQ(standin.record()[0], createdLine(standinClass));
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(MsHelpViewerTest, WhatADetachDropsIsNotCalled)
{
    DocumentExplorerStandin standin;
    showMsHelp2(L"ms-help://c", L"k");
    abandonMsHelpClient();
    EXPECT_EQ(standin.record().back(), L"DisplayTopicFromKeyword|k") << "no Release call";
    showMsHelp2(L"ms-help://c", L"k");
    releaseMsHelpClient();
    EXPECT_EQ(standin.record().back(), L"released");
}

// Through the real library: Ctrl+F1 reaches the object, which lives until the library goes, and a
// failed creation is not tried again while the library stays loaded.
TEST_F(MsHelpViewerTest, ThePluginKeepsItsObjectAndItsFailureForTheLifeOfTheLibrary)
{
    DocumentExplorerStandin standin;
    loadWordlampWithEntry(editor, L"ms-help://MS.VSCC.v80?filter=abc&&word=$word$");
    pressHelp(editor, L"Widget");
    pressHelp(editor, L"Gadget");
    editor.unloadPlugins();
    EXPECT_EQ(standin.record(),
        (std::vector<std::wstring>{createdLine(standinClass), L"SetCollection|ms-help://MS.VSCC.v80|abc",
            L"DisplayTopicFromKeyword|Widget", L"SetCollection|ms-help://MS.VSCC.v80|abc",
            L"DisplayTopicFromKeyword|Gadget", L"released"}));
    EXPECT_TRUE(driver.messageBoxes.empty());

    DeleteFileW(standinPath(L"dexploreStandin.log").c_str());
    DocumentExplorerStandin::failIn(L"create");
    loadWordlampWithEntry(editor, L"ms-help://MS.VSCC.v80/dv_vscc");
    pressHelp(editor, L"Widget");
    DocumentExplorerStandin::failIn(nullptr);
    pressHelp(editor, L"Widget");
    EXPECT_EQ(standin.record(), std::vector<std::wstring>{createdLine(standinClass)}) << "created once only";
    ASSERT_EQ(driver.messageBoxes.size(), 2u);
    for (const MessageBoxRecord& box : driver.messageBoxes) {
        EXPECT_EQ(box.text, unableText);
        EXPECT_EQ(box.caption, L"ERROR");
        EXPECT_EQ(box.icon, IconKind::none);
        EXPECT_EQ(box.owner, editor.mainWindow());
    }
    editor.unloadPlugins();

    // A new load starts afresh.
    driver.messageBoxes.clear();
    loadWordlampWithEntry(editor, L"ms-help://MS.VSCC.v80/dv_vscc");
    pressHelp(editor, L"Widget");
    editor.unloadPlugins();
    EXPECT_TRUE(driver.messageBoxes.empty());
    EXPECT_EQ(standin.record().back(), L"released");
}

namespace {
struct ThreadOutcome {
    HRESULT probeAfterLoad = E_FAIL;
    HRESULT probeAfterLookup = E_FAIL;
    HRESULT probeAfterShutdown = E_FAIL;
    size_t messages = 99;
};

// Whether the thread may still choose any apartment: COM is not set up on it.
HRESULT probeApartment()
{
    HRESULT probe = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(probe))
        CoUninitialize();
    return probe;
}

DWORD WINAPI lookUpOnFreshThread(void* parameter)
{
    ThreadOutcome& outcome = *static_cast<ThreadOutcome*>(parameter);
    StandinEditor editor;
    DialogDriver driver;
    loadWordlampWithEntry(editor, L"ms-help://c");
    // Loading left COM alone on this thread: any apartment can still be chosen.
    outcome.probeAfterLoad = probeApartment();
    pressHelp(editor, L"Widget");
    // The lookup set up a single-threaded apartment on the editor's thread.
    outcome.probeAfterLookup = probeApartment();
    // The shutdown left it again, before the library's detach.
    editor.unloadPlugins();
    outcome.probeAfterShutdown = probeApartment();
    outcome.messages = driver.messageBoxes.size();
    return 0;
}
} // namespace

TEST(MsHelpViewerThread, ComIsSetUpAtTheFirstLookupOnTheEditorsThreadAndLeftAtShutdown)
{
    DocumentExplorerStandin standin;
    ThreadOutcome outcome;
    HANDLE thread = CreateThread(nullptr, 0, lookUpOnFreshThread, &outcome, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, 60000);
    CloseHandle(thread);
    EXPECT_EQ(outcome.probeAfterLoad, S_OK);
    EXPECT_EQ(outcome.probeAfterLookup, RPC_E_CHANGED_MODE);
    EXPECT_EQ(outcome.probeAfterShutdown, S_OK);
    EXPECT_EQ(outcome.messages, 0u);
    EXPECT_EQ(standin.record(),
        (std::vector<std::wstring>{
            createdLine(standinClass), L"SetCollection|ms-help://c|", L"DisplayTopicFromKeyword|Widget", L"released"}));
}
