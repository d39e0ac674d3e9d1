// Pickpath's settings file through the real library: read when it loads, written after a change,
// merged with what the user edited by hand meanwhile, and left alone when it could not be read.
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {
// Opens the Options dialog, lets the action work on it, and presses OK; message boxes that follow
// go to the driver.
void changeOptions(StandinEditor& editor, DialogDriver& driver, const std::function<void(HWND)>& action)
{
    driver.then([&](HWND dialog) {
        action(dialog);
        DialogDriver::click(dialog, IDOK);
    });
    editor.runCommand(static_cast<UINT>(editor.commandId(L"Pickpath", 2)));
    EXPECT_EQ(driver.pending(), 0u) << "the Options dialog didn't open";
}

void changeOptions(StandinEditor& editor, const std::function<void(HWND)>& action)
{
    DialogDriver driver;
    changeOptions(editor, driver, action);
}

void flipToolbarButton(HWND dialog)
{
    DialogDriver::setChecked(dialog, IDC_TOOLBAR_BUTTON, !DialogDriver::isChecked(dialog, IDC_TOOLBAR_BUTTON));
}

// Loads the library over a settings file, changes an option and changes it back (the library saves
// only after a change) and unloads it; the file it then wrote.
std::wstring roundTrip(const std::wstring& settingsText)
{
    writeSettingsText(settingsText);
    {
        StandinEditor editor;
        EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
        changeOptions(editor, flipToolbarButton);
        changeOptions(editor, flipToolbarButton);
    }
    return savedSettings();
}

std::wstring entrySection(
    const std::wstring& name, const std::wstring& mask, const std::wstring& path, const std::wstring& ext)
{
    return L"[" + name + L"]\nMask=" + mask + L"\nPath=" + path + L"\nExt=" + ext + L"\n";
}

const wchar_t noOptions[] = L"[Options]\nShowToolBarButton=0\nShowContextMenuEntry=0\nShowContextMenuEntryOnTop=0\n";
} // namespace

TEST(SearchSettings, AreWrittenBackInTheirLayout)
{
    SettingsText settings;
    settings.showToolBarButton = 1;
    settings.showContextMenuEntryOnTop = 1;
    settings.entries = {
        {L"Sources", L"*.c;*.h", L"c:\\inc;!c:\\src;;$dir$\\..", L".h;.c"},
        {L"Empty fields", L"", L"", L""},
        {L"Überschrift ✓ 字", L"*.tëxt", L"C:\\Bücher;%TEMP%", L".ü"},
    };
    EXPECT_EQ(roundTrip(settings.text()), settings.text());
    // UTF-16 with a byte-order mark, so the names outside the ANSI code page survive.
    std::string bytes = readFileBytes(settingsFilePath());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
}

TEST(SearchSettings, ReadWhatTheFileHoldsAndWriteItBackSoundly)
{
    std::wstring longPath(3000, L'p');
    struct Case {
        const char* what;
        std::wstring file;
        std::wstring saved;
    };
    const Case cases[] = {
        {"no file: options off, no entries", L"", noOptions},
        {"only options", L"[Options]\nShowContextMenuEntry=1\n",
            L"[Options]\nShowToolBarButton=0\nShowContextMenuEntry=1\nShowContextMenuEntryOnTop=0\n"},
        {"any number is on and is written as 1", L"[Options]\nShowToolBarButton=5\nShowContextMenuEntryOnTop=-2\n",
            L"[Options]\nShowToolBarButton=1\nShowContextMenuEntry=0\nShowContextMenuEntryOnTop=1\n"},
        {"a section named Options in any case is no entry; its unknown keys and a second one are kept",
            L"[options]\nMask=*.o\n[Src]\nMask=*.c\nPath=c:\\src\nExt=.h\n[OPTIONS]\nMask=*.x\n",
            noOptions + std::wstring(L"Mask=*.o\n") + entrySection(L"Src", L"*.c", L"c:\\src", L".h")
                + L"[OPTIONS]\nMask=*.x\n"},
        {"names equal without regard to case are one entry, the first; the other is kept after the entries",
            L"[Src]\nMask=*.c\nPath=c:\\a\nExt=\n[SRC]\nMask=*.h\nPath=c:\\b\nExt=.h\n",
            noOptions + entrySection(L"Src", L"*.c", L"c:\\a", L"") + entrySection(L"SRC", L"*.h", L"c:\\b", L".h")},
        {"a long Path is cut to 2599 characters", L"[Long]\nMask=*.c\nPath=" + longPath + L"\nExt=\n",
            noOptions + entrySection(L"Long", L"*.c", longPath.substr(0, 2599), L"")},
        {"missing keys read as empty; unknown keys and comments stay", L"; comment\n[Bare]\nOther=1\n",
            std::wstring(L"; comment\n") + noOptions + entrySection(L"Bare", L"", L"", L"") + L"Other=1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.file.empty()) {
            DeleteFileW(settingsFilePath().c_str());
            StandinEditor editor;
            EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
            editor.unloadPlugins();
            EXPECT_FALSE(fileExists(settingsFilePath())) << "nothing changed, nothing written";
            EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
            changeOptions(editor, flipToolbarButton);
            changeOptions(editor, flipToolbarButton);
            editor.unloadPlugins();
            EXPECT_EQ(savedSettings(), c.saved);
            continue;
        }
        EXPECT_EQ(roundTrip(c.file), c.saved);
    }
}

