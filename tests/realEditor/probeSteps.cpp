#include "probeSteps.h"

#include "htmlHelpStandin.h"
#include "probeLog.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <vector>

namespace {
constexpr UINT NPPM_GETCURRENTSCINTILLA = WM_USER + 1000 + 4;
constexpr UINT SCI_SETSEL = 2160;
constexpr UINT SCI_GETLENGTH = 2006;
constexpr UINT SCI_GETTEXT = 2182;
constexpr UINT SCI_GETCURRENTPOS = 2008;
constexpr UINT SCI_LINEFROMPOSITION = 2166;
constexpr UINT SCI_POSITIONFROMLINE = 2167;
constexpr UINT SCI_COUNTCHARACTERS = 2633;
constexpr UINT SCI_GETFIRSTVISIBLELINE = 2152;
constexpr UINT SCI_LINESONSCREEN = 2370;
constexpr UINT SCI_VISIBLEFROMDOCLINE = 2220;
constexpr UINT SCI_GETSELECTIONSTART = 2143;
constexpr UINT SCI_GETSELECTIONEND = 2145;
constexpr UINT stepTimerId = 1;
constexpr UINT stepInterval = 40;        // milliseconds between two looks at a waiting step
constexpr DWORD defaultWait = 5000;      // how long a step waits for what it expects
constexpr DWORD defaultDeadline = 90000; // from the probe's load to the end of the editor
constexpr int textCapacity = 1024;
// Asks the probe's window to show a menu of the menu bar: its own loop then runs the later steps.
constexpr UINT showMenuMessage = WM_APP + 1;

struct Step {
    std::wstring verb;
    std::wstring rest;
};

NppData editor = {};
std::vector<Step> steps;
size_t nextStep = 0;
DWORD stepStarted = 0;
bool stepRunning = false;
bool inStep = false;
HWND stepWindow = nullptr;
HWND currentDialog = nullptr;
bool watchingPopups = false;
bool popupSeen = false;
std::wstring popupChoice; // the context menu's item a step chooses, by caption path
UINT popupChoiceId = 0;
int popupsShown = 0; // numbers the context menus in the log
volatile LONG deadlineTick = 0;
WNDPROC secondSavedProc = nullptr;

std::wstring trim(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos)
        return L"";
    size_t last = text.find_last_not_of(L" \t\r");
    return text.substr(first, last - first + 1);
}

std::wstring firstWord(std::wstring& rest)
{
    rest = trim(rest);
    size_t space = rest.find(L' ');
    std::wstring word = rest.substr(0, space);
    rest = space == std::wstring::npos ? L"" : trim(rest.substr(space + 1));
    return word;
}

// Copies a part of the screen into a BMP file: what a person sees there, frames and all.
bool saveScreenArea(const RECT& area, const std::wstring& path)
{
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = header.bfOffBits + imageSize;
    bool saved = false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        saved = WriteFile(file, &header, sizeof(header), &written, nullptr)
            && WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr)
            && WriteFile(file, bits, imageSize, &written, nullptr);
        CloseHandle(file);
    }
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

std::wstring readFileText(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
    UINT codePage = CP_UTF8;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    else if (MultiByteToWideChar(
                 CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0)
        == 0)
        codePage = CP_ACP;
    int size = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], size);
    return text;
}

std::wstring replaceAll(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::wstring ownerName(HWND window)
{
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner == editor._nppHandle)
        return L"editor";
    return owner == nullptr ? L"none" : hex(reinterpret_cast<ULONG_PTR>(owner));
}

std::wstring windowText(HWND window)
{
    wchar_t text[textCapacity] = L"";
    GetWindowTextW(window, text, _countof(text));
    return text;
}

std::wstring className(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, _countof(name));
    return name;
}

// A caption as a menu path names it: no accelerator marks, no shortcut text.
std::wstring plainCaption(HMENU menu, int position)
{
    wchar_t text[textCapacity] = L"";
    GetMenuStringW(menu, static_cast<UINT>(position), text, _countof(text), MF_BYPOSITION);
    std::wstring caption;
    for (const wchar_t* c = text; *c != L'\0' && *c != L'\t'; ++c)
        if (*c != L'&')
            caption += *c;
    return caption;
}

