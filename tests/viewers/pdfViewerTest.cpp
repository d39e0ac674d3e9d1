// The PDF viewer against an Acrobat stand-in (a DDE server) and a Reader stand-in (a program that
// records its command line), both registered under App Paths for the test.
#include "viewerFixture.h"

#include "helpViewers.h"
#include "pdfViewer.h"
#include "wordSamples.h"

#include <cstdio>

using namespace wordlamp;

namespace {
const std::wstring appPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const wchar_t acrobatRunning[] = L"WordlampAcrobatStandinRunning";

std::vector<DWORD> waits;
bool recordWait(DWORD milliseconds)
{
    waits.push_back(milliseconds);
    return true;
}

// A window of the editor's thread that counts its repaints.
unsigned paints = 0;
LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        ++paints;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool acrobatStandinGone()
{
    HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, acrobatRunning);
    if (running == nullptr)
        return true;
    DWORD state = WaitForSingleObject(running, 0);
    if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED)
        ReleaseMutex(running);
    CloseHandle(running);
    return state == WAIT_OBJECT_0 || state == WAIT_ABANDONED;
}

class PdfViewerTest : public ViewerTest {
protected:
    void SetUp() override
    {
        ViewerTest::SetUp();
        ASSERT_TRUE(waitUntil(acrobatStandinGone, 30000)) << "an Acrobat stand-in of an earlier test still runs";
        folder = makeTempFolder(L"pdfViewer");
        pdf = folder + L"\\manual.pdf";
        writeTextFile(pdf, L"%PDF-1.4", true);
        DeleteFileW(acrobatLog.c_str());
        DeleteFileW(readerLog.c_str());
        waits.clear();
    }
    void TearDown() override
    {
        // The next test must not meet this one's Acrobat.
        EXPECT_TRUE(waitUntil(acrobatStandinGone, 30000));
        setPdfRetryWait(nullptr);
        removeTree(folder);
        ViewerTest::TearDown();
    }
    void registerAcrobat(const std::wstring& program = standinPath(L"acrobatStandin.exe"))
    {
        registry.set(appPaths + L"Acrobat.exe", L"", program);
    }
    void registerReader() { registry.set(appPaths + L"AcroRd32.exe", L"", reader); }
    // The one message: the documented sentence (none for the Reader), then the program that did not
    // start and the system's reason.
    void expectStartFailure(
        const wchar_t* sentence, const std::wstring& program, const std::wstring& caption, IconKind icon)
    {
        ASSERT_EQ(driver.messageBoxes.size(), 1u);
        const MessageBoxRecord& box = driver.messageBoxes[0];
        std::vector<std::wstring> lines = splitLines(box.text);
        ASSERT_EQ(lines.size(), sentence != nullptr ? 2u : 1u) << narrow(withVisibleBreaks(box.text));
        if (sentence != nullptr) {
            EXPECT_EQ(lines[0], sentence);
        }
        const std::wstring named = L"Could not start \"" + program + L"\": ";
        EXPECT_EQ(lines.back().rfind(named, 0), 0u) << narrow(lines.back());
        EXPECT_GT(lines.back().size(), named.size()) << "the system's reason follows";
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.owner, editor.mainWindow());
    }
    std::vector<std::wstring> readerCommandLines()
    {
        waitUntil([this] { return !readLog(readerLog).empty(); }, 15000);
        return readLog(readerLog);
    }

    RegistrySet registry;
    std::wstring folder;
    std::wstring pdf;
    const std::wstring reader = standinPath(L"readerStandin.exe");
    const std::wstring acrobatLog = standinPath(L"acrobatStandin.log");
    const std::wstring readerLog = standinPath(L"readerStandin.log");
};
} // namespace

TEST_F(PdfViewerTest, AcrobatIsPreferredOverReaderAndGetsOpenThenFind)
{
    registerAcrobat();
    registerReader();
    loadWordlampWithEntry(editor, pdf);
    pressHelp(editor, L"Widget");
    editor.unloadPlugins();

    std::vector<std::wstring> commands = readLog(acrobatLog);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], L"[DocOpen(\"" + pdf + L"\")]");
    EXPECT_EQ(commands[1], L"[DocFind(NULL, \"Widget\", false, true, true)]");
    EXPECT_TRUE(driver.messageBoxes.empty());
    Sleep(500);
    EXPECT_FALSE(fileExists(readerLog)) << "Reader must not be started as well";
}

