// The editor binding with both real plug-ins and a third subclasser of the old kind, bound and
// unbound in any order: the editor's window keeps working, every bound plug-in keeps hearing its
// messages, and once all are gone the editor's own procedure is the window's again.
#include "standinEditor.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Replaces the window procedure with SetWindowLongPtrW and puts back what it found, as older
// plug-ins do. Such a subclasser above the common controls' chain must go before the chain's last
// link does: the common controls then put back the procedure they found, over whatever came later.
struct OldStyleSubclasser {
    static WNDPROC saved;
    static int messagesSeen;

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        ++messagesSeen;
        return CallWindowProcW(saved, window, message, wParam, lParam);
    }
    static void bind(HWND window)
    {
        saved = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    }
    static void unbind(HWND window) { SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved)); }
};
WNDPROC OldStyleSubclasser::saved = nullptr;
int OldStyleSubclasser::messagesSeen = 0;

enum Step { loadWordlamp, loadPickpath, bindOld, unloadWordlamp, unloadPickpath, unbindOld };

bool hasItem(HMENU menu, const std::wstring& caption)
{
    wchar_t text[256];
    for (int position = 0; position < GetMenuItemCount(menu); ++position)
        if (GetMenuStringW(menu, static_cast<UINT>(position), text, _countof(text), MF_BYPOSITION) > 0
            && caption == text)
            return true;
    return false;
}

void writeContextEntrySettings(const std::wstring& plugin)
{
    makeFolders(programFolder() + L"\\Plugins\\Config");
    writeTextFile(programFolder() + L"\\Plugins\\Config\\" + plugin + L".ini", L"[Options]\nShowContextMenuEntry=1\n");
}
} // namespace

TEST(EditorBinding, AnyOrderOfBindingAndUnbindingLeavesTheEditorWorking)
{
    writeTextFile(programFolder() + L"\\doLocalConf.xml", L"", true);
    struct Case {
        const char* order;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"unloaded in load order", {loadWordlamp, loadPickpath, unloadWordlamp, unloadPickpath}},
        {"unloaded in reverse order", {loadPickpath, loadWordlamp, unloadWordlamp, unloadPickpath}},
        {"old kind between, gone first",
            {loadWordlamp, bindOld, loadPickpath, unbindOld, unloadWordlamp, unloadPickpath}},
        {"old kind between, gone between",
            {loadWordlamp, bindOld, loadPickpath, unloadWordlamp, unbindOld, unloadPickpath}},
        {"old kind first, gone last", {bindOld, loadPickpath, loadWordlamp, unloadPickpath, unloadWordlamp, unbindOld}},
        {"old kind last, gone first", {loadWordlamp, loadPickpath, bindOld, unbindOld, unloadPickpath, unloadWordlamp}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        writeContextEntrySettings(L"Wordlamp");
        writeContextEntrySettings(L"Pickpath");
        StandinEditor editor;
        HWND window = editor.mainWindow();
        const LONG_PTR editorProc = GetWindowLongPtrW(window, GWLP_WNDPROC);
        bool wordlamp = false;
        bool pickpath = false;
        bool old = false;
        for (size_t step = 0; step < c.steps.size(); ++step) {
            switch (c.steps[step]) {
            case loadWordlamp:
                ASSERT_EQ(editor.loadPlugin(pluginPath(L"Wordlamp.dll")), L"");
                wordlamp = true;
                break;
            case loadPickpath:
                ASSERT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
                pickpath = true;
                break;
            case bindOld:
                OldStyleSubclasser::bind(window);
                old = true;
                break;
            case unloadWordlamp:
                ASSERT_TRUE(editor.unloadPlugin(L"Wordlamp"));
                wordlamp = false;
                break;
            case unloadPickpath:
                ASSERT_TRUE(editor.unloadPlugin(L"Pickpath"));
                pickpath = false;
                break;
            case unbindOld:
                OldStyleSubclasser::unbind(window);
                old = false;
                break;
            }
            SCOPED_TRACE("after step " + std::to_string(step + 1));
            // The editor's own procedure still gets its commands, and each bound link its messages.
            size_t commandsBefore = editor.hostCommands.size();
            int oldSeenBefore = OldStyleSubclasser::messagesSeen;
            editor.runCommand(IDM_ABOUT);
            EXPECT_EQ(editor.hostCommands.size(), commandsBefore + 1);
            EXPECT_EQ(OldStyleSubclasser::messagesSeen > oldSeenBefore, old);
            HMENU context = editor.openContextMenu();
            EXPECT_EQ(hasItem(context, L"Help"), wordlamp);
            EXPECT_EQ(hasItem(context, L"Pickpath"), pickpath);
        }
        // Nothing is left in the chain once every link has gone and a message has passed.
        editor.runCommand(IDM_ABOUT);
        EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), editorProc);
    }
}