void logMenu(HMENU menu, const std::wstring& prefix, const std::wstring& path)
{
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        std::wstring itemPath
            = path.empty() ? plainCaption(menu, position) : path + L"|" + plainCaption(menu, position);
        HMENU sub = GetSubMenu(menu, position);
        UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        if (sub != nullptr) {
            logLine(prefix + itemPath + L" >");
            logMenu(sub, prefix, itemPath);
        } else if (state & MF_SEPARATOR) {
            logLine(prefix + path + L"|--- id=" + std::to_wstring(GetMenuItemID(menu, position)));
        } else {
            logLine(prefix + itemPath + L" id=" + std::to_wstring(GetMenuItemID(menu, position))
                + ((state & MF_CHECKED) ? L" checked" : L"")
                + ((state & (MF_GRAYED | MF_DISABLED)) ? L" disabled" : L""));
        }
    }
}

// Finds "Plugins|Wordlamp|Options..." in the menu bar: the item's menu and position.
bool findMenuItem(HMENU root, const std::wstring& path, HMENU& menu, int& position)
{
    menu = root;
    std::wstring rest = path;
    while (menu != nullptr) {
        size_t bar = rest.find(L'|');
        std::wstring name = rest.substr(0, bar);
        int found = -1;
        for (int i = 0; i < GetMenuItemCount(menu) && found < 0; ++i)
            if (plainCaption(menu, i) == name)
                found = i;
        if (found < 0)
            return false;
        if (bar == std::wstring::npos) {
            position = found;
            return true;
        }
        menu = GetSubMenu(menu, found);
        rest = rest.substr(bar + 1);
    }
    return false;
}

HWND currentView()
{
    int which = 0;
    OwnRequest own(NPPM_GETCURRENTSCINTILLA);
    SendMessageW(editor._nppHandle, NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&which));
    return which == 1 ? editor._scintillaSecondHandle : editor._scintillaMainHandle;
}

// Asks the editing view for its context menu at a point inside it, watching for the menu to show;
// choice names the item to run in it (empty: none).
void openContextMenu(const std::wstring& choice, int x, int y)
{
    popupSeen = false;
    popupChoice = choice;
    popupChoiceId = 0;
    watchingPopups = true;
    HWND view = currentView();
    RECT area;
    GetWindowRect(view, &area);
    PostMessageW(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), MAKELPARAM(area.left + x, area.top + y));
}

struct DialogSearch {
    HWND found;
};

BOOL CALLBACK findEnabledDialog(HWND window, LPARAM data)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window) && className(window) == L"#32770") {
        reinterpret_cast<DialogSearch*>(data)->found = window;
        return FALSE;
    }
    return TRUE;
}

