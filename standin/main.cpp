// The stand-in editor as a program: a small window with a text area, the editor's menus and its
// context menu, for trying the plug-ins by hand, or a scripted demonstration with a transcript.
//
//   standinEditor [--plugin <library>]... [--file <document>]
#include "standinEditor.h"

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
    StandinEditor editor;
    editor.wordFromTextArea = true;
    editor.quitWhenClosed = true;
    for (size_t i = 0; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == L"--plugin") {
            std::wstring problem = editor.loadPlugin(arguments[i + 1]);
            if (!problem.empty())
                fwprintf(stderr, L"%ls\n", problem.c_str());
        } else if (arguments[i] == L"--file") {
            if (!editor.showDocument(arguments[i + 1]))
                fwprintf(stderr, L"cannot open %ls\n", arguments[i + 1].c_str());
        }
    }
    ShowWindow(editor.mainWindow(), SW_SHOWNORMAL);
    editor.runMessageLoop();
    return 0;
}
