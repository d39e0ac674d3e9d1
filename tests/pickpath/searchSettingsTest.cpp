// Pickpath's settings file through the real library: read when it loads, written when it unloads.
#include "pickpathTestSupport.h"

#include <gtest/gtest.h>

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
