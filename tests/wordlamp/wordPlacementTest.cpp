// The word is data on its way out: what a browser, a program and a batch file received from Ctrl+F1
// in the real library, for words holding every kind of trouble; what each kind of location takes.
#include "dialogDriver.h"
#include "helpLookup.h"
#include "pluginHost.h"
#include "textHelpers.h"
#include "wordPlacement.h"

#include "wordSamples.h"
#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace wordlamp;

namespace {
const std::wstring tooLong = L"The word is too long: this help location may be at most ";
const std::wstring address = L"https://search.example.org/find?q=";
const std::wstring fragment = L"&in=.txt#results";

// The message that refuses the word, or nothing when the location takes it.
std::wstring refusal(const std::wstring& location, const std::wstring& word)
{
    static wchar_t encoded[40000];
    percentEncodeUtf8(word.c_str(), encoded, _countof(encoded));
    size_t special = word.find_first_of(cmdSpecialCharacters);
    if (location.find(address) == 0)
        return address.size() + wcslen(encoded) + fragment.size() > maxAddressLength
            ? tooLong + L"2083 characters long."
            : L"";
    if (location.find(L".cmd") == std::wstring::npos || special == std::wstring::npos)
        return L"";
    return L"The word contains characters that cannot be passed to a batch file safely: "
        + (word[special] == L'\r' || word[special] == L'\n' ? std::wstring(L"a line break") : word.substr(special, 1));
}

// The word as the recorder got it: its one argument, or what stands between the address's own parts.
std::wstring received(const std::wstring& location, const std::wstring& recorded)
{
    std::vector<std::wstring> arguments = commandLineArguments(recorded);
    std::wstring url = arguments.size() == 2 ? arguments[1] : L"not one argument: " + recorded, decoded;
    if (location.find(address) != 0)
        return url;
    size_t end = url.size() - std::min(url.size(), fragment.size());
    bool framed = url.find(address) == 0 && end >= address.size() && url.substr(end) == fragment;
    return framed && percentDecodeUtf8(url.substr(address.size(), end - address.size()), decoded) ? decoded : url;
}
} // namespace

