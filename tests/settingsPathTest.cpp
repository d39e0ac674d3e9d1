// Where the settings file lies: the editor's answer, or the fallback rule without one. This
// program carries Wordlamp's version resource, so its own module is the plug-in's identity.
#include "pluginHost.h"
#include "pluginIdentity.h"
#include "settingsPath.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {
class SettingsPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        pluginModule = GetModuleHandleW(nullptr);
        nppData = NppData{};
        marker = programFolder() + L"\\doLocalConf.xml";
        DeleteFileW(marker.c_str());
    }
    void TearDown() override
    {
        DeleteFileW(marker.c_str());
        nppData = NppData{};
    }
    std::wstring compute()
    {
        wchar_t path[MAX_PATH];
        computeSettingsFilePath(path, _countof(path));
        return path;
    }
    std::wstring marker;
};

std::wstring appDataFolder()
{
    wchar_t folder[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE);
    return folder;
}
} // namespace

TEST_F(SettingsPath, NameComesFromTheVersionResource)
{
    EXPECT_STREQ(getName(), L"Wordlamp");
}

TEST_F(SettingsPath, EditorsConfigurationFolderWins)
{
    StandinEditor editor;
    editor.document.configFolder = L"C:\\npp\\plugins\\Config";
    nppData = editor.nppData();
    writeTextFile(marker, L"ignored");
    EXPECT_EQ(compute(), L"C:\\npp\\plugins\\Config\\Wordlamp.ini");
    ASSERT_EQ(editor.requests.size(), 1u);
    EXPECT_EQ(editor.requests[0].message, NPPM_GETPLUGINSCONFIGDIR);
    EXPECT_EQ(editor.requests[0].wParam, static_cast<WPARAM>(MAX_PATH));
}

TEST_F(SettingsPath, WithoutAnAnswerTheMarkerFileDecides)
{
    // Before setInfo there is no editor to ask.
    EXPECT_EQ(compute(), appDataFolder() + L"\\Notepad++\\Plugins\\Config\\Wordlamp.ini");
    writeFileBytes(marker, ""); // whatever it holds, even nothing
    EXPECT_EQ(compute(), programFolder() + L"\\Plugins\\Config\\Wordlamp.ini");

    // An editor that does not answer is no different.
    StandinEditor editor;
    editor.document.unanswered.insert(NPPM_GETPLUGINSCONFIGDIR);
    nppData = editor.nppData();
    EXPECT_EQ(compute(), programFolder() + L"\\Plugins\\Config\\Wordlamp.ini");
}

TEST_F(SettingsPath, IsFixedOnceComputed)
{
    const std::wstring first = getSettingsFilePath();
    writeFileBytes(marker, "<x/>");
    StandinEditor editor;
    editor.document.configFolder = L"C:\\elsewhere";
    nppData = editor.nppData();
    EXPECT_EQ(std::wstring(getSettingsFilePath()), first);
    EXPECT_TRUE(editor.requests.empty()) << "the marker and the editor are asked once per load";
}

TEST_F(SettingsPath, BaseNamesAndExtensions)
{
    struct Case {
        const wchar_t* displayName;
        const wchar_t* library;
        const wchar_t* baseName;
    };
    const Case cases[] = {
        {L"Word lamp", L"C:\\p\\Wordlamp.dll", L"Wordlamp"},
        {L" a  b ", L"C:\\p\\x.dll", L"ab"},
        {L"", L"C:\\p\\Fallback Name.dll", L"Fallback Name"}, // no display name: the library's name
        {L"Pickpath", L"", L"Pickpath"},
    };
    for (const Case& c : cases) {
        wchar_t baseName[MAX_PATH];
        makeSettingsBaseName(c.displayName, c.library, baseName, _countof(baseName));
        EXPECT_STREQ(baseName, c.baseName) << narrow(c.displayName);
    }
    StandinEditor editor;
    editor.document.configFolder = L"C:\\cfg";
    nppData = editor.nppData();
    wchar_t path[MAX_PATH];
    settingsFilePathFor(L"My.Plugin", path, _countof(path));
    EXPECT_STREQ(path, L"C:\\cfg\\My.Plugin") << "a name with an extension gets no .ini";
    editor.document.configFolder = L"C:\\cfg\\";
    settingsFilePathFor(L"Pickpath", path, _countof(path));
    EXPECT_STREQ(path, L"C:\\cfg\\Pickpath.ini") << "exactly one backslash between";
}

TEST_F(SettingsPath, OverlongPartsAreCutWithinTheBuffer)
{
    StandinEditor editor;
    editor.document.configFolder = L"C:\\" + std::wstring(250, L'f');
    nppData = editor.nppData();
    wchar_t path[MAX_PATH + 8];
    wmemset(path, L'#', _countof(path));
    settingsFilePathFor(std::wstring(259, L'n').c_str(), path, MAX_PATH);
    EXPECT_EQ(path[MAX_PATH], L'#') << "nothing written past the buffer";
    EXPECT_LT(wcslen(path), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(std::wstring(path).substr(0, 253), editor.document.configFolder);

    wchar_t baseName[MAX_PATH + 8];
    wmemset(baseName, L'#', _countof(baseName));
    makeSettingsBaseName(std::wstring(5000, L'x').c_str(), L"", baseName, MAX_PATH);
    EXPECT_EQ(wcslen(baseName), static_cast<size_t>(MAX_PATH - 1));
    EXPECT_EQ(baseName[MAX_PATH], L'#');
}
