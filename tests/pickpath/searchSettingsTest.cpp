// Pickpath's settings file through the real library: read when it loads, written when it unloads.
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {
// Loads the library over a settings file and unloads it again; the file it then wrote.
std::wstring roundTrip(const std::wstring& settingsText)
{
    writeSettingsText(settingsText);
    {
        StandinEditor editor;
        EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
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
            noOptions + std::wstring(L"Mask=*.o\n") + entrySection(L"Src", L"*.c", L"c:\\src", L".h") + L"[OPTIONS]\nMask=*.x\n"},
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
            text += entrySection(L"E" + std::to_wstring(i), L"*.e" + std::to_wstring(i), L"c:\\p" + std::to_wstring(i),
                L".x");
        for (size_t i = 0; i < c.unknownKeys; ++i)
            text += L"Later" + std::to_wstring(i) + L"=v\n";
        // Once through the library to get its own layout, then again: the same bytes.
        roundTrip(text);
        std::string written = readFileBytes(settingsFilePath());
        ULONGLONG start = GetTickCount64();
        {
            StandinEditor editor;
            EXPECT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
        }
        std::printf("%s (%zu bytes): load and save in %llu ms\n", c.what, written.size(), GetTickCount64() - start);
        EXPECT_EQ(written.size(), readFileBytes(settingsFilePath()).size());
        EXPECT_TRUE(readFileBytes(settingsFilePath()) == written);
        EXPECT_EQ(savedSettings(), text);
    }
}

TEST(SearchSettings, AHeldFileIsToldOfAtShutdownAndWrittenOnceLetGo)
{
    // A value the save writes differently, so that the save has something to write.
    const std::wstring before = L"[Options]\nShowToolBarButton=5\n[Kept]\nMask=*.c\nPath=c:\\src\nExt=.h\n";
    writeSettingsText(before);
    std::string beforeBytes = readFileBytes(settingsFilePath());
    DialogDriver driver;
    StandinEditor editor;
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Pickpath.dll")), L"");
    HANDLE held = CreateFileW(settingsFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string whileTold;
    driver.then([&](HWND box) {
        whileTold = readFileBytes(settingsFilePath());
        CloseHandle(held);
        DialogDriver::click(box, IDOK);
    });
    editor.unloadPlugins();
    ASSERT_EQ(driver.messageBoxes.size(), 1u);
    const MessageBoxRecord& box = driver.messageBoxes[0];
    EXPECT_NE(box.text.find(settingsFilePath()), std::wstring::npos) << narrow(box.text);
    EXPECT_EQ(box.icon, IconKind::warning);
    EXPECT_EQ(box.owner, editor.mainWindow());
    EXPECT_TRUE(whileTold == beforeBytes) << "the previous file stays whole";
    // The silent save at unload found the file free.
    EXPECT_EQ(savedSettings(), L"[Options]\nShowToolBarButton=1\nShowContextMenuEntry=0\nShowContextMenuEntryOnTop=0\n"
                               L"[Kept]\nMask=*.c\nPath=c:\\src\nExt=.h\n");
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
