// A short scripted session with both real plug-in libraries in the stand-in editor, printed as a
// readable transcript: Wordlamp's menus, Ctrl+F1 reaching the HTML Help engine stand-in and a web
// search handed to the shell, Pickpath finding a header in a "!" sub-tree with Alt+O.
//
//   demoSession <plug-in folder>
// The HTML Help stand-in and the shell recorder are found beside this program.
#include "dialogDriver.h"
#include "htmlHelpStandin.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <cstdio>
#include <memory>

namespace {
const wchar_t htmlHelpServerKey[] = L"Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const wchar_t webCommandKey[] = L"Software\\Classes\\https\\shell\\open\\command";

int failures = 0;

void say(const std::wstring& line)
{
    wprintf(L"%ls\n", line.c_str());
    fflush(stdout);
}

void check(bool good, const std::wstring& what)
{
    say((good ? L"   ok: " : L"   FAILED: ") + what);
    if (!good)
        ++failures;
}

std::wstring menuText(HMENU menu, int position)
{
    wchar_t text[256] = L"";
    GetMenuStringW(menu, position, text, _countof(text), MF_BYPOSITION);
    std::wstring caption = text;
    size_t tab = caption.find(L'\t');
    if (tab != std::wstring::npos)
        caption = caption.substr(0, tab) + L"   (" + caption.substr(tab + 1) + L")";
    return caption;
}

void printMenu(HMENU menu, const std::wstring& indent)
{
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        HMENU sub = GetSubMenu(menu, position);
        if (sub != nullptr) {
            say(indent + menuText(menu, position) + L" >");
            printMenu(sub, indent + L"    ");
        } else if (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) {
            say(indent + L"----");
        } else {
            say(indent + menuText(menu, position) + L"   [" + std::to_wstring(GetMenuItemID(menu, position)) + L"]");
        }
    }
}