TEST(SearchSettings, LoadAtMostFiftyEntriesAndKeepTheRest)
{
    std::wstring file = noOptions;
    for (int i = 0; i < 60; ++i)
        file += entrySection(L"E" + std::to_wstring(i), L"*.e" + std::to_wstring(i), L"", L"");
    EXPECT_EQ(roundTrip(file), file);
}

TEST(SearchSettings, AreSavedIntoAFolderThatWentMissing)
{
    SettingsText settings;
    settings.entries = {{L"Kept", L"*.c", L"c:\\src", L".h"}};
    writeSettings(settings);
    StandinEditor editor;
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
    removeTree(programFolder() + L"\\Plugins");
    changeOptions(editor, flipToolbarButton);
    changeOptions(editor, flipToolbarButton);
    editor.unloadPlugins();
    EXPECT_EQ(savedSettings(), settings.text());
}

TEST(SearchSettings, TenThousandSectionsAndAHugeSectionOfUnknownKeysComeBackByteForByte)
{
    struct Case {
        const char* what;
        int sections;
        size_t unknownKeys;
    };
    const Case cases[] = {
        {"10,000 sections", 10000, 0},
        {"a 50 MB section of unknown keys", 3, 1650000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring text = noOptions;
        for (int i = 0; i < c.sections; ++i)
            text += entrySection(
                L"E" + std::to_wstring(i), L"*.e" + std::to_wstring(i), L"c:\\p" + std::to_wstring(i), L".x");
        for (size_t i = 0; i < c.unknownKeys; ++i)
            text += L"Later" + std::to_wstring(i) + L"=v\n";
        // Once through the library to get its own layout, then again without a change: the same bytes.
        roundTrip(text);
        std::string written = readFileBytes(settingsFilePath());
        ULONGLONG start = GetTickCount64();
        {
            StandinEditor editor;
            EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
        }
        std::printf("%s (%zu bytes): load and unload in %llu ms\n", c.what, written.size(), GetTickCount64() - start);
        EXPECT_EQ(written.size(), readFileBytes(settingsFilePath()).size());
        EXPECT_TRUE(readFileBytes(settingsFilePath()) == written);
        EXPECT_EQ(savedSettings(), text);
    }
}

TEST(SearchSettings, AHeldFileIsToldOfAtEverySaveAndWrittenOnceLetGo)
{
    const std::wstring before = L"[Options]\nShowToolBarButton=0\n[Kept]\nMask=*.c\nPath=c:\\src\nExt=.h\n";
    writeSettingsText(before);
    std::string beforeBytes = readFileBytes(settingsFilePath());
    DialogDriver driver;
    StandinEditor editor;
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
    HANDLE held
        = CreateFileW(settingsFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string whileTold;
    // Told at the Options dialog's OK, and again at shutdown, where the holder lets go.
    changeOptions(editor, driver, flipToolbarButton);
    driver.then([&](HWND box) {
        whileTold = readFileBytes(settingsFilePath());
        CloseHandle(held);
        DialogDriver::click(box, IDOK);
    });
    editor.unloadPlugins();
    ASSERT_EQ(driver.messageBoxes.size(), 2u);
    for (const MessageBoxRecord& box : driver.messageBoxes) {
        EXPECT_NE(box.text.find(settingsFilePath()), std::wstring::npos) << narrow(box.text);
        EXPECT_EQ(box.icon, IconKind::warning);
        EXPECT_EQ(box.owner, editor.mainWindow());
    }
    EXPECT_TRUE(whileTold == beforeBytes) << "the previous file stays whole";
    // The silent save at unload found the file free.
    EXPECT_EQ(savedSettings(),
        L"[Options]\nShowToolBarButton=1\nShowContextMenuEntry=0\nShowContextMenuEntryOnTop=0\n"
        L"[Kept]\nMask=*.c\nPath=c:\\src\nExt=.h\n");
}

namespace {
struct Holder {
    HANDLE file;
    DWORD milliseconds;
};

// Another program lets go of the file after a while.
DWORD WINAPI letGoAfter(LPVOID parameter)
{
    const Holder* holder = static_cast<const Holder*>(parameter);
    Sleep(holder->milliseconds);
    CloseHandle(holder->file);
    return 0;
}
} // namespace

// Another program (a backup tool, a sync client) holds the file without sharing while the editor
// starts; the Options dialog is used meanwhile and the editor closed.
TEST(SearchSettings, AFileHeldAtTheLoadIsReadOnceLetGoOrElseToldOfAndNeverReplaced)
{
    SettingsText settings;
    for (int i = 0; i < 20; ++i)
        settings.entries.push_back({L"Entry " + std::to_wstring(i), L"*.e" + std::to_wstring(i),
            L"c:\\src\\" + std::to_wstring(i) + L";!c:\\lib", L".h;.hpp"});
    struct Case {
        DWORD heldFor;
        bool readable;
    };
    for (const Case& c : {Case{300, true}, Case{3000, false}}) {
        SCOPED_TRACE("held for " + std::to_string(c.heldFor) + " ms");
        writeSettings(settings);
        std::string before = readFileBytes(settingsFilePath());
        Holder holder{
            CreateFileW(settingsFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), c.heldFor};
        ASSERT_NE(holder.file, INVALID_HANDLE_VALUE);
        HANDLE letter = CreateThread(nullptr, 0, letGoAfter, &holder, 0, nullptr);
        DialogDriver driver;
        std::vector<std::wstring> rows;
        {
            StandinEditor editor;
            EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
            WaitForSingleObject(letter, INFINITE);
            CloseHandle(letter);
            changeOptions(editor, driver, [&](HWND dialog) {
                rows = DialogDriver::listRows(dialog, IDC_ENTRY_LIST);
                flipToolbarButton(dialog);
            });
            editor.unloadPlugins();
        }
        std::string after = readFileBytes(settingsFilePath());
        std::printf("held %lu ms at the load: %zu entries shown, the file %zu bytes before and %zu after the "
                    "editor closed, %zu message boxes\n",
            c.heldFor, rows.size(), before.size(), after.size(), driver.messageBoxes.size());
        if (c.readable) {
            EXPECT_EQ(rows.size(), 20u);
            for (const MessageBoxRecord& box : driver.messageBoxes)
                ADD_FAILURE() << "told: " << narrow(box.text);
            settings.showToolBarButton = 1;
            EXPECT_EQ(savedSettings(), settings.text());
            settings.showToolBarButton = 0;
            continue;
        }
        EXPECT_TRUE(rows.empty());
        EXPECT_TRUE(after == before) << "never replaced";
        // Told when the editor was ready, and at OK that the change can't be saved, each time which file
        // and why; not again at the end.
        ASSERT_EQ(driver.messageBoxes.size(), 2u);
        for (const MessageBoxRecord& box : driver.messageBoxes) {
            EXPECT_NE(box.text.find(settingsFilePath()), std::wstring::npos) << narrow(box.text);
            EXPECT_EQ(box.icon, IconKind::warning);
        }
        EXPECT_NE(driver.messageBoxes[0].text, driver.messageBoxes[1].text);
    }
}

TEST(SearchSettings, HandEditsMadeWhileTheEditorRunsStay)
{
    SettingsText loaded;
    loaded.entries
        = {{L"A", L"*.a", L"c:\\a", L".a"}, {L"B", L"*.b", L"c:\\b", L".b"}, {L"C", L"*.c", L"c:\\c", L".c"}};
    // By hand meanwhile: B's folders edited, an entry added.
    SettingsText byHand = loaded;
    byHand.entries[1].path = L"c:\\b;c:\\by hand";
    byHand.entries.push_back({L"Hand", L"*.h", L"c:\\h", L".h"});
    struct Case {
        const char* what;
        std::function<void(HWND)> change; // in the Options dialog; none: the dialog isn't opened
        std::function<void(SettingsText&)> expected;
    };
    const Case cases[] = {
        {"nothing changed in the plug-in", nullptr, [](SettingsText&) {}},
        {"an option changed in the plug-in",
            [](HWND dialog) { DialogDriver::setChecked(dialog, IDC_CONTEXT_ENTRY, true); },
            [](SettingsText& s) { s.showContextMenuEntry = 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeSettings(loaded);
        SettingsText expected = byHand;
        c.expected(expected);
        {
            StandinEditor editor;
            EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
            writeSettings(byHand);
            if (c.change)
                changeOptions(editor, c.change);
            editor.unloadPlugins();
        }
        std::wstring saved = savedSettings();
        std::printf("%s: the entry added by hand %s, the hand edit %s\n", c.what,
            saved.find(L"[Hand]") != std::wstring::npos ? "kept" : "lost",
            saved.find(L"by hand") != std::wstring::npos ? "kept" : "lost");
        EXPECT_EQ(saved, expected.text());
    }
}

TEST(SearchSettings, LoadingAndUnloadingLeavesNoGraphicsObjects)
{
    SettingsText settings;
    settings.showToolBarButton = 1;
    writeSettings(settings);
    StandinEditor editor;
    // Wine doesn't count a process's GDI objects, so each bitmap the library handed over is also asked
    // after the unload whether it still exists.
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    unsigned handedOver = 0, left = 0;
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
        editor.unloadPlugins();
        for (const ToolbarButton& button : editor.toolbarButtons) {
            ++handedOver;
            left += GetObjectType(button.bitmap) != 0 ? 1 : 0;
        }
        editor.toolbarButtons.clear();
    }
    DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::printf("Pickpath, 20 loads and unloads: GDI objects counted %lu before, %lu after; %u toolbar bitmaps, %u "
                "left\n",
        before, after, handedOver, left);
    EXPECT_EQ(handedOver, 20u);
    EXPECT_EQ(left, 0u);
    EXPECT_LE(after, before);
}