// The dialog a person would be looking at: the visible one that still takes input (its owners
// are disabled while it is open).
HWND activeDialog()
{
    DialogSearch search = {nullptr};
    EnumThreadWindows(GetCurrentThreadId(), findEnabledDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK logControl(HWND control, LPARAM)
{
    std::wstring kind = className(control);
    std::wstring line = L"control id=" + std::to_wstring(GetDlgCtrlID(control)) + L" class=" + kind + L" text="
        + quoted(windowText(control));
    if (kind == L"Button")
        line += L" checked=" + std::to_wstring(SendMessageW(control, BM_GETCHECK, 0, 0));
    line += IsWindowEnabled(control) ? L" enabled" : L" disabled";
    logLine(line);
    if (kind == L"ListBox") {
        LRESULT count = SendMessageW(control, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[textCapacity] = L"";
            if (SendMessageW(control, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < textCapacity)
                SendMessageW(control, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            logLine(L"  item " + std::to_wstring(i) + L" " + quoted(text));
        }
    } else if (kind == L"SysListView32") {
        // Every column of a row, and which row is selected.
        HWND header = reinterpret_cast<HWND>(SendMessageW(control, LVM_GETHEADER, 0, 0));
        int columns = header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
        LRESULT count = SendMessageW(control, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring line = L"  item " + std::to_wstring(i);
            for (int column = 0; column < (columns > 0 ? columns : 1); ++column) {
                wchar_t text[textCapacity] = L"";
                LVITEMW item = {};
                item.iSubItem = column;
                item.pszText = text;
                item.cchTextMax = textCapacity;
                SendMessageW(control, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                line += L" " + quoted(text);
            }
            if (SendMessageW(control, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) & LVIS_SELECTED)
                line += L" selected";
            logLine(line);
        }
    }
    return TRUE;
}

void logDialog(HWND dialog)
{
    HWND root = GetAncestor(dialog, GA_ROOTOWNER);
    logLine(L"dialog title=" + quoted(windowText(dialog)) + L" owner=" + ownerName(dialog)
        + (root == editor._nppHandle ? L" root=editor" : L" root=other"));
    EnumChildWindows(dialog, logControl, 0);
}

HWND control(const std::wstring& id)
{
    return GetDlgItem(currentDialog, _wtoi(id.c_str()));
}

void postClick(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void pressKeys(std::wstring rest)
{
    std::vector<WORD> keys;
    for (std::wstring word = firstWord(rest); !word.empty(); word = firstWord(rest)) {
        if (word == L"ctrl")
            keys.push_back(VK_CONTROL);
        else if (word == L"alt")
            keys.push_back(VK_MENU);
        else if (word == L"shift")
            keys.push_back(VK_SHIFT);
        else if (word == L"down")
            keys.push_back(VK_DOWN);
        else if (word == L"up")
            keys.push_back(VK_UP);
        else if (word == L"return")
            keys.push_back(VK_RETURN);
        else if (word == L"escape")
            keys.push_back(VK_ESCAPE);
        else if (word.size() > 1 && word[0] == L'F')
            keys.push_back(static_cast<WORD>(VK_F1 + _wtoi(word.c_str() + 1) - 1));
        else
            keys.push_back(static_cast<WORD>(towupper(word[0])));
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    // Keys go to the dialog a person would be looking at, else to the editing view.
    HWND dialog = activeDialog();
    if (dialog == nullptr) {
        SetForegroundWindow(editor._nppHandle);
        SetFocus(currentView());
    } else {
        SetForegroundWindow(dialog);
    }
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    logLine(L"keys pressed=" + std::to_wstring(sent));
}

// A person's left click into a window near its top left corner, away from the dialogs centred over
// the editor: real input, which a disabled window never gets.
void clickInto(HWND window)
{
    RECT area;
    GetWindowRect(window, &area);
    int x = area.left + 30;
    int y = area.top + 30;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65535, width > 1 ? width - 1 : 1);
        input.mi.dy = MulDiv(y, 65535, height > 1 ? height - 1 : 1);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    UINT sent = SendInput(3, inputs, sizeof(INPUT));
    logLine(L"clicked x=" + std::to_wstring(x) + L" y=" + std::to_wstring(y) + L" sent=" + std::to_wstring(sent));
}

// Types text as a person would, wherever the keyboard's input goes now: nothing is focused first.
void typeText(const std::wstring& text)
{
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = c;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    logLine(L"typed sent=" + std::to_wstring(sent));
}

void logDocumentText()
{
    HWND view = currentView();
    LRESULT length = SendMessageW(view, SCI_GETLENGTH, 0, 0);
    std::string bytes(static_cast<size_t>(length) + 1, '\0');
    SendMessageW(view, SCI_GETTEXT, bytes.size(), reinterpret_cast<LPARAM>(&bytes[0]));
    bytes.resize(static_cast<size_t>(length));
    int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], size);
    logLine(L"document text=" + quoted(text));
}

struct CaptionCount {
    std::wstring caption;
    int count;
};

BOOL CALLBACK countDialog(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<CaptionCount*>(data);
    if (IsWindowVisible(window) && className(window) == L"#32770" && windowText(window) == search->caption)
        ++search->count;
    return TRUE;
}

void setRegistryValue(const std::wstring& setting)
{
    // HKLM\key|value|data: an empty value name sets the key's default value.
    size_t first = setting.find(L'|');
    size_t second = setting.find(L'|', first + 1);
    if (first == std::wstring::npos || second == std::wstring::npos) {
        logLine(L"bad regset " + setting);
        return;
    }
    std::wstring key = setting.substr(0, first);
    std::wstring value = setting.substr(first + 1, second - first - 1);
    std::wstring data = setting.substr(second + 1);
    HKEY root = key.compare(0, 5, L"HKCU\\") == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    HKEY opened = nullptr;
    LSTATUS status
        = RegCreateKeyExW(root, key.substr(5).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(opened, value.empty() ? nullptr : value.c_str(), 0, REG_SZ,
            reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(opened);
    }
    logLine(L"regset " + key + L" status=" + std::to_wstring(status));
}

void logHtmlHelpCalls(const std::wstring& library)
{
    // The same path gives the engine the plug-in loaded, with the calls it recorded.
    HMODULE engine = LoadLibraryW(library.c_str());
    auto logOf = reinterpret_cast<HtmlHelpLogFunction>(reinterpret_cast<void*>(GetProcAddress(engine, "htmlHelpLog")));
    if (logOf == nullptr) {
        logLine(L"htmlhelp engine missing");
        return;
    }
    HtmlHelpLog* log = logOf();
    logLine(L"htmlhelp count=" + std::to_wstring(log->count));
    for (int i = 0; i < log->count && i < static_cast<int>(_countof(log->calls)); ++i)
        logLine(L"htmlhelp file=" + quoted(log->calls[i].file) + L" command=" + std::to_wstring(log->calls[i].command)
            + L" keyword=" + quoted(log->calls[i].keyword) + L" owner="
            + (log->calls[i].owner == editor._nppHandle ? std::wstring(L"editor")
                                                        : hex(reinterpret_cast<ULONG_PTR>(log->calls[i].owner))));
}

// Where the caret is in the current view: line and column from 1, the column in characters, and
// whether its line is on screen.
void logCaret()
{
    HWND view = currentView();
    LRESULT position = SendMessageW(view, SCI_GETCURRENTPOS, 0, 0);
    LRESULT line = SendMessageW(view, SCI_LINEFROMPOSITION, static_cast<WPARAM>(position), 0);
    LRESULT lineStart = SendMessageW(view, SCI_POSITIONFROMLINE, static_cast<WPARAM>(line), 0);
    LRESULT column = SendMessageW(view, SCI_COUNTCHARACTERS, static_cast<WPARAM>(lineStart), position);
    LRESULT shownLine = SendMessageW(view, SCI_VISIBLEFROMDOCLINE, static_cast<WPARAM>(line), 0);
    LRESULT first = SendMessageW(view, SCI_GETFIRSTVISIBLELINE, 0, 0);
    LRESULT onScreen = SendMessageW(view, SCI_LINESONSCREEN, 0, 0);
    bool visible = shownLine >= first && shownLine < first + (onScreen > 0 ? onScreen : 1);
    bool selection = SendMessageW(view, SCI_GETSELECTIONSTART, 0, 0) != SendMessageW(view, SCI_GETSELECTIONEND, 0, 0);
    logLine(L"caret line=" + std::to_wstring(line + 1) + L" column=" + std::to_wstring(column + 1)
        + (visible ? L" visible" : L" hidden") + (selection ? L" selection" : L""));
}

// The first field of the editor's status bar, as a person reads it.
void logStatus()
{
    HWND statusBar = FindWindowExW(editor._nppHandle, nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[textCapacity] = L"";
    if (statusBar != nullptr && LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, 0, 0)) < textCapacity)
        SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    logLine(L"status " + quoted(text));
}

// Asks the editor as a plug-in does: a buffer of the given capacity and what came back in it.
void askEditor(std::wstring rest)
{
    UINT message = static_cast<UINT>(_wtoi(firstWord(rest).c_str()));
    int capacity = rest.empty() ? MAX_PATH : _wtoi(rest.c_str());
    std::vector<wchar_t> buffer(static_cast<size_t>(capacity > 0 ? capacity : 1) + 1, L'\x01');
    buffer.back() = L'\0';
    OwnRequest own(message);
    LRESULT result = SendMessageW(
        editor._nppHandle, message, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(buffer.data()));
    logLine(L"asked " + std::to_wstring(message) + L" capacity=" + std::to_wstring(capacity) + L" result="
        + std::to_wstring(static_cast<long long>(result)) + L" text="
        + quoted(buffer[0] == L'\x01' ? L"(untouched)" : buffer.data()));
}

HWND findToolbar()
{
    HWND toolbar = FindWindowExW(editor._nppHandle, nullptr, TOOLBARCLASSNAMEW, nullptr);
    for (HWND rebar = FindWindowExW(editor._nppHandle, nullptr, REBARCLASSNAMEW, nullptr);
         toolbar == nullptr && rebar != nullptr;
         rebar = FindWindowExW(editor._nppHandle, rebar, REBARCLASSNAMEW, nullptr))
        toolbar = FindWindowExW(rebar, nullptr, TOOLBARCLASSNAMEW, nullptr);
    return toolbar;
}

void logToolbar()
{
    HWND toolbar = findToolbar();
    if (toolbar == nullptr) {
        logLine(L"toolbar missing");
        return;
    }
    LRESULT count = SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0);
    logLine(L"toolbar buttons=" + std::to_wstring(count));
    HMENU bar = GetMenu(editor._nppHandle);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON button = {};
        SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & BTNS_SEP)
            continue;
        wchar_t caption[textCapacity] = L"";
        GetMenuStringW(bar, static_cast<UINT>(button.idCommand), caption, _countof(caption), MF_BYCOMMAND);
        logLine(L"toolbar id=" + std::to_wstring(button.idCommand) + L" menu=" + quoted(caption));
    }
}

LRESULT CALLBACK secondWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(secondSavedProc, window, message, wParam, lParam);
}

