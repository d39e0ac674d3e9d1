#include "wordlampTestSupport.h"

#include <gtest/gtest.h>

namespace {
// Every test of this program finds the settings beside the program.
class SettingsBesideProgram : public ::testing::Environment {
public:
    void SetUp() override { writeTextFile(programFolder() + L"\\doLocalConf.xml", L"", true); }
};
const auto* const settingsEnvironment = ::testing::AddGlobalTestEnvironment(new SettingsBesideProgram);

// The block WinHelp sends with WM_COPYDATA: sizes and offsets, then the file name and the data as
// ANSI texts.
#pragma pack(push, 1)
struct WinHelpBlock {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD fileOffset;
    WORD dataOffset;
};
#pragma pack(pop)

std::wstring widen(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(length > 0 ? length - 1 : 0), L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &result[0], length);
    return result;
}

WinHelpStandin* activeWinHelp = nullptr;

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

const wchar_t htmlHelpServerKey[] = L"Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const wchar_t wineDllOverrides[] = L"Software\\Wine\\DllOverrides";

std::wstring settingsFilePath()
{
    return programFolder() + L"\\Plugins\\Config\\Wordlamp.ini";
}

std::vector<std::wstring> settingsLines()
{
    std::vector<std::wstring> lines;
    for (const std::wstring& line : splitLines(readTextFile(settingsFilePath())))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

void writeSettings(const std::wstring& text, bool ansi)
{
    makeFolders(programFolder() + L"\\Plugins\\Config");
    writeTextFile(settingsFilePath(), text, ansi);
}

void removeSettings()
{
    SetFileAttributesW(settingsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(settingsFilePath().c_str());
}

std::wstring optionsSection(int stayOnTop, int helpMenuMode, int helpMenuSearchWord, int showToolBarButton,
    int showContextMenuEntry, int showContextMenuEntryOnTop, int showMenuIcons)
{
    return L"[Options]\nStayOnTop=" + std::to_wstring(stayOnTop) + L"\nHelpMenuMode=" + std::to_wstring(helpMenuMode)
        + L"\nHelpMenuSearchWord=" + std::to_wstring(helpMenuSearchWord) + L"\nShowToolBarButton="
        + std::to_wstring(showToolBarButton) + L"\nShowContextMenuEntry=" + std::to_wstring(showContextMenuEntry)
        + L"\nShowContextMenuEntryOnTop=" + std::to_wstring(showContextMenuEntryOnTop) + L"\nShowMenuIcons="
        + std::to_wstring(showMenuIcons) + L"\n";
}

std::wstring joinLines(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\n";
    return text;
}

WordlampInEditor::WordlampInEditor(const std::wstring& settings, EditorLook look)
{
    writeSettings(settings);
    editor.document.look = look;
    loaded = editor.loadPlugin(pluginPath(L"Wordlamp.dll")).empty();
}

WordlampInEditor::WordlampInEditor(const SettingsText& settings, EditorLook look)
    : WordlampInEditor(settings.text(), look)
{
}

std::wstring SettingsText::text() const
{
    std::wstring result = optionsSection(stayOnTop, helpMenuMode, helpMenuSearchWord, showToolBarButton,
        showContextMenuEntry, showContextMenuEntryOnTop, showMenuIcons);
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

void writeSettings(const SettingsText& settings)
{
    writeSettings(settings.text());
}

std::wstring savedSettings()
{
    return joinLines(settingsLines());
}

std::wstring expectedSettings(const SettingsText& settings)
{
    std::vector<std::wstring> lines;
    for (const std::wstring& line : splitLines(settings.text()))
        if (!line.empty())
            lines.push_back(line);
    return joinLines(lines);
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

HtmlHelpStandin::HtmlHelpStandin(const wchar_t* library)
{
    std::wstring path = programFolder() + L"\\" + library;
    // Loaded here too, so the records stay readable whatever the plug-in does with the library.
    HMODULE module = LoadLibraryW(path.c_str());
    auto logEntry = libraryEntry<HtmlHelpLogFunction>(module, "htmlHelpLog");
    log_ = logEntry != nullptr ? logEntry() : nullptr;
    clear();
    registration_ = std::make_unique<RegistryValueSwap>(HKEY_LOCAL_MACHINE, htmlHelpServerKey, L"", &path);
}

std::vector<HtmlHelpCall> HtmlHelpStandin::calls() const
{
    std::vector<HtmlHelpCall> result;
    if (log_ != nullptr)
        for (int i = 0; i < log_->count && i < static_cast<int>(_countof(log_->calls)); ++i)
            result.push_back(log_->calls[i]);
    return result;
}

void HtmlHelpStandin::clear()
{
    if (log_ != nullptr)
        *log_ = HtmlHelpLog{};
}

WinHelpStandin::WinHelpStandin()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MS_WINHELP";
    RegisterClassW(&windowClass);
    activeWinHelp = this;
    window_ = CreateWindowExW(0, L"MS_WINHELP", L"WinHelp stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
        nullptr, GetModuleHandleW(nullptr), nullptr);
}

WinHelpStandin::~WinHelpStandin()
{
    DestroyWindow(window_);
    activeWinHelp = nullptr;
}

LRESULT CALLBACK WinHelpStandin::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA && activeWinHelp != nullptr) {
        const COPYDATASTRUCT* copied = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const char* bytes = static_cast<const char*>(copied->lpData);
        WinHelpCall call = {reinterpret_cast<HWND>(wParam), 0, L"", L""};
        if (copied->cbData >= sizeof(WinHelpBlock)) {
            const WinHelpBlock* block = static_cast<const WinHelpBlock*>(copied->lpData);
            call.command = block->command;
            if (block->fileOffset != 0 && block->fileOffset < copied->cbData)
                call.file = widen(bytes + block->fileOffset);
            if (block->dataOffset != 0 && block->dataOffset < copied->cbData)
                call.data = widen(bytes + block->dataOffset);
        }
        activeWinHelp->calls.push_back(call);
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring shellRecorderPath()
{
    return programFolder() + L"\\shellRecorder.exe";
}

void clearShellRecord()
{
    DeleteFileW((programFolder() + L"\\shellRecorder.log").c_str());
}

std::wstring waitForShellRecord()
{
    std::wstring log = programFolder() + L"\\shellRecorder.log";
    for (int waited = 0; waited < 15000; waited += 50) {
        // The recorder's command line is never empty; an empty read is a file still being moved in.
        std::wstring recorded = fileExists(log) ? readTextFile(log) : L"";
        if (!recorded.empty())
            return recorded;
        Sleep(50);
    }
    return L"";
}

HelpFiles::HelpFiles()
    : folder_(makeTempFolder(L"wordlampHelp"))
{
}

HelpFiles::~HelpFiles()
{
    removeTree(folder_);
}

std::wstring HelpFiles::make(const std::wstring& name) const
{
    writeFileBytes(path(name), "");
    return path(name);
}
