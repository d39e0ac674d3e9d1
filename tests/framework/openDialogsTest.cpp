// Both plug-ins' dialogs while they are open, in the stand-in editor: a message box raised inside a
// dialog belongs to it, so the editor stays disabled after the box closes; the Options command finds
// the open dialog instead of opening a second; every dialog opens centred over the editor's window.
#include "dialogDriver.h"
#include "dialogTemplate.h"
#include "entryListIds.h"
#include "pluginUnderTest.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
using Driver = DialogDriver;

// The entry editor's buttons that show a message box: "Help", "Expand", and Wordlamp's "Test" on a
// help file that isn't there.
std::vector<int> buttonsShowingABox(HWND editor)
{
    std::vector<int> ids;
    for (HWND button = FindWindowExW(editor, nullptr, L"Button", nullptr); button != nullptr;
         button = FindWindowExW(editor, button, L"Button", nullptr)) {
        std::wstring caption = shownCaption(Driver::text(editor, GetDlgCtrlID(button)));
        if (caption == L"Help" || caption == L"Expand" || caption == L"Test")
            ids.push_back(GetDlgCtrlID(button));
    }
    return ids;
}

BOOL CALLBACK countCaptioned(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<std::pair<std::wstring, int>*>(search);
    wchar_t caption[256] = L"";
    GetWindowTextW(window, caption, _countof(caption));
    if (IsWindowVisible(window) && wanted->first == caption)
        ++wanted->second;
    return TRUE;
}

// Visible windows of this thread with the caption.
int windowsCaptioned(const std::wstring& caption)
{
    std::pair<std::wstring, int> search = {caption, 0};
    EnumThreadWindows(GetCurrentThreadId(), countCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

POINT centreOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT workAreaOf(HWND window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}
} // namespace

TEST(OpenDialogs, ABoxFromInsideADialogBelongsToItAndTheEditorStaysDisabled)
{
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        writeEntries(plugin, {});
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        HWND editorWindow = inEditor.editor.mainWindow();
        Driver driver;
        HWND options = nullptr;
        HWND entryEditor = nullptr;
        int boxes = 0;
        driver.then([&](HWND dialog) {
            options = dialog;
            EXPECT_FALSE(IsWindowEnabled(editorWindow)) << "the Options dialog holds the editor";
            Driver::click(dialog, IDC_ADD);
            Driver::click(dialog, IDCANCEL);
        });
        driver.then([&](HWND editor) {
            entryEditor = editor;
            SetWindowTextW(editField(editor, 2), L"c:\\no\\such\\help.chm");
            for (int button : buttonsShowingABox(editor)) {
                driver.then([&](HWND box) {
                    EXPECT_TRUE(Driver::isMessageBox(box));
                    EXPECT_EQ(GetWindow(box, GW_OWNER), entryEditor);
                    Driver::click(box, IDOK);
                });
                Driver::click(editor, button);
                ++boxes;
                // Closing the box gives the input back to its owner, the entry editor, alone.
                EXPECT_TRUE(IsWindowEnabled(entryEditor)) << button;
                EXPECT_FALSE(IsWindowEnabled(options)) << button;
                EXPECT_FALSE(IsWindowEnabled(editorWindow)) << button << ": the editor takes input again";
            }
            Driver::click(editor, IDCANCEL);
        });
        inEditor.openOptions(driver);
        EXPECT_EQ(boxes, plugin.name == std::wstring(L"Wordlamp") ? 3 : 2);
        EXPECT_EQ(driver.messageBoxes.size(), static_cast<size_t>(boxes));
        EXPECT_TRUE(IsWindowEnabled(editorWindow)) << "the editor takes input once the dialogs are closed";
    }
}