TEST_F(PdfViewerTest, WordsAreMadeSafeForTheAcrobatCommand)
{
    // The command holds 4,095 characters, 38 of them its own.
    const std::wstring longest(4057, L'w');
    struct Case {
        std::wstring word;
        std::wstring searched;
    };
    const Case cases[] = {
        {L"say \"hi\"", L"say hi"},             // quotes would end the argument
        {L"\")] [DocClose(", L")] [DocClose("}, // and let the document add commands
        {longest, longest},                     // the longest word that fits whole
        {longest + L"xyz", longest},            // cut to fit, command still closed
        {L"\"" + longest + L"\"", longest},     // quotes dropped before the cut
        {L"", L""},
    };
    registerAcrobat();
    for (const Case& c : cases) {
        DeleteFileW(acrobatLog.c_str());
        showPdfHelp(pdf.c_str(), c.word.c_str());
        std::vector<std::wstring> commands = readLog(acrobatLog);
        ASSERT_EQ(commands.size(), 2u) << narrow(c.word.substr(0, 40));
        EXPECT_EQ(commands[1], L"[DocFind(NULL, \"" + c.searched + L"\", false, true, true)]")
            << narrow(c.word.substr(0, 40));
        ASSERT_TRUE(waitUntil(acrobatStandinGone, 30000));
    }
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(PdfViewerTest, ReaderAloneGetsTheWordAndTheFileAsArgumentsOfTheirOwn)
{
    registerReader();
    // Read once written to its end, the file and a line break: the word may hold line breaks too.
    auto arguments = [this] {
        const std::wstring end = L"\"" + pdf + L"\"\r\n";
        std::wstring line;
        waitUntil(
            [&] {
                return (line = readTextFile(readerLog)).size() > end.size()
                    && line.find(end) == line.size() - end.size();
            },
            15000);
        return commandLineArguments(line.substr(0, line.size() - 2));
    };
    for (const std::wstring& word : sampleWords(44, 8)) {
        DeleteFileW(readerLog.c_str());
        showPdfHelp(pdf.c_str(), word.c_str());
        EXPECT_EQ(arguments(), (std::vector<std::wstring>{reader, L"/A", L"search=" + word, pdf}))
            << narrow(word.substr(0, 80));
    }
    // Through the library: a word ending in a backslash leaves the file an argument of its own.
    loadWordlampWithEntry(editor, pdf);
    DeleteFileW(readerLog.c_str());
    pressHelp(editor, L"abc\\");
    EXPECT_EQ(arguments(), (std::vector<std::wstring>{reader, L"/A", L"search=abc\\", pdf}));
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(PdfViewerTest, WithNeitherTheShellOpensThePdfWithoutTheWord)
{
    // The shell's association for .pdf starts the Reader stand-in with the file alone.
    registry.set(L"Software\\Classes\\.pdf", L"", L"WordlampTest.pdf");
    registry.set(L"Software\\Classes\\WordlampTest.pdf", L"", L"PDF for the viewer test");
    registry.set(
        L"Software\\Classes\\WordlampTest.pdf\\shell\\open\\command", L"", L"\"" + reader + L"\" shell \"%1\"");
    showPdfHelp(pdf.c_str(), L"Widget");
    std::vector<std::wstring> lines = readerCommandLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], L"\"" + reader + L"\" shell \"" + pdf + L"\"");
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(PdfViewerTest, AMissingFileIsReportedBeforeAnythingStarts)
{
    registerAcrobat();
    registerReader();
    showPdfHelp((folder + L"\\absent.pdf").c_str(), L"Widget");
    expectOnlyMessage(driver, editor.mainWindow(),
        L"The specified help file does not exist!\n" + folder + L"\\absent.pdf", L"Wordlamp", IconKind::information);
    Sleep(500);
    EXPECT_FALSE(fileExists(acrobatLog));
    EXPECT_FALSE(fileExists(readerLog));
}

TEST_F(PdfViewerTest, AnAcrobatThatNeverAnswersIsRetriedWithGrowingWaitsThenReported)
{
    // Registered, but nothing there to start, so no DDE server ever answers.
    registerAcrobat(folder + L"\\Acrobat.exe");
    setPdfRetryWait(recordWait);
    showPdfHelp(pdf.c_str(), L"Widget");
    // Each wait is one step longer than the one before, and together they hold the editor for
    // 27.2 seconds at most.
    ASSERT_FALSE(waits.empty());
    DWORD total = 0;
    for (size_t i = 0; i < waits.size(); ++i) {
        EXPECT_EQ(waits[i], waits[0] * (i + 1)) << "wait " << i + 1;
        total += waits[i];
    }
    EXPECT_EQ(total, 27200u);
    expectStartFailure(
        L"Could not connect to Acrobat DDE server!", folder + L"\\Acrobat.exe", L"ERROR", IconKind::none);
}

TEST_F(PdfViewerTest, AReaderThatDoesNotStartIsNamedWithTheSystemsReason)
{
    registry.set(appPaths + L"AcroRd32.exe", L"", folder + L"\\AcroRd32.exe");
    showPdfHelp(pdf.c_str(), L"Widget");
    expectStartFailure(nullptr, folder + L"\\AcroRd32.exe", L"Wordlamp", IconKind::error);
}

// From another thread, as the system would: the window needs repainting twice, then Esc arrives. (A
// thread function in the platform's calling convention, which a lambda is not on x86.)
static DWORD WINAPI repaintTwiceThenEscape(LPVOID target)
{
    HWND counted = static_cast<HWND>(target);
    for (int i = 0; i < 2; ++i) {
        Sleep(400);
        InvalidateRect(counted, nullptr, TRUE);
    }
    Sleep(400);
    PostMessageW(counted, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

TEST_F(PdfViewerTest, EscEndsTheWaitForAnAcrobatThatNeverAnswersAndTheEditorRepaintsMeanwhile)
{
    registerAcrobat(folder + L"\\Acrobat.exe");
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = countingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"pdfWaitPaintCounter";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
        nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    paints = 0;
    HANDLE helper = CreateThread(nullptr, 0, repaintTwiceThenEscape, window, 0, nullptr);
    ULONGLONG start = GetTickCount64();
    showPdfHelp(pdf.c_str(), L"Widget");
    ULONGLONG took = GetTickCount64() - start;
    WaitForSingleObject(helper, INFINITE);
    CloseHandle(helper);
    std::printf("an unanswered Acrobat given up with Esc after %llu ms (the whole schedule: 27 s); %u repaints "
                "meanwhile\n",
        took, paints);
    // Two requests may come as one paint when a connection attempt takes long: at least one is seen.
    EXPECT_GE(paints, 1u) << "the editor's windows repaint during the wait";
    EXPECT_LT(took, 5000u) << "Esc ends the wait";
    expectStartFailure(
        L"Could not connect to Acrobat DDE server!", folder + L"\\Acrobat.exe", L"ERROR", IconKind::none);
    DestroyWindow(window);
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}