// Runs one step; false while it still waits for what it expects.
bool runStep(const Step& step, DWORD waited)
{
    std::wstring rest = step.rest;
    const std::wstring& verb = step.verb;
    if (verb == L"log") {
        logLine(L"log " + rest);
    } else if (verb == L"wait") {
        return waited >= static_cast<DWORD>(_wtoi(rest.c_str()));
    } else if (verb == L"menu") {
        logMenu(GetMenu(editor._nppHandle), rest.empty() ? L"menu " : L"menu " + rest + L" ", L"");
    } else if (verb == L"open") {
        OwnRequest own(NPPM_DOOPEN);
        LRESULT result = SendMessageW(editor._nppHandle, NPPM_DOOPEN, 0, reinterpret_cast<LPARAM>(rest.c_str()));
        logLine(L"open " + quoted(rest) + L" result=" + std::to_wstring(result));
    } else if (verb == L"select") {
        std::wstring from = firstWord(rest);
        SendMessageW(currentView(), SCI_SETSEL, static_cast<WPARAM>(_wtoi(from.c_str())), _wtoi(rest.c_str()));
    } else if (verb == L"key") {
        pressKeys(rest);
    } else if (verb == L"current") {
        wchar_t path[MAX_PATH] = L"";
        OwnRequest own(NPPM_GETFULLCURRENTPATH);
        SendMessageW(editor._nppHandle, NPPM_GETFULLCURRENTPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
        logLine(L"current " + quoted(path));
    } else if (verb == L"command") {
        HMENU menu = nullptr;
        int position = 0;
        if (!findMenuItem(GetMenu(editor._nppHandle), rest, menu, position)) {
            logLine(L"command missing " + rest);
        } else {
            UINT id = GetMenuItemID(menu, position);
            logLine(L"command " + rest + L" id=" + std::to_wstring(id));
            PostMessageW(editor._nppHandle, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        }
    } else if (verb == L"dialog") {
        HWND dialog = activeDialog();
        if (dialog == nullptr)
            return waited >= defaultWait ? (logLine(L"no dialog"), true) : false;
        currentDialog = dialog;
        logDialog(dialog);
    } else if (verb == L"nodialog") {
        HWND dialog = activeDialog();
        if (dialog != nullptr) {
            logLine(L"unexpected dialog");
            logDialog(dialog);
            postClick(dialog, IDCANCEL);
            postClick(dialog, IDOK);
            return true;
        }
        if (waited < static_cast<DWORD>(_wtoi(rest.c_str())))
            return false;
        logLine(L"nodialog ok");
    } else if (verb == L"set") {
        std::wstring id = firstWord(rest);
        SetWindowTextW(control(id), rest.c_str());
    } else if (verb == L"check") {
        std::wstring id = firstWord(rest);
        SendMessageW(control(id), BM_SETCHECK, _wtoi(rest.c_str()) ? BST_CHECKED : BST_UNCHECKED, 0);
        postClick(currentDialog, _wtoi(id.c_str()));
    } else if (verb == L"press") {
        postClick(currentDialog, _wtoi(rest.c_str()));
    } else if (verb == L"listsel") {
        std::wstring id = firstWord(rest);
        SendMessageW(control(id), LB_SETCURSEL, static_cast<WPARAM>(_wtoi(rest.c_str())), 0);
        PostMessageW(currentDialog, WM_COMMAND, MAKEWPARAM(_wtoi(id.c_str()), LBN_SELCHANGE),
            reinterpret_cast<LPARAM>(control(id)));
    } else if (verb == L"gone") {
        // The dialog closed: it is no longer a window.
        if (IsWindow(currentDialog))
            return waited >= defaultWait ? (logLine(L"dialog still open"), true) : false;
        logLine(L"dialog closed");
    } else if (verb == L"context") {
        if (waited == 0) {
            openContextMenu(rest, 20, 20);
            return false;
        }
        if (!popupSeen)
            return waited >= defaultWait ? (watchingPopups = false, logLine(L"no context menu"), true) : false;
        watchingPopups = false;
        EndMenu();
        if (!popupChoice.empty()) {
            logLine(L"context run " + popupChoice + L" id=" + std::to_wstring(popupChoiceId));
            if (popupChoiceId != 0)
                PostMessageW(editor._nppHandle, WM_COMMAND, MAKEWPARAM(popupChoiceId, 0), 0);
        }
    } else if (verb == L"showmenu") {
        PostMessageW(stepWindow, showMenuMessage, 0, reinterpret_cast<LPARAM>(new std::wstring(rest)));
    } else if (verb == L"showcontext") {
        // Shown like "context", but left open for a picture until "endmenu".
        if (waited == 0) {
            openContextMenu(L"", 60, 30);
            return false;
        }
        if (!popupSeen)
            return waited >= defaultWait ? (watchingPopups = false, logLine(L"no context menu"), true) : false;
        watchingPopups = false;
    } else if (verb == L"maximize") {
        ShowWindow(editor._nppHandle, SW_MAXIMIZE);
    } else if (verb == L"endmenu") {
        EndMenu();
    } else if (verb == L"shot") {
        // shot PATH dialog|menu|toolbar|editor
        std::wstring path = firstWord(rest);
        HWND window = nullptr;
        if (rest == L"dialog")
            window = currentDialog;
        else if (rest == L"menu")
            window = FindWindowW(L"#32768", nullptr);
        else if (rest == L"toolbar")
            window = findToolbar();
        else
            window = editor._nppHandle;
        RECT area = {};
        if (window != nullptr) {
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
            GetWindowRect(window, &area);
        }
        bool saved = window != nullptr && saveScreenArea(area, path);
        logLine(L"shot " + quoted(path) + (saved ? L" saved " : L" FAILED ") + std::to_wstring(area.right - area.left)
            + L"x" + std::to_wstring(area.bottom - area.top));
    } else if (verb == L"caret") {
        logCaret();
    } else if (verb == L"status") {
        logStatus();
    } else if (verb == L"ask") {
        askEditor(rest);
    } else if (verb == L"toolbar") {
        logToolbar();
    } else if (verb == L"enabled") {
        logLine(L"editor enabled=" + std::to_wstring(IsWindowEnabled(editor._nppHandle) ? 1 : 0));
    } else if (verb == L"clickview") {
        clickInto(currentView());
    } else if (verb == L"type") {
        typeText(rest);
    } else if (verb == L"text") {
        logDocumentText();
    } else if (verb == L"dialogs") {
        // The dialogs open with this caption, however many.
        CaptionCount search = {rest, 0};
        EnumThreadWindows(GetCurrentThreadId(), countDialog, reinterpret_cast<LPARAM>(&search));
        logLine(L"dialogs " + quoted(rest) + L" count=" + std::to_wstring(search.count));
    } else if (verb == L"menudown") {
        // The next item of the open menu lights up, as with the arrow key.
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu != nullptr)
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        logLine(menu != nullptr ? L"menu down" : L"no open menu");
    } else if (verb == L"file") {
        if (!PathFileExistsW(rest.c_str()))
            return waited >= defaultWait ? (logLine(L"no file " + quoted(rest)), true) : false;
        logLine(L"file " + quoted(rest) + L" content=" + quoted(readFileText(rest)));
    } else if (verb == L"htmlhelp") {
        logHtmlHelpCalls(rest);
    } else if (verb == L"regset") {
        setRegistryValue(rest);
    } else if (verb == L"subclass") {
        secondSavedProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(editor._nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(secondWindowProc)));
        // This procedure is never taken out again: the library must outlive the window.
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
            reinterpret_cast<LPCWSTR>(&secondWindowProc), &pinned);
        logLine(L"subclassed the main window again");
    } else if (verb == L"close") {
        logLine(L"closing t=" + std::to_wstring(millisecondsSinceStart()));
        PostMessageW(editor._nppHandle, WM_CLOSE, 0, 0);
    } else {
        logLine(L"unknown step " + verb);
    }
    return true;
}