TEST(WordPlacement, EveryTargetGetsTheWordAsDataOrRefusesItWithAMessage)
{
    std::wstring browser = L"\"" + shellRecorderPath() + L"\" \"%1\"";
    RegistryValueSwap webCommand(HKEY_LOCAL_MACHINE, L"Software\\Classes\\https\\shell\\open\\command", L"", &browser);
    HelpFiles files;
    std::wstring batch = files.path(L"lookup.cmd");
    writeTextFile(batch, L"@\"" + shellRecorderPath() + L"\" %*\r\n", true);
    std::vector<std::wstring> words = sampleWords(2020, 8);
    // The longest address there may be, and one character more.
    words.push_back(std::wstring(maxAddressLength - address.size() - fragment.size(), L'w'));
    words.push_back(words.back() + L"w");
    // A command the word injected would write the marker into the working folder.
    wchar_t saved[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(files.path(L"").c_str());
    for (const std::wstring& location : {address + L"$word$&in=$ext$#results", shellRecorderPath(), batch}) {
        DialogDriver driver;
        WordlampInEditor wordlamp(optionsSection() + L"[Entry]\nMask=*.txt\nFile=" + location + L"\n");
        wordlamp.editor.document.open(L"C:\\work\\notes.txt");
        // The refused first, so that one wait shows that none of them started anything.
        auto taken = std::stable_partition(
            words.begin(), words.end(), [&](const std::wstring& word) { return !refusal(location, word).empty(); });
        for (auto word = words.begin(); word != words.end(); ++word) {
            if (word == taken && taken != words.begin()) {
                Sleep(2000); // longer than a start takes
                EXPECT_FALSE(fileExists(programFolder() + L"\\shellRecorder.log")) << "refused, yet started";
            }
            clearShellRecord();
            driver.messageBoxes.clear();
            wordlamp.editor.document.currentWord = *word;
            wordlamp.pressHelp();
            std::string what = narrow(location) + " with " + narrow(withVisibleBreaks(word->substr(0, 60)));
            if (word < taken) {
                EXPECT_EQ(
                    driver.messageBoxes.size() == 1 ? driver.messageBoxes[0].text : L"?", refusal(location, *word))
                    << what;
                continue;
            }
            EXPECT_EQ(received(location, waitForShellRecord()), *word) << what;
            EXPECT_TRUE(driver.messageBoxes.empty()) << what;
        }
    }
    SetCurrentDirectoryW(saved);
    EXPECT_FALSE(fileExists(files.path(L"marker.txt"))) << "a command from the word ran";
}

TEST(WordPlacement, TheTemplatesOwnTextDecidesWhatTheLocationIs)
{
    HelpFiles files;
    struct Case {
        std::wstring location;
        LocationKind kind;
        bool handedToCmd;
    };
    const Case cases[] = {
        {L"C:\\Help\\API.CHM", LocationKind::chm, false},
        {L"http://example.com/manual.pdf", LocationKind::pdf, false}, // the extension comes first
        {L"MS-HELP://MS.VSCC.v90/x?word=", LocationKind::documentExplorer, false},
        {L"mailto:someone@example.org?subject=", LocationKind::address, false},
        {L"x-help+v1.2://topic", LocationKind::address, false}, // any scheme followed by "//"
        {L"C://odd", LocationKind::path, true},                 // a drive, not a scheme
        {L"C:\\docs\\", LocationKind::path, true},              // where "$word$.chm" made no help file
        {files.path(L""), LocationKind::path, false},           // a folder opens in the file manager
        {L"C:\\Tools\\dict.exe", LocationKind::path, false}, {L"C:\\Tools\\LOOKUP.BAT", LocationKind::path, true},
        {L"C:\\Tools\\lookup.cmd. . ", LocationKind::path, true}, // the file system drops the dots and blanks
        {L"C:\\Windows\\System32\\cmd.exe", LocationKind::path, true},
        {L"C:\\Tools\\lookup", LocationKind::path, true}, // the shell tries the program extensions on it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kindOfLocation(c.location.c_str()), c.kind) << narrow(c.location);
        // Only a path goes to the shell as a file that may be cmd's.
        EXPECT_TRUE(c.kind != LocationKind::path || isHandedToCmd(c.location.c_str()) == c.handedToCmd)
            << narrow(c.location);
    }
}

TEST(WordPlacement, EachKindOfLocationTakesTheWordUpToItsOwnLength)
{
    StandinEditor editor;
    DialogDriver driver;
    pluginModule = GetModuleHandleW(nullptr);
    nppData = editor.nppData();
    const std::wstring folder = L"C:\\missing\\";
    const std::wstring recorder = shellRecorderPath();
    const size_t commandRoom = commandLineCapacity - 1 - (recorder.size() + 3); // the quoted program, a blank
    struct Case {
        std::wstring location;
        size_t wordLength;
        std::wstring message; // empty: none
    };
    const Case cases[] = {
        {folder + L"$word$.chm", 259 - 15, L"The specified help file does not exist!"},
        {folder + L"$word$.chm", 259 - 14, tooLong + L"259 characters long."},
        {folder + L"$word$.txt", 259 - 14, tooLong + L"259 characters long."},
        {L"file:///C:/missing/$word$", 259 - 18, tooLong + L"259 characters long."},
        {L"ms-help://MS.VSCC.v90/x?word=$word$", 4095 - 29, L"Unable to display MsHelp!"},
        {L"ms-help://MS.VSCC.v90/x?word=$word$", 4095 - 28, tooLong + L"4095 characters long."},
        {L"https://example.org/?q=$word$", 2083 - 22, tooLong + L"2083 characters long."},
        {recorder, commandRoom, L""},
        {recorder, commandRoom + 1,
            L"The word is too long: a program's command line may be at most 32767 characters long."},
    };
    for (const Case& c : cases) {
        driver.messageBoxes.clear();
        ExpandedTemplate location;
        expandTemplateAroundWord(c.location.c_str(), location);
        openHelp(location, std::wstring(c.wordLength, L'w').c_str());
        // The documented sentence is the message's first line; a second may name the file.
        std::wstring text = driver.messageBoxes.empty() ? L"" : driver.messageBoxes[0].text;
        EXPECT_EQ(text.substr(0, text.find(L'\n')), c.message) << narrow(c.location) << " " << c.wordLength;
    }
    nppData = NppData{};
}