std::wstring waitForFile(const std::wstring& path)
{
    for (int attempt = 0; attempt < 100 && !fileExists(path); ++attempt)
        Sleep(100);
    return readTextFile(path);
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 2) {
        fwprintf(stderr, L"usage: demoSession [plug-in folder]\n");
        return 2;
    }
    // Without a folder, the libraries built beside this program.
    const std::wstring plugins = argc == 2 ? argv[1] : pluginFolder();
    const std::wstring here = programFolder();
    const std::wstring work = makeTempFolder(L"demo");

    say(L"== Setting the scene in " + work);
    makeFolders(work + L"\\proj");
    makeFolders(work + L"\\docs");
    makeFolders(work + L"\\lib\\net\\include");
    writeTextFile(work + L"\\proj\\main.c", L"#include \"socket.h\"\n\nint main(void) { printf(\"hi\"); }\n", true);
    writeTextFile(work + L"\\proj\\notes.txt", L"Look up wordlamp on the web.\n", true);
    writeTextFile(work + L"\\docs\\crt.chm", L"", true);
    writeTextFile(work + L"\\lib\\net\\include\\socket.h", L"/* sockets */\n", true);
    // The plug-ins read their settings while being loaded, before the editor can answer: with the
    // marker beside the editor's program they live in Plugins\Config there.
    writeTextFile(here + L"\\doLocalConf.xml", L"", true);
    makeFolders(here + L"\\Plugins\\Config");
    writeTextFile(here + L"\\Plugins\\Config\\Wordlamp.ini",
        L"[Options]\nHelpMenuMode=2\nShowContextMenuEntry=1\nShowMenuIcons=1\n"
        L"[C runtime]\nMask=*.c;*.h\nFile="
            + work
            + L"\\docs\\crt.chm\nShow=1\n"
              L"[Web search]\nMask=*.txt\nFile=https://search.example.org/?q=$word$\nShow=1\n");
    writeTextFile(here + L"\\Plugins\\Config\\Pickpath.ini",
        L"[Options]\nShowContextMenuEntry=1\n"
        L"[Sources]\nMask=*.c;*.h\nPath="
            + work + L"\\docs;!" + work + L"\\lib\nExt=.h\n");
    say(L"   Wordlamp.ini: \"C runtime\" (*.c;*.h => crt.chm), \"Web search\" (*.txt => "
        L"https://search.example.org/?q=$word$)");
    say(L"   Pickpath.ini: \"Sources\" (*.c;*.h => docs;!lib, extension .h)");

    // The outside programs: the HTML Help engine and the web browser are stand-ins that record.
    std::wstring htmlHelp = here + L"\\hhStandin.dll";
    RegistryValueSwap htmlHelpServer(HKEY_LOCAL_MACHINE, htmlHelpServerKey, L"", &htmlHelp);
    std::wstring browser = L"\"" + here + L"\\shellRecorder.exe\" \"%1\"";
    RegistryValueSwap webCommand(HKEY_LOCAL_MACHINE, webCommandKey, L"", &browser);
    DeleteFileW((here + L"\\shellRecorder.log").c_str());
    HMODULE engine = LoadLibraryW(htmlHelp.c_str());
    auto htmlHelpLog = libraryEntry<HtmlHelpLogFunction>(engine, "htmlHelpLog");
    if (engine == nullptr || htmlHelpLog == nullptr) {
        say(L"   FAILED: the HTML Help stand-in is missing beside this program");
        return 1;
    }

    {
        StandinEditor editor;
        DialogDriver driver;
        say(L"\n== Loading Wordlamp.dll and Pickpath.dll into the stand-in editor");
        std::wstring problem = editor.loadPlugins({plugins + L"\\Wordlamp.dll", plugins + L"\\Pickpath.dll"});
        check(problem.empty(), L"loaded both" + (problem.empty() ? std::wstring() : L": " + problem));
        if (failures != 0)
            return 1;
        say(L"\n== The menu bar");
        printMenu(editor.mainMenu(), L"   ");

        say(L"\n== Ctrl+F1 on \"printf\" in main.c");
        editor.document.open(work + L"\\proj\\main.c");
        editor.document.currentWord = L"printf";
        editor.pressShortcut(true, false, false, VK_F1);
        HtmlHelpLog* log = htmlHelpLog();
        check(log->count == 1, L"the HTML Help engine was called once");
        if (log->count >= 1) {
            const HtmlHelpCall& call = log->calls[0];
            say(L"   HTML Help: file " + std::wstring(call.file) + L", command " + std::to_wstring(call.command)
                + L" (keyword lookup), keyword \"" + call.keyword + L"\"");
            check(std::wstring(call.file) == work + L"\\docs\\crt.chm" && call.command == 13
                    && std::wstring(call.keyword) == L"printf",
                L"crt.chm asked for the keyword printf");
        }

        say(L"\n== Ctrl+F1 on \"wordlamp\" in notes.txt");
        editor.document.open(work + L"\\proj\\notes.txt");
        editor.document.currentWord = L"wordlamp";
        editor.pressShortcut(true, false, false, VK_F1);
        std::wstring handed = waitForFile(here + L"\\shellRecorder.log");
        say(L"   the shell started: " + handed);
        check(handed.find(L"https://search.example.org/?q=wordlamp") != std::wstring::npos,
            L"the web search for the word reached the shell's browser");

        say(L"\n== The editing view's context menu");
        printMenu(editor.openContextMenu(), L"   ");

        say(L"\n== Alt+O on \"socket\" in main.c");
        editor.document.open(work + L"\\proj\\main.c");
        editor.document.currentWord = L"socket";
        editor.pressShortcut(false, true, false, 'O');
        for (const std::wstring& opened : editor.openedFiles)
            say(L"   the editor was asked to open " + opened);
        check(editor.openedFiles.size() == 1 && editor.openedFiles[0] == work + L"\\lib\\net\\include\\socket.h",
            L"socket.h found two levels down in the !lib sub-tree");

        check(driver.messageBoxes.empty(), L"no message box along the way");
        say(L"\n== Unloading both plug-ins (they save their settings)");
    }
    say(L"   Wordlamp.ini now holds:");
    for (const std::wstring& line : splitLines(readTextFile(here + L"\\Plugins\\Config\\Wordlamp.ini")))
        say(L"      " + line);
    FreeLibrary(engine);
    removeTree(work);
    say(failures == 0 ? L"\nDemo finished: everything as expected." : L"\nDemo finished with failures.");
    return failures == 0 ? 0 : 1;
}
