#include "uiTestSupport.h"

#include <gtest/gtest.h>

namespace {
// Every test of this program finds the settings beside the program.
class SettingsBesideProgram : public ::testing::Environment {
public:
    void SetUp() override { writeTextFile(programFolder() + L"\\doLocalConf.xml", L"", true); }
};
const auto* const settingsEnvironment = ::testing::AddGlobalTestEnvironment(new SettingsBesideProgram);

std::wstring withoutBlankLines(const std::wstring& text)
{
    std::wstring result;
    for (const std::wstring& line : splitLines(text))
        if (!line.empty())
            result += line + L"\n";
    return result;
}

std::wstring menuItemText(HMENU menu, int position)
{
    wchar_t caption[256] = L"";
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = caption;
    info.cch = _countof(caption);
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
        return L"?";
    if (info.fType & MFT_SEPARATOR)
        return L"-";
    if (info.hSubMenu != nullptr) {
        std::wstring items;
        for (const std::wstring& item : describeMenu(info.hSubMenu))
            items += (items.empty() ? L"" : L",") + item;
        return std::wstring(caption) + L"[" + items + L"]";
    }
    return std::wstring(caption) + L"#" + std::to_wstring(info.wID);
}
} // namespace

std::wstring SettingsText::text() const
{
    std::wstring result = L"[Options]\nStayOnTop=" + std::to_wstring(stayOnTop) + L"\nHelpMenuMode="
        + std::to_wstring(helpMenuMode) + L"\nHelpMenuSearchWord=" + std::to_wstring(helpMenuSearchWord)
        + L"\nShowToolBarButton=" + std::to_wstring(showToolBarButton) + L"\nShowContextMenuEntry="
        + std::to_wstring(showContextMenuEntry) + L"\nShowContextMenuEntryOnTop="
        + std::to_wstring(showContextMenuEntryOnTop) + L"\nShowMenuIcons=" + std::to_wstring(showMenuIcons) + L"\n";
    for (const EntryText& entry : entries)
        result += L"[" + entry.name + L"]\nMask=" + entry.mask + L"\nFile=" + entry.file + L"\nShow="
            + std::to_wstring(entry.show) + L"\n";
    return result;
}

std::vector<EntryText> threeEntries()
{
    return {
        {L"C", L"*.c;*.h", L"c:\\help\\c.chm", 1},
        {L"Text", L"*.txt", L"$nppdir$\\text.hlp", 0},
        {L"CSS", L"*.css", L"c:\\help\\css.chm", 1},
    };
}

std::vector<EntryText> numberedEntries(int count)
{
    std::vector<EntryText> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({L"Entry" + std::to_wstring(i), L"*.e" + std::to_wstring(i), L"e.chm", 1});
    return entries;
}

std::wstring settingsFilePath()
{
    return programFolder() + L"\\Plugins\\Config\\Wordlamp.ini";
}

void writeSettings(const SettingsText& settings)
{
    makeFolders(programFolder() + L"\\Plugins\\Config");
    writeTextFile(settingsFilePath(), settings.text());
}

std::wstring savedSettings()
{
    return withoutBlankLines(readTextFile(settingsFilePath()));
}

std::wstring expectedSettings(const SettingsText& settings)
{
    return withoutBlankLines(settings.text());
}

WordlampInEditor::WordlampInEditor(const SettingsText& settings, EditorLook look)
{
    writeSettings(settings);
    editor.document.look = look;
    loaded = editor.loadPlugin(pluginPath(L"Wordlamp.dll")).empty();
}

HMENU ownMenuOf(const StandinEditor& editor)
{
    HMENU plugins = editor.pluginsMenu();
    for (int position = 0; position < GetMenuItemCount(plugins); ++position) {
        wchar_t caption[256] = L"";
        GetMenuStringW(plugins, static_cast<UINT>(position), caption, _countof(caption), MF_BYPOSITION);
        if (std::wstring(caption) == L"Wordlamp")
            return GetSubMenu(plugins, position);
    }
    return nullptr;
}

std::vector<std::wstring> describeMenu(HMENU menu)
{
    std::vector<std::wstring> items;
    for (int position = 0; position < GetMenuItemCount(menu); ++position)
        items.push_back(menuItemText(menu, position));
    return items;
}

std::vector<std::wstring> menuTail(HMENU menu, int from)
{
    std::vector<std::wstring> items = describeMenu(menu);
    if (from >= static_cast<int>(items.size()))
        return {};
    return std::vector<std::wstring>(items.begin() + from, items.end());
}

HBITMAP itemBitmap(HMENU menu, UINT item, bool byPosition)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    if (!GetMenuItemInfoW(menu, item, byPosition, &info))
        return nullptr;
    return info.hbmpItem;
}
