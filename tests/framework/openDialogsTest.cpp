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

BOOL CALLBACK countCaptioned(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<std::pair<std::wstring, int>*>(search);
    // Visible or not yet: a modal dialog may be driven before its loop has shown it.
    if (Driver::caption(window) == wanted->first)
        ++wanted->second;
    return TRUE;
}

// Windows of this thread with the caption.
int windowsCaptioned(const std::wstring& caption)
{
    std::pair<std::wstring, int> search = {caption, 0};
    EnumThreadWindows(GetCurrentThreadId(), countCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

RECT rectOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
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
        int boxes = 0;
        driver.then([&](HWND dialog) {
            options = dialog;
            Driver::click(dialog, IDC_ADD);
            Driver::click(dialog, IDCANCEL);
        });
        driver.then([&](HWND editor) {
            // "Help", "Expand", and Wordlamp's "Test" on a help file that isn't there: each shows a box.
            SetWindowTextW(editField(editor, 2), L"c:\\no\\such\\help.chm");
            for (HWND button = FindWindowExW(editor, nullptr, L"Button", nullptr); button != nullptr;
                 button = FindWindowExW(editor, button, L"Button", nullptr)) {
                std::wstring caption = shownCaption(Driver::caption(button));
                if (caption != L"Help" && caption != L"Expand" && caption != L"Test")
                    continue;
                driver.then([&](HWND box) {
                    EXPECT_EQ(GetWindow(box, GW_OWNER), editor) << narrow(caption);
                    Driver::click(box, IDOK);
                });
                Driver::click(editor, GetDlgCtrlID(button));
                ++boxes;
                // Closing the box gives the input back to its owner, the entry editor, alone.
                EXPECT_TRUE(IsWindowEnabled(editor)) << narrow(caption);
                EXPECT_FALSE(IsWindowEnabled(options)) << narrow(caption);
                EXPECT_FALSE(IsWindowEnabled(editorWindow)) << narrow(caption) << ": the editor takes input again";
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
        const std::wstring caption = std::wstring(plugin.name) + L" Options"; // the entry editor's too
        Driver driver;
        // The command as the editor would run it, were it able to while the dialog holds it: the
        // dialog on top comes forward.
        driver.then([&](HWND options) {
            inEditor.editor.runCommand(inEditor.optionsCommand());
            EXPECT_EQ(windowsCaptioned(caption), 1);
            EXPECT_EQ(GetActiveWindow(), options);
            Driver::click(options, IDC_ADD);
            Driver::selectRow(options, IDC_ENTRY_LIST, 0);
            Driver::click(options, IDC_REMOVE);
            Driver::click(options, IDOK);
        });
        driver.then([&](HWND editor) {
            inEditor.editor.runCommand(inEditor.optionsCommand());
            EXPECT_EQ(windowsCaptioned(caption), 2);
            EXPECT_EQ(GetActiveWindow(), editor);
            typeEntry(editor, L"C");
        });
        inEditor.openOptions(driver);
        // What the one dialog stored is what the file holds: no second dialog wrote its copy over it.
        EXPECT_EQ(savedNames(plugin), (std::vector<std::wstring>{L"B", L"C"}));
    }
}

TEST(OpenDialogs, EveryDialogOpensCentredOverTheEditorsWindow)
{
    struct Case {
        RECT editor;
        bool whole; // the editor lies on the screen, so the dialogs' centres are its centre
    };
    // Off the screen's centre, and partly off the screen, where the dialogs still show whole.
    const Case cases[] = {{{40, 60, 880, 660}, true}, {{-500, -300, 200, 300}, false}};
    for (const PluginUnderTest& plugin : pluginsUnderTest) {
        for (const Case& c : cases) {
            SCOPED_TRACE(narrow(plugin.name) + (c.whole ? ", editor on the screen" : ", editor partly off it"));
            writeEntries(plugin, {});
            PluginInEditor inEditor(plugin);
            ASSERT_TRUE(inEditor.loaded);
            HWND editorWindow = inEditor.editor.mainWindow();
            const RECT& place = c.editor;
            MoveWindow(editorWindow, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
            MONITORINFO monitor = {};
            monitor.cbSize = sizeof(monitor);
            GetMonitorInfoW(MonitorFromWindow(editorWindow, MONITOR_DEFAULTTONEAREST), &monitor);
            auto expectPlaced = [&](HWND dialog) {
                RECT rect = rectOf(dialog);
                RECT onScreen;
                IntersectRect(&onScreen, &rect, &monitor.rcWork);
                EXPECT_TRUE(EqualRect(&onScreen, &rect)) << "whole on the screen, caption included";
                if (c.whole) {
                    EXPECT_LE(std::abs((rect.left + rect.right) - (place.left + place.right)), 2);
                    EXPECT_LE(std::abs((rect.top + rect.bottom) - (place.top + place.bottom)), 2);
                }
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
