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
    std::vector<std::wstring> plugins;
    std::vector<std::wstring> documents;
    for (size_t i = 0; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == L"--plugin")
            plugins.push_back(arguments[i + 1]);
        else if (arguments[i] == L"--file")
            documents.push_back(arguments[i + 1]);
    }
    // All at once, as the editor loads its plug-in folder: in its order, then the notifications.
    std::wstring problem = editor.loadPlugins(plugins);
    if (!problem.empty())
        fwprintf(stderr, L"%ls\n", problem.c_str());
    for (const std::wstring& document : documents)
        if (!editor.showDocument(document))
            fwprintf(stderr, L"cannot open %ls\n", document.c_str());
    ShowWindow(editor.mainWindow(), SW_SHOWNORMAL);
    editor.runMessageLoop();
    return 0;
}
