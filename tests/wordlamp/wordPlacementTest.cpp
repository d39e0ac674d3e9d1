// The word is data on its way out: what the browser, a program and a batch file received from Ctrl+F1
// in the real library, for words that hold every kind of trouble, and how locations are told apart.
#include "dialogDriver.h"
#include "helpLookup.h"
#include "pluginHost.h"
#include "textHelpers.h"
#include "wordPlacement.h"
#include "wordlampState.h"

#include "wordSamples.h"
#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace wordlamp;

namespace {
const wchar_t webCommandKey[] = L"Software\\Classes\\https\\shell\\open\\command";
const wchar_t batchRefusal[] = L"The word contains characters that cannot be passed to a batch file safely: ";
const wchar_t addressTooLong[] = L"The word is too long: this help location may be at most 2083 characters long.";
const wchar_t pathTooLong[] = L"The word is too long: this help location may be at most 259 characters long.";
const wchar_t commandLineTooLong[]
    = L"The word is too long: a program's command line may be at most 32767 characters long.";

// What the recorder got, with line breaks and tabs shown, for the notes these tests print.
std::string shown(const std::wstring& text, size_t longest = 160)
{
    std::wstring visible = withVisibleBreaks(text.size() > longest ? text.substr(0, longest) + L"..." : text);
    std::wstring tabbed;
    for (wchar_t c : visible)
        tabbed += c == L'\t' ? std::wstring(L"\\t") : std::wstring(1, c);
    return narrow(tabbed);
}

// The words the tests send: the chosen ones and a few random ones (the text operations themselves
// are checked over many more).
std::vector<std::wstring> wordsToSend()
{
    return sampleWords(2020, 8);
}

// The chosen words whose journey is worth a note in the test's output.
bool worthANote(const std::wstring& word)
{
    for (const wchar_t* noted : {L"x&echo INJECTED>marker.txt", L"two words", L"C++", L"a&b=c", L"x#frag", L"50%",
             L"a\" /evil \"b", L"%USERNAME%", L"$nppdir$", L"$date$", L"trailing\\"})
        if (word == noted)
            return true;
    return false;
}

// Whether the recorder started since its record was cleared, given the time a start takes.
bool recorderStarted()
{
    Sleep(2000);
    return fileExists(programFolder() + L"\\shellRecorder.log");
}

// The real Wordlamp.dll in a stand-in editor with one entry for text files.
class WordLookup {
public:
    explicit WordLookup(const std::wstring& location)
        : wordlamp(optionsSection() + L"[Entry]\nMask=*.txt\nFile=" + location + L"\n")
    {
        EXPECT_TRUE(wordlamp.loaded);
        wordlamp.editor.document.open(L"C:\\work\\notes.txt");
        wordlamp.editor.document.editorFolder = L"C:\\Program Files\\Notepad++";
    }
    // Ctrl+F1 on the word, with no record of an earlier start left.
    void press(const std::wstring& word)
    {
        clearShellRecord();
        driver.messageBoxes.clear();
        wordlamp.editor.document.currentWord = word;
        wordlamp.pressHelp();
    }
    std::wstring onlyMessage() const { return driver.messageBoxes.size() == 1 ? driver.messageBoxes[0].text : L"?"; }

    DialogDriver driver;
    WordlampInEditor wordlamp;
};

// Viewers called in this program, talking to a stand-in editor.
class WordToViewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        pluginModule = GetModuleHandleW(nullptr);
        nppData = editor.nppData();
        helpOptions = HelpOptions{};
    }
    void TearDown() override { nppData = NppData{}; }
    ExpandedTemplate expanded(const std::wstring& location)
    {
        ExpandedTemplate result;
        expandTemplateAroundWord(location.c_str(), result);
        return result;
    }

    StandinEditor editor;
    DialogDriver driver;
};
} // namespace