LRESULT CALLBACK stepWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == showMenuMessage) {
        std::wstring* path = reinterpret_cast<std::wstring*>(lParam);
        HMENU menu = GetMenu(editor._nppHandle);
        HMENU owner = nullptr;
        int position = 0;
        if (findMenuItem(menu, *path, owner, position) && GetSubMenu(owner, position) != nullptr) {
            // Below the menu bar's own item, where a click on it would drop the menu down.
            RECT item = {};
            GetMenuItemRect(editor._nppHandle, owner, static_cast<UINT>(position), &item);
            logLine(L"menu shown " + *path);
            SetForegroundWindow(editor._nppHandle);
            TrackPopupMenu(GetSubMenu(owner, position), TPM_LEFTALIGN | TPM_TOPALIGN, item.left, item.bottom, 0,
                editor._nppHandle, nullptr);
        } else {
            logLine(L"no menu " + *path);
        }
        delete path;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK onStepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    // A step that sends a message may run a loop that comes back here: one step at a time.
    if (inStep)
        return;
    inStep = true;
    while (nextStep < steps.size()) {
        DWORD now = GetTickCount();
        if (!stepRunning) {
            stepRunning = true;
            stepStarted = now;
        }
        if (!runStep(steps[nextStep], now - stepStarted))
            break;
        stepRunning = false;
        bool last = steps[nextStep].verb == L"close";
        ++nextStep;
        // A posted command or key takes effect in the editor's own loop: give it a turn.
        if (last || steps[nextStep - 1].verb != L"log")
            break;
    }
    if (nextStep >= steps.size() && stepWindow != nullptr) {
        KillTimer(stepWindow, stepTimerId);
        logLine(L"scenario done t=" + std::to_wstring(millisecondsSinceStart()));
    }
    inStep = false;
}