TEST(OpenDialogs, TheOptionsCommandBringsTheOpenDialogForwardInsteadOfASecond)
{
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        SCOPED_TRACE(narrow(plugin.name));
        writeEntries(plugin, {L"A", L"B"});
        PluginInEditor inEditor(plugin);
        ASSERT_TRUE(inEditor.loaded);
        const std::wstring caption = std::wstring(plugin.name) + L" Options";
        Driver driver;
        std::vector<std::wstring> rowsAfterOk;
        driver.then([&](HWND options) {
            // The command as the editor would run it, were it able to while the dialog holds it.
            inEditor.editor.runCommand(inEditor.optionsCommand());
            EXPECT_EQ(windowsCaptioned(caption), 1);
            EXPECT_EQ(GetActiveWindow(), options);
            Driver::click(options, IDC_ADD);
            Driver::selectRow(options, IDC_ENTRY_LIST, 0);
            Driver::click(options, IDC_REMOVE);
            Driver::click(options, IDOK);
        });
        driver.then([&](HWND editor) {
            // The entry editor, on top, is the one brought forward; the caption is the Options dialog's too.
            inEditor.editor.runCommand(inEditor.optionsCommand());
            EXPECT_EQ(windowsCaptioned(caption), 2);
            EXPECT_EQ(GetActiveWindow(), editor);
            typeEntry(editor, L"C");
        });
        inEditor.openOptions(driver);
        // What the one dialog stored is what the file holds: no second dialog wrote its copy over it.
        EXPECT_EQ(inEditor.rowsNow(), (std::vector<std::wstring>{L"B", L"C"}));
        EXPECT_EQ(savedNames(plugin), (std::vector<std::wstring>{L"B", L"C"}));
    }
}

TEST(OpenDialogs, EveryDialogOpensCentredOverTheEditorsWindow)
{
    struct Case {
        const char* where;
        RECT editor; // left, top, right, bottom
        bool whole;  // the editor lies on the screen, so the dialogs' centres are its centre
    };
    const Case cases[] = {
        {"off the screen's centre", {40, 60, 880, 660}, true},
        {"near the right edge", {0, 0, 0, 0}, true}, // placed below from the work area
        {"partly off the screen", {-500, -300, 200, 300}, false},
    };
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        for (Case c : cases) {
            SCOPED_TRACE(narrow(plugin.name) + ", " + c.where);
            writeEntries(plugin, {});
            PluginInEditor inEditor(plugin);
            ASSERT_TRUE(inEditor.loaded);
            HWND editorWindow = inEditor.editor.mainWindow();
            RECT work = workAreaOf(editorWindow);
            if (c.editor.right == 0)
                c.editor = {work.right - 900, work.top + 20, work.right - 20, work.top + 620};
            MoveWindow(editorWindow, c.editor.left, c.editor.top, c.editor.right - c.editor.left,
                c.editor.bottom - c.editor.top, FALSE);
            POINT editorCentre = centreOf(editorWindow);
            auto expectPlaced = [&](HWND dialog) {
                RECT rect;
                GetWindowRect(dialog, &rect);
                if (c.whole) {
                    POINT centre = centreOf(dialog);
                    EXPECT_LE(std::abs(centre.x - editorCentre.x), 1) << narrow(Driver::caption(dialog));
                    EXPECT_LE(std::abs(centre.y - editorCentre.y), 1) << narrow(Driver::caption(dialog));
                }
                // Whole on the screen, caption included, wherever the editor is.
                EXPECT_GE(rect.left, work.left);
                EXPECT_GE(rect.top, work.top);
                EXPECT_LE(rect.right, work.right);
                EXPECT_LE(rect.bottom, work.bottom);
            };
            Driver driver;
            driver.then([&](HWND dialog) {
                expectPlaced(dialog);
                Driver::click(dialog, IDC_ADD);
                Driver::click(dialog, IDCANCEL);
            });
            driver.then([&](HWND editor) {
                expectPlaced(editor);
                Driver::click(editor, IDCANCEL);
            });
            inEditor.openOptions(driver);
        }
    }
}