TEST(WordPlacement, AddressesAreKnownByTheirScheme)
{
    struct Case {
        const wchar_t* location;
        bool address;
    };
    const Case cases[] = {
        {L"https://search.example.org/?q=", true},
        {L"HTTP://example.org", true},
        {L"ftp:example.org/pub", true},
        {L"mailto:someone@example.org?subject=", true},
        {L"file:///C:/docs/", true},
        {L"x-help+v1.2://topic", true}, // any scheme followed by "//"
        {L"news:comp.lang.c", false},
        {L"C:\\Tools\\dict.exe", false},
        {L"C://odd", false}, // a drive, not a scheme
        {L"\\\\server\\share\\page.html", false},
        {L"1http://x", false},
        {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isAddress(c.location), c.address) << narrow(c.location);
}

TEST(WordPlacement, TheTemplatesOwnTextDecidesWhatALocationLeadsTo)
{
    struct Case {
        const wchar_t* location;
        LocationKind kind;
    };
    const Case cases[] = {
        {L"C:\\Help\\API.CHM", LocationKind::chm}, {L"C:\\Help\\win32.hlp", LocationKind::winHelp},
        {L"http://example.com/manual.pdf", LocationKind::pdf}, // the extension comes first
        {L"MS-HELP://MS.VSCC.v90/x?word=", LocationKind::documentExplorer},
        {L"https://search.example.org/?q=", LocationKind::address}, {L"C:\\Tools\\dict.exe", LocationKind::path},
        {L"C:\\docs\\", LocationKind::path}, // where "$word$.chm" would have given a help file
    };
    for (const Case& c : cases)
        EXPECT_EQ(kindOfLocation(c.location), c.kind) << narrow(c.location);
}

TEST(WordPlacement, TheLocationsTheShellStartsThroughCmdAreKnown)
{
    HelpFiles files;
    std::wstring folder = files.path(L"folder");
    makeFolders(folder);
    struct Case {
        std::wstring location;
        bool handedToCmd;
    };
    const Case cases[] = {
        {L"C:\\Tools\\lookup.cmd", true},
        {L"C:\\Tools\\LOOKUP.BAT", true},
        {L"C:\\Tools\\lookup.cmd. . ", true}, // trailing dots and blanks are dropped by the file system
        {L"C:\\Windows\\System32\\cmd.exe", true},
        {L"cmd", true},
        {L"C:\\Tools\\lookup", true}, // the shell tries the program extensions on a bare name
        {L"C:\\Tools\\lookup.lnk", true},
        {L"C:\\Tools\\dict.exe", false},
        {L"C:\\Tools\\cmd.exe.txt", false},
        {L"C:\\Tools.cmd\\dict.exe", false},
        {L"C:\\docs\\notes.txt", false},
        {folder, false}, // a folder opens in the file manager
        {folder + L"\\", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isHandedToCmd(c.location.c_str()), c.handedToCmd) << narrow(c.location);
}

TEST(WordPlacement, TheBrowserGetsTheWordPercentEncodedAndNothingElseChanged)
{
    std::wstring browser = L"\"" + shellRecorderPath() + L"\" \"%1\"";
    RegistryValueSwap webCommand(HKEY_LOCAL_MACHINE, webCommandKey, L"", &browser);
    const std::wstring before = L"https://search.example.org/find?q=";
    const std::wstring after = L"&in=.txt#results";
    WordLookup lookup(before + L"$word$&in=$ext$#results");
    std::vector<std::wstring> words = wordsToSend();
    // The longest address there may be, and one character more.
    const size_t room = maxAddressLength - before.size() - after.size();
    words.push_back(std::wstring(room, L'w'));
    words.push_back(std::wstring(room + 1, L'w'));
    // Those too long first, so that one wait shows that none of them started anything.
    std::stable_partition(words.begin(), words.end(), [&](const std::wstring& word) {
        static wchar_t encoded[40000];
        percentEncodeUtf8(word.c_str(), encoded, _countof(encoded));
        return wcslen(encoded) > room;
    });
    bool tooLong = true;
    for (const std::wstring& word : words) {
        static wchar_t encoded[40000];
        percentEncodeUtf8(word.c_str(), encoded, _countof(encoded));
        if (wcslen(encoded) > room) {
            lookup.press(word);
            EXPECT_EQ(lookup.onlyMessage(), addressTooLong) << word.size();
            continue;
        }
        if (tooLong) {
            EXPECT_FALSE(recorderStarted()) << "a word too long started the browser";
            tooLong = false;
        }
        lookup.press(word);
        std::wstring record = waitForShellRecord();
        std::vector<std::wstring> arguments = commandLineArguments(record);
        ASSERT_EQ(arguments.size(), 2u) << shown(word) << " gave " << shown(record);
        const std::wstring& address = arguments[1];
        if (worthANote(word))
            std::printf("the browser got, for %s: %s\n", shown(word).c_str(), shown(address).c_str());
        ASSERT_GE(address.size(), before.size() + after.size()) << shown(address);
        EXPECT_EQ(address.substr(0, before.size()), before) << shown(address);
        EXPECT_EQ(address.substr(address.size() - after.size()), after) << shown(address);
        std::wstring decoded;
        EXPECT_TRUE(
            percentDecodeUtf8(address.substr(before.size(), address.size() - before.size() - after.size()), decoded))
            << shown(address);
        EXPECT_EQ(decoded, word) << shown(address);
        EXPECT_TRUE(lookup.driver.messageBoxes.empty()) << shown(word);
    }
}

TEST(WordPlacement, AProgramGetsTheWordAsExactlyOneArgument)
{
    WordLookup lookup(shellRecorderPath());
    for (const std::wstring& word : wordsToSend()) {
        lookup.press(word);
        std::wstring record = waitForShellRecord();
        std::vector<std::wstring> arguments = commandLineArguments(record);
        if (worthANote(word))
            std::printf("the program got, for %s: %zu arguments after its name, the first %s\n", shown(word).c_str(),
                arguments.size() - 1, arguments.size() > 1 ? shown(arguments[1]).c_str() : "none");
        ASSERT_EQ(arguments.size(), 2u) << shown(word) << " gave " << shown(record);
        EXPECT_EQ(arguments[0], shellRecorderPath());
        EXPECT_EQ(arguments[1], word) << shown(record);
        EXPECT_TRUE(lookup.driver.messageBoxes.empty()) << shown(word);
    }
}

TEST(WordPlacement, ABatchFileNeverRunsWhatTheWordHolds)
{
    HelpFiles files;
    // A batch file that hands its arguments to the recorder as cmd gives them, and a marker that any
    // command the word injected would write into the working folder.
    std::wstring batch = files.path(L"lookup.cmd");
    writeTextFile(batch, L"@\"" + shellRecorderPath() + L"\" %*\r\n", true);
    std::wstring marker = files.path(L"marker.txt");
    wchar_t saved[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(files.path(L"").c_str());
    {
        WordLookup lookup(batch);
        std::vector<std::wstring> words = wordsToSend();
        // The refused first, so that one wait shows that none of them started anything.
        auto accepted = std::stable_partition(words.begin(), words.end(),
            [](const std::wstring& word) { return word.find_first_of(cmdSpecialCharacters) != std::wstring::npos; });
        for (auto word = words.begin(); word != accepted; ++word) {
            lookup.press(*word);
            size_t special = word->find_first_of(cmdSpecialCharacters);
            std::wstring named = (*word)[special] == L'\r' || (*word)[special] == L'\n' ? std::wstring(L"a line break")
                                                                                        : word->substr(special, 1);
            EXPECT_EQ(lookup.onlyMessage(), batchRefusal + named) << shown(*word);
            if (worthANote(*word))
                std::printf("the batch file got, for %s: the message %s\n", shown(*word).c_str(),
                    shown(lookup.onlyMessage()).c_str());
        }
        EXPECT_FALSE(recorderStarted()) << "a refused word started the batch file";
        for (auto word = accepted; word != words.end(); ++word) {
            lookup.press(*word);
            std::wstring record = waitForShellRecord();
            std::vector<std::wstring> arguments = commandLineArguments(record);
            ASSERT_EQ(arguments.size(), 2u) << shown(*word) << " gave " << shown(record);
            EXPECT_EQ(arguments[1], *word) << shown(record);
            EXPECT_TRUE(lookup.driver.messageBoxes.empty()) << shown(*word);
        }
    }
    // The same batch file named as the shell finds it anyway: without its extension, or with dots.
    for (const std::wstring& location : {files.path(L"lookup"), batch + L"."}) {
        WordLookup lookup(location);
        lookup.press(L"x&echo INJECTED>marker.txt");
        EXPECT_EQ(lookup.onlyMessage(), batchRefusal + std::wstring(L"&")) << narrow(location);
        EXPECT_FALSE(recorderStarted()) << narrow(location);
    }
    SetCurrentDirectoryW(saved);
    EXPECT_FALSE(fileExists(marker)) << "a command from the word ran";
}

TEST_F(WordToViewer, ACommandLineLongerThanAProgramTakesStartsNothing)
{
    // "recorder" and a blank before the word; the terminator makes 32,767.
    const size_t room = commandLineCapacity - 1 - (shellRecorderPath().size() + 3);
    const std::wstring recorder = shellRecorderPath();
    for (size_t length : {room + 1, room}) {
        clearShellRecord();
        driver.messageBoxes.clear();
        std::wstring word(length, L'w');
        openHelp(expanded(recorder), word.c_str());
        if (length > room) {
            EXPECT_EQ(driver.messageBoxes.size(), 1u);
            EXPECT_EQ(driver.messageBoxes.empty() ? L"" : driver.messageBoxes[0].text, commandLineTooLong);
            EXPECT_FALSE(recorderStarted());
        } else {
            std::vector<std::wstring> arguments = commandLineArguments(waitForShellRecord());
            ASSERT_EQ(arguments.size(), 2u);
            EXPECT_EQ(arguments[1], word);
            EXPECT_TRUE(driver.messageBoxes.empty());
        }
    }
}

TEST_F(WordToViewer, AMenuEntryNamingTheWordGetsItWhateverTheSearchOptionSays)
{
    std::wstring browser = L"\"" + shellRecorderPath() + L"\" \"%1\"";
    RegistryValueSwap webCommand(HKEY_LOCAL_MACHINE, webCommandKey, L"", &browser);
    editor.document.currentWord = L"a b";
    for (int searchWord : {0, 1}) {
        helpOptions.HelpMenuSearchWord = searchWord;
        clearShellRecord();
        editor.requests.clear();
        runHelpEntry(expanded(L"https://example.org/?q=$word$"));
        std::vector<std::wstring> arguments = commandLineArguments(waitForShellRecord());
        ASSERT_EQ(arguments.size(), 2u) << searchWord;
        EXPECT_EQ(arguments[1], L"https://example.org/?q=a%20b") << searchWord;
        EXPECT_EQ(editor.requestCount(NPPM_GETCURRENTWORD), 1u) << "asked once, for both uses";
    }
    EXPECT_TRUE(driver.messageBoxes.empty());
}

TEST_F(WordToViewer, EachKindOfLocationTakesTheWordUpToItsOwnLength)
{
    HelpFiles files;
    std::wstring folder = files.path(L"");
    const size_t pathRoom = 259 - folder.size() - 4; // the folder, the word and ".chm"
    struct Case {
        std::wstring location;
        size_t wordLength;
        std::wstring message; // empty: no message about the length
    };
    const Case cases[] = {
        {folder + L"$word$.chm", pathRoom, L"The specified help file does not exist!"},
        {folder + L"$word$.chm", pathRoom + 1, pathTooLong},
        {folder + L"$word$.txt", pathRoom + 1, pathTooLong},
        {L"file:///C:/docs/$word$.html", 259 - 21, L"The specified file was not found."},
        {L"file:///C:/docs/$word$.html", 259 - 20, pathTooLong},
        {L"ms-help://MS.VSCC.v90/x?word=$word$", 4095 - 29, L"Unable to display MsHelp!"},
        {L"ms-help://MS.VSCC.v90/x?word=$word$", 4095 - 28,
            L"The word is too long: this help location may be at most 4095 characters long."},
    };
    for (const Case& c : cases) {
        driver.messageBoxes.clear();
        openHelp(expanded(c.location), std::wstring(c.wordLength, L'w').c_str());
        ASSERT_EQ(driver.messageBoxes.size(), 1u) << narrow(c.location) << " " << c.wordLength;
        EXPECT_EQ(driver.messageBoxes[0].text, c.message) << narrow(c.location) << " " << c.wordLength;
    }
}

TEST_F(WordToViewer, AWordThatLooksLikeAFileNameStaysInTheAddress)
{
    std::wstring browser = L"\"" + shellRecorderPath() + L"\" \"%1\"";
    RegistryValueSwap webCommand(HKEY_LOCAL_MACHINE, webCommandKey, L"", &browser);
    clearShellRecord();
    openHelp(expanded(L"https://example.org/?q=$word$"), L"manual.pdf");
    std::vector<std::wstring> arguments = commandLineArguments(waitForShellRecord());
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[1], L"https://example.org/?q=manual.pdf");
    EXPECT_TRUE(driver.messageBoxes.empty());
}