DWORD WINAPI watchdog(LPVOID)
{
    for (;;) {
        Sleep(200);
        LONG deadline = deadlineTick;
        if (deadline != 0 && static_cast<LONG>(GetTickCount() - static_cast<DWORD>(deadline)) > 0) {
            logLine(L"watchdog: the editor did not end in time");
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}
} // namespace

void loadScenario(const std::wstring& path, const std::wstring& editorFolder)
{
    std::wstring text = readFileText(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        std::wstring line = trim(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        start = end == std::wstring::npos ? text.size() : end + 1;
        if (line.empty() || line[0] == L'#')
            continue;
        line = replaceAll(line, L"%EDITOR%", editorFolder);
        Step step;
        step.rest = line;
        step.verb = firstWord(step.rest);
        if (step.verb == L"expect" || step.verb == L"setup")
            continue; // read by the runner
        steps.push_back(step);
    }
    logLine(L"scenario steps=" + std::to_wstring(steps.size()));
}

void startScenario(const NppData& data)
{
    editor = data;
    // A procedure put over the editor's while the plug-ins get NPPN_READY, in the probe's turn.
    while (nextStep < steps.size() && steps[nextStep].verb == L"subclass")
        runStep(steps[nextStep++], 0);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = stepWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ProbeSteps";
    RegisterClassW(&windowClass);
    stepWindow = CreateWindowExW(0, L"ProbeSteps", L"probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetTimer(stepWindow, stepTimerId, stepInterval, onStepTimer);
}

void notePopupMenu(HMENU menu)
{
    if (!watchingPopups)
        return;
    popupSeen = true;
    std::wstring prefix = L"popup " + std::to_wstring(++popupsShown) + L" ";
    logLine(prefix + L"shown");
    logMenu(menu, prefix, L"");
    HMENU itemMenu = nullptr;
    int position = 0;
    if (!popupChoice.empty() && findMenuItem(menu, popupChoice, itemMenu, position))
        popupChoiceId = GetMenuItemID(itemMenu, position);
}

void startWatchdog()
{
    InterlockedExchange(&deadlineTick, static_cast<LONG>(GetTickCount() + defaultDeadline));
    HANDLE thread = CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr);
    if (thread != nullptr)
        CloseHandle(thread);
}
