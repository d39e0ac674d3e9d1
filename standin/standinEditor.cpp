#include "standinEditor.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

namespace {
const wchar_t mainWindowClass[] = L"StandinEditorMain";
// The real editor these answers were measured on: 8.9.7, minor part zero-padded.
const LRESULT currentEditorVersion = MAKELONG(970, 8);
// What the editor applies to a dialog: measured 0x7 for the request at initialisation.
constexpr WPARAM themeFlagsApplied = 0x7;

const DarkModeColors darkColors = {RGB(0x20, 0x20, 0x20), RGB(0x2B, 0x2B, 0x2B), RGB(0x40, 0x40, 0x40), RGB(0, 0, 0),
    RGB(0x80, 0, 0), RGB(0xE0, 0xE0, 0xE0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80), RGB(0xFF, 0xFF, 0x00),
    RGB(0x64, 0x64, 0x64), RGB(0x9B, 0x9B, 0x9B), RGB(0x48, 0x48, 0x48)};
StandinEditor* activeEditor = nullptr;
WNDPROC editControlProc = nullptr;

// The selection of the text area: from its start to its end, where the caret is.
struct Selection {
    DWORD start = 0;
    DWORD end = 0;
};
Selection selectionOf(HWND textArea)
{
    Selection selection;
    SendMessageW(
        textArea, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start), reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

// The line holding a character: its first character and its length, line end left out.
std::pair<size_t, size_t> lineAround(HWND textArea, DWORD character)
{
    LRESULT line = SendMessageW(textArea, EM_LINEFROMCHAR, character, 0);
    size_t first = static_cast<size_t>(SendMessageW(textArea, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return {first, static_cast<size_t>(SendMessageW(textArea, EM_LINELENGTH, first, 0))};
}

std::wstring windowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

// The text area's text with its positions as the editor's view counts them: bytes of UTF-8, while
// the text area counts UTF-16 units.
class ViewText {
public:
    explicit ViewText(HWND view)
        : text_(windowText(view))
        , bytes_(text_.size() + 1, 0)
    {
        for (size_t i = 0; i < text_.size(); ++i) {
            wchar_t c = text_[i];
            size_t size = c < 0x80 ? 1 : c < 0x800 ? 2 : IS_HIGH_SURROGATE(c) ? 4 : IS_LOW_SURROGATE(c) ? 0 : 3;
            bytes_[i + 1] = bytes_[i] + size;
        }
    }
    LRESULT position(size_t index) const
    {
        return static_cast<LRESULT>(bytes_[index < bytes_.size() ? index : bytes_.size() - 1]);
    }
    // The first unit at or after a byte position.
    size_t index(LRESULT position) const
    {
        size_t i = 0;
        while (i < text_.size() && static_cast<LRESULT>(bytes_[i]) < position)
            ++i;
        return i;
    }
    // Moved on by characters, a surrogate pair being one; 0 past the end, as the view answers.
    LRESULT moved(LRESULT from, LPARAM characters) const
    {
        size_t i = index(from);
        for (LPARAM step = 0; step < characters; ++step) {
            if (i >= text_.size())
                return 0;
            i += IS_HIGH_SURROGATE(text_[i]) && i + 1 < text_.size() ? 2 : 1;
        }
        return position(i);
    }

private:
    std::wstring text_;
    std::vector<size_t> bytes_;
};

// The editing view's messages the plug-ins send: the text area answers them as the editor's view
// does. False for any other message.
bool answerViewMessage(HWND view, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    auto edit = [view](UINT editMessage, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(view, editMessage, w, l); };
    Selection selection = selectionOf(view);
    switch (message) {
    case SCI_GETCURRENTPOS:
        result = ViewText(view).position(selection.end);
        return true;
    case SCI_GETSELECTIONEMPTY:
        result = selection.start == selection.end;
        return true;
    case SCI_GETLINECOUNT:
        result = edit(EM_GETLINECOUNT);
        return true;
    case SCI_POSITIONFROMLINE: {
        LRESULT index = static_cast<LRESULT>(wParam) < edit(EM_GETLINECOUNT) ? edit(EM_LINEINDEX, wParam) : -1;
        result = index < 0 ? -1 : ViewText(view).position(static_cast<size_t>(index));
        return true;
    }
    case SCI_LINEFROMPOSITION:
        result = edit(EM_LINEFROMCHAR, ViewText(view).index(static_cast<LRESULT>(wParam)));
        return true;
    case SCI_GETLINEENDPOSITION: {
        LRESULT index = edit(EM_LINEINDEX, wParam);
        result = index < 0
            ? -1
            : ViewText(view).position(static_cast<size_t>(index + edit(EM_LINELENGTH, static_cast<WPARAM>(index))));
        return true;
    }
    case SCI_POSITIONRELATIVE:
        result = ViewText(view).moved(static_cast<LRESULT>(wParam), lParam);
        return true;
    case SCI_GOTOPOS: {
        size_t index = ViewText(view).index(static_cast<LRESULT>(wParam));
        edit(EM_SETSEL, index, static_cast<LPARAM>(index));
        edit(EM_SCROLLCARET);
        result = 0;
        return true;
    }
    case SCI_ENSUREVISIBLE: // nothing folds here
        result = 0;
        return true;
    case SCI_SCROLLCARET:
        edit(EM_SCROLLCARET);
        result = 0;
        return true;
    }
    return false;
}

// The editing view leaves its context menu to the main window, as the editor's view does.
LRESULT CALLBACK textAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CONTEXTMENU)
        return SendMessageW(GetParent(window), message, wParam, lParam);
    LRESULT result = 0;
    if (answerViewMessage(window, message, wParam, lParam, result))
        return result;
    return CallWindowProcW(editControlProc, window, message, wParam, lParam);
}

HMENU makeMainMenu()
{
    HMENU menuBar = CreateMenu();
    HMENU fileMenu = CreatePopupMenu();
    AppendMenuW(fileMenu, MF_STRING, IDM_FILE_EXIT, L"E&xit");
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu), L"&File");
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&Plugins");
    HMENU helpMenu = CreatePopupMenu();
    AppendMenuW(helpMenu, MF_STRING, IDM_ABOUT, L"About the stand-in editor");
    AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(helpMenu), L"&?");
    return menuBar;
}

HMENU subMenuByCaption(HMENU menu, const wchar_t* caption)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[256] = L"";
        GetMenuStringW(menu, position, text, _countof(text), MF_BYPOSITION);
        if (wcscmp(text, caption) == 0)
            return GetSubMenu(menu, position);
    }
    return nullptr;
}

// The editor's default context menu of the editing view, as the editor shows it.
struct MenuEntry {
    UINT id;
    const wchar_t* caption; // null: a separator
    const struct MenuEntry* subMenu = nullptr;
    size_t subMenuSize = 0;
};
const MenuEntry styleAllTokens[] = {{43022, L"Using 1st Style"}, {43024, L"Using 2nd Style"},
    {43026, L"Using 3rd Style"}, {43028, L"Using 4th Style"}, {43030, L"Using 5th Style"}};
const MenuEntry styleOneToken[] = {{43062, L"Using 1st Style"}, {43063, L"Using 2nd Style"},
    {43064, L"Using 3rd Style"}, {43065, L"Using 4th Style"}, {43066, L"Using 5th Style"}};
const MenuEntry clearStyle[] = {{43023, L"Clear 1st Style"}, {43025, L"Clear 2nd Style"}, {43027, L"Clear 3rd Style"},
    {43029, L"Clear 4th Style"}, {43031, L"Clear 5th Style"}, {43032, L"Clear all Styles"}};
const MenuEntry defaultContextMenu[] = {
    {IDM_EDIT_CUT, L"Cut"},
    {IDM_EDIT_COPY, L"Copy"},
    {IDM_EDIT_PASTE, L"Paste"},
    {IDM_EDIT_DELETE, L"Delete"},
    {42007, L"Select All"},
    {42020, L"Begin/End Select"},
    {42089, L"Begin/End Select in Column Mode"},
    {0, nullptr},
    {0, L"Style all occurrences of token", styleAllTokens, _countof(styleAllTokens)},
    {0, L"Style one token", styleOneToken, _countof(styleOneToken)},
    {0, L"Clear style", clearStyle, _countof(clearStyle)},
    {0, nullptr},
    {IDM_EDIT_UPPERCASE, L"UPPERCASE"},
    {IDM_EDIT_LOWERCASE, L"lowercase"},
    {0, nullptr},
    {42073, L"Open File"},
    {42075, L"Search on Internet"},
    {0, nullptr},
    {42022, L"Toggle Single Line Comment"},
    {42023, L"Block Comment"},
    {42047, L"Block Uncomment"},
    {0, nullptr},
    {44042, L"Hide Lines"},
};

void appendEntries(HMENU menu, const MenuEntry* entries, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const MenuEntry& entry = entries[i];
        if (entry.caption == nullptr) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else if (entry.subMenu != nullptr) {
            HMENU sub = CreatePopupMenu();
            appendEntries(sub, entry.subMenu, entry.subMenuSize);
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), entry.caption);
        } else {
            AppendMenuW(menu, MF_STRING, entry.id, entry.caption);
        }
    }
}

std::wstring fileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring shortcutText(const ShortcutKey& key)
{
    std::wstring text;
    if (key._isCtrl)
        text += L"Ctrl+";
    if (key._isAlt)
        text += L"Alt+";
    if (key._isShift)
        text += L"Shift+";
    if (key._key >= VK_F1 && key._key <= VK_F24)
        text += L"F" + std::to_wstring(key._key - VK_F1 + 1);
    else
        text += static_cast<wchar_t>(key._key);
    return text;
}
} // namespace

void holdEditorSystemLibraries()
{
    // The editor's import table (x86 and x64 alike), less the ones every program here has.
    static const wchar_t* const libraries[]
        = {L"comctl32.dll", L"advapi32.dll", L"bcrypt.dll", L"comdlg32.dll", L"crypt32.dll", L"dbghelp.dll",
            L"dwmapi.dll", L"gdi32.dll", L"imm32.dll", L"msimg32.dll", L"ole32.dll", L"oleaut32.dll", L"sensapi.dll",
            L"shell32.dll", L"shlwapi.dll", L"uxtheme.dll", L"version.dll", L"wininet.dll", L"wintrust.dll"};
    static bool held = false;
    if (held)
        return;
    held = true;
    for (const wchar_t* library : libraries)
        LoadLibraryW(library);
}

void DocumentModel::open(const std::wstring& path)
{
    fullPath = path;
    size_t slash = path.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"" : path.substr(0, slash);
    fileName = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = fileName.find_last_of(L'.');
    namePart = dot == std::wstring::npos ? fileName : fileName.substr(0, dot);
    extPart = dot == std::wstring::npos ? L"" : fileName.substr(dot);
}

StandinEditor::StandinEditor()
{
    holdEditorSystemLibraries();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = mainWindowClass;
    RegisterClassExW(&windowClass);
    activeEditor = this;
    main_ = CreateWindowExW(0, mainWindowClass, L"Stand-in editor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
        640, 420, nullptr, makeMainMenu(), GetModuleHandleW(nullptr), nullptr);
    textArea_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL, 0, 0, 620, 360, main_,
        nullptr, GetModuleHandleW(nullptr), nullptr);
    // The editor's status bar, whose first field plug-ins may write.
    InitCommonControls();
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, main_,
        nullptr, GetModuleHandleW(nullptr), nullptr);
    int fieldEnds[statusFieldCount];
    for (int i = 0; i < statusFieldCount; ++i)
        fieldEnds[i] = i + 1 < statusFieldCount ? 100 * (i + 1) : -1;
    SendMessageW(statusBar_, SB_SETPARTS, statusFieldCount, reinterpret_cast<LPARAM>(fieldEnds));
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Normal text file"));
    SendMessageW(textArea_, EM_SETLIMITTEXT, 0, 0);
    editControlProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(textArea_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(textAreaProc)));
    document.editorFolder = L"C:\\Program Files\\Notepad++";
}

StandinEditor::~StandinEditor()
{
    unloadPlugins();
    contextMenu_.reset();
    accelerators_.reset();
    DestroyWindow(main_);
    pumpMessages();
    activeEditor = nullptr;
}

HMENU StandinEditor::mainMenu() const
{
    return GetMenu(main_);
}

HMENU StandinEditor::pluginsMenu() const
{
    return subMenuByCaption(mainMenu(), L"&Plugins");
}

HMENU StandinEditor::helpMenu() const
{
    return subMenuByCaption(mainMenu(), L"&?");
}

NppData StandinEditor::nppData() const
{
    return NppData{main_, textArea_, textArea_};
}

std::wstring StandinEditor::loadPlugins(std::vector<std::wstring> libraryPaths)
{
    std::stable_sort(libraryPaths.begin(), libraryPaths.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(fileNameOf(a).c_str(), fileNameOf(b).c_str()) < 0;
    });
    size_t first = plugins_.size();
    std::wstring problem;
    for (const std::wstring& path : libraryPaths) {
        std::wstring failure = attachPlugin(path);
        if (problem.empty())
            problem = failure;
    }
    // Copied first: a plug-in's notification may load or unload nothing, but the list is ours.
    std::vector<LoadedPlugin> loaded(plugins_.begin() + static_cast<long>(first), plugins_.end());
    for (const LoadedPlugin& plugin : loaded)
        notify(plugin, NPPN_TBMODIFICATION, main_);
    for (const LoadedPlugin& plugin : loaded)
        notify(plugin, NPPN_READY, main_);
    return problem;
}

std::wstring StandinEditor::attachPlugin(const std::wstring& libraryPath)
{
    LoadedPlugin plugin;
    plugin.path = libraryPath;
    // Freed again unless the plug-in is taken in.
    UniqueLibrary library(LoadLibraryW(libraryPath.c_str()));
    if (!library)
        return L"cannot load " + libraryPath + L" (error " + std::to_wstring(GetLastError()) + L")";
    plugin.module = library.get();
    auto setInfo = libraryEntry<void (*)(NppData)>(plugin.module, "setInfo");
    auto getName = libraryEntry<const wchar_t* (*)()>(plugin.module, "getName");
    auto getFuncsArray = libraryEntry<FuncItem* (*)(int*)>(plugin.module, "getFuncsArray");
    plugin.beNotified = libraryEntry<void (*)(SCNotification*)>(plugin.module, "beNotified");
    auto isUnicode = libraryEntry<BOOL (*)()>(plugin.module, "isUnicode");
    bool hasMessageProc = GetProcAddress(plugin.module, "messageProc") != nullptr;
    if (!setInfo || !getName || !getFuncsArray || !plugin.beNotified || !isUnicode || !hasMessageProc)
        return L"missing plug-in entries in " + libraryPath;
    if (!isUnicode())
        return L"not a Unicode plug-in: " + libraryPath;
    library.release();
    setInfo(nppData());
    plugin.name = getName();
    plugin.items = getFuncsArray(&plugin.itemCount);
    plugin.menu = CreatePopupMenu();
    for (int i = 0; i < plugin.itemCount; ++i) {
        FuncItem& item = plugin.items[i];
        if (item._itemName[0] == L'\0' && item._pFunc == nullptr) {
            AppendMenuW(plugin.menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        item._cmdID = nextCommandId_++;
        std::wstring caption = item._itemName;
        if (item._pShKey != nullptr && item._pShKey->_key != 0) {
            caption += L"\t" + shortcutText(*item._pShKey);
            BYTE flags = FVIRTKEY;
            if (item._pShKey->_isCtrl)
                flags |= FCONTROL;
            if (item._pShKey->_isAlt)
                flags |= FALT;
            if (item._pShKey->_isShift)
                flags |= FSHIFT;
            acceleratorKeys_.push_back(ACCEL{flags, item._pShKey->_key, static_cast<WORD>(item._cmdID)});
        }
        AppendMenuW(plugin.menu, MF_STRING | (item._init2Check ? MF_CHECKED : 0), item._cmdID, caption.c_str());
    }
    AppendMenuW(pluginsMenu(), MF_POPUP, reinterpret_cast<UINT_PTR>(plugin.menu), plugin.name.c_str());
    DrawMenuBar(main_);
    rebuildAccelerators();
    plugins_.push_back(plugin);
    return L"";
}

void StandinEditor::unloadPlugins(bool shutdownFirst)
{
    // As the editor closes: every plug-in hears of the shutdown before any is unloaded, then the
    // editor frees the libraries in the order it loaded them.
    if (shutdownFirst)
        for (const LoadedPlugin& plugin : plugins_)
            notify(plugin, NPPN_SHUTDOWN, main_);
    while (!plugins_.empty())
        unloadPlugin(plugins_.front().name);
    acceleratorKeys_.clear();
    rebuildAccelerators();
}

bool StandinEditor::unloadPlugin(const std::wstring& name)
{
    for (auto plugin = plugins_.begin(); plugin != plugins_.end(); ++plugin) {
        if (plugin->name != name)
            continue;
        UniqueLibrary library(plugin->module);
        HMENU pluginMenu = plugin->menu;
        plugins_.erase(plugin);
        library.reset();
        HMENU menu = pluginsMenu();
        for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position)
            if (GetSubMenu(menu, position) == pluginMenu)
                DeleteMenu(menu, position, MF_BYPOSITION);
        return true;
    }
    return false;
}

int StandinEditor::commandId(const std::wstring& pluginName, int index) const
{
    for (const LoadedPlugin& plugin : plugins_)
        if (plugin.name == pluginName && index >= 0 && index < plugin.itemCount)
            return plugin.items[index]._cmdID;
    return 0;
}

void StandinEditor::notify(const LoadedPlugin& plugin, UINT code, HWND from)
{
    SCNotification notification = {};
    notification.nmhdr.hwndFrom = from;
    notification.nmhdr.idFrom = 0;
    notification.nmhdr.code = code;
    plugin.beNotified(&notification);
}

void StandinEditor::rebuildAccelerators()
{
    accelerators_.reset(acceleratorKeys_.empty()
            ? nullptr
            : CreateAcceleratorTableW(acceleratorKeys_.data(), static_cast<int>(acceleratorKeys_.size())));
}

LRESULT StandinEditor::runCommand(UINT id)
{
    return SendMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool StandinEditor::pressShortcut(bool ctrl, bool alt, bool shift, WORD key)
{
    BYTE wanted = FVIRTKEY | (ctrl ? FCONTROL : 0) | (alt ? FALT : 0) | (shift ? FSHIFT : 0);
    for (const ACCEL& accel : acceleratorKeys_) {
        if (accel.key == key && accel.fVirt == wanted) {
            // An accelerator reaches the window as a WM_COMMAND whose high word is 1.
            SendMessageW(main_, WM_COMMAND, MAKEWPARAM(accel.cmd, 1), 0);
            return true;
        }
    }
    return false;
}

HMENU StandinEditor::openContextMenu()
{
    announcePopup(buildContextMenu());
    return contextMenu_.get();
}

HMENU StandinEditor::buildContextMenu()
{
    contextMenu_.reset(CreatePopupMenu());
    appendEntries(contextMenu_.get(), defaultContextMenu, _countof(defaultContextMenu));
    return contextMenu_.get();
}

void StandinEditor::announcePopup(HMENU menu)
{
    SendMessageW(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
}

void StandinEditor::pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (accelerators_ && TranslateAcceleratorW(main_, accelerators_.get(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void StandinEditor::runMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators_ && TranslateAcceleratorW(main_, accelerators_.get(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool StandinEditor::showDocument(const std::wstring& path)
{
    std::string bytes;
    {
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file)
            return false;
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0 && bytes.size() < (1u << 20))
            bytes.append(chunk, read);
    }
    // UTF-8 when it reads as such, as the editor finds; else a byte for each character.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    std::wstring decoded(bytes.size(), L'\0');
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
        &decoded[0], static_cast<int>(decoded.size()));
    if (length > 0 || bytes.empty()) {
        decoded.resize(static_cast<size_t>(length));
    } else {
        decoded.clear();
        for (char c : bytes)
            decoded += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    std::wstring text;
    for (wchar_t c : decoded) {
        if (c == L'\n' && (text.empty() || text.back() != L'\r'))
            text += L'\r';
        text += c;
    }
    SetWindowTextW(textArea_, text.c_str());
    document.open(path);
    return true;
}

std::wstring StandinEditor::textAreaText() const
{
    return windowText(textArea_);
}

std::wstring StandinEditor::wordAtCaret(bool selectIt)
{
    std::wstring text = textAreaText();
    Selection selection = selectionOf(textArea_);
    size_t start = selection.start < text.size() ? selection.start : text.size();
    size_t end = selection.end < text.size() ? selection.end : text.size();
    if (start < end)
        return text.substr(start, end - start);
    auto isWordCharacter = [](wchar_t c) { return iswalnum(c) || c == L'_'; };
    size_t from = start;
    size_t to = start;
    while (from > 0 && isWordCharacter(text[from - 1]))
        --from;
    while (to < text.size() && isWordCharacter(text[to]))
        ++to;
    if (selectIt)
        select(static_cast<int>(from), static_cast<int>(to));
    return text.substr(from, to - from);
}

std::wstring StandinEditor::nameAtCaretOfTextArea() const
{
    std::wstring text = textAreaText();
    Selection selection = selectionOf(textArea_);
    size_t end = selection.end < text.size() ? selection.end : text.size();
    std::wstring selected = text.substr(selection.start, end > selection.start ? end - selection.start : 0);
    if (selected.find_first_of(L"/\\") != std::wstring::npos)
        return selected;
    // Bounded as measured in the editor: ")", "]" and ":" end a name but don't start one.
    const wchar_t* bounds = L" \t\"[(<>\r\n";
    const wchar_t* endBounds = L" \t\"[(<>\r\n)]:";
    size_t from = end;
    while (from > 0 && wcschr(bounds, text[from - 1]) == nullptr)
        --from;
    size_t to = end;
    while (to < text.size() && wcschr(endBounds, text[to]) == nullptr)
        ++to;
    return text.substr(from, to - from);
}

std::wstring StandinEditor::lineAtCaret() const
{
    std::wstring text = textAreaText();
    std::pair<size_t, size_t> line = lineAround(textArea_, selectionOf(textArea_).end);
    // The line's end goes with it.
    size_t after = line.first + line.second;
    while (
        after < text.size() && after < line.first + line.second + 2 && (text[after] == L'\r' || text[after] == L'\n'))
        ++after;
    return text.substr(line.first, after - line.first);
}

void StandinEditor::select(int from, int to)
{
    SendMessageW(textArea_, EM_SETSEL, static_cast<WPARAM>(from), to);
}

StandinEditor::Place StandinEditor::caretPlace() const
{
    std::wstring text = textAreaText();
    DWORD caret = selectionOf(textArea_).end;
    size_t first = lineAround(textArea_, caret).first;
    int column = 1;
    for (size_t i = first; i < caret && i < text.size(); ++i)
        column += IS_LOW_SURROGATE(text[i]) ? 0 : 1;
    return Place{static_cast<int>(SendMessageW(textArea_, EM_LINEFROMCHAR, caret, 0)) + 1, column};
}

void StandinEditor::switchDarkMode(bool dark)
{
    document.look = dark ? EditorLook::dark : EditorLook::light;
    for (const LoadedPlugin& plugin : plugins_)
        notify(plugin, NPPN_DARKMODECHANGED, main_);
}

std::wstring StandinEditor::statusText(int field) const
{
    wchar_t text[512] = L"";
    if (LOWORD(SendMessageW(statusBar_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(field), 0)) < _countof(text))
        SendMessageW(statusBar_, SB_GETTEXTW, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(text));
    return text;
}

size_t StandinEditor::requestCount(UINT message) const
{
    return static_cast<size_t>(std::count_if(
        requests.begin(), requests.end(), [message](const EditorRequest& r) { return r.message == message; }));
}

LRESULT CALLBACK StandinEditor::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (activeEditor != nullptr && activeEditor->main_ == window)
        return activeEditor->onMessage(message, wParam, lParam);
    if (activeEditor != nullptr && activeEditor->main_ == nullptr && message == WM_NCCREATE)
        activeEditor->main_ = window;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A request without a stated capacity is answered as the editor answers path requests: up to 260.
LRESULT StandinEditor::answer(const std::wstring& value, UINT message, WPARAM capacity, LPARAM buffer)
{
    requests.push_back(EditorRequest{message, capacity});
    if (document.unanswered.count(message) != 0 || buffer == 0)
        return FALSE;
    size_t room = capacity != 0 ? capacity : MAX_PATH;
    if (value.size() >= room)
        return FALSE;
    std::copy(value.c_str(), value.c_str() + value.size() + 1, reinterpret_cast<wchar_t*>(buffer));
    return TRUE;
}

LRESULT StandinEditor::answerLook(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool dark = document.look == EditorLook::dark;
    switch (message) {
    case NPPM_GETNPPVERSION:
        return currentEditorVersion;
    case NPPM_ISDARKMODEENABLED:
        return dark;
    case NPPM_GETDARKMODECOLORS:
        if (wParam != sizeof(DarkModeColors) || lParam == 0)
            return FALSE;
        *reinterpret_cast<DarkModeColors*>(lParam) = darkColors;
        return TRUE;
    case NPPM_DARKMODESUBCLASSANDTHEME:
        themeRequests.push_back(ThemeRequest{reinterpret_cast<HWND>(lParam), wParam});
        return static_cast<LRESULT>(wParam & themeFlagsApplied);
    case NPPM_GETTOOLBARICONSETCHOICE:
        return document.toolbarIconSet;
    case NPPM_ADDTOOLBARICON_FORDARKMODE: {
        auto* faces = reinterpret_cast<const toolbarIconsWithDarkMode*>(lParam);
        toolbarButtons.push_back(ToolbarButton{
            static_cast<int>(wParam), faces->hToolbarBmp, faces->hToolbarIcon, faces->hToolbarIconDarkMode, message});
        return TRUE;
    }
    }
    return 0;
}

LRESULT StandinEditor::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case NPPM_GETFULLCURRENTPATH:
        return answer(document.fullPath, message, wParam, lParam);
    case NPPM_GETCURRENTDIRECTORY:
        return answer(document.folder, message, wParam, lParam);
    case NPPM_GETFILENAME:
        return answer(document.fileName, message, wParam, lParam);
    case NPPM_GETNAMEPART:
        return answer(document.namePart, message, wParam, lParam);
    case NPPM_GETEXTPART:
        return answer(document.extPart, message, wParam, lParam);
    case NPPM_GETCURRENTWORD:
        return answer(wordFromTextArea ? wordAtCaret(true) : document.currentWord, message, wParam, lParam);
    case NPPM_GETFILENAMEATCURSOR:
        if (wordFromTextArea)
            return answer(nameAtCaretOfTextArea(), message, wParam, lParam);
        return answer(
            document.nameAtCaret.empty() ? document.currentWord : document.nameAtCaret, message, wParam, lParam);
    case NPPM_GETCURRENTLINESTR:
        return answer(wordFromTextArea ? lineAtCaret() : document.currentLine, message, wParam, lParam);
    case NPPM_GETCURRENTSCINTILLA:
        // One view, the main one.
        requests.push_back(EditorRequest{message, wParam});
        if (lParam != 0)
            *reinterpret_cast<int*>(lParam) = 0;
        return TRUE;
    case NPPM_GETNPPDIRECTORY:
        return answer(document.editorFolder, message, wParam, lParam);
    case NPPM_GETPLUGINSCONFIGDIR:
        return answer(document.configFolder, message, wParam, lParam);
    case NPPM_DOOPEN:
        requests.push_back(EditorRequest{message, wParam});
        openedFiles.push_back(reinterpret_cast<const wchar_t*>(lParam));
        if (showOpenedFiles)
            return showDocument(openedFiles.back());
        return TRUE;
    case NPPM_SETSTATUSBAR:
        requests.push_back(EditorRequest{message, wParam});
        if (wParam >= statusFieldCount || lParam == 0)
            return FALSE;
        statusTexts.push_back(reinterpret_cast<const wchar_t*>(lParam));
        SendMessageW(statusBar_, SB_SETTEXTW, wParam, lParam);
        return TRUE;
    case NPPM_ADDTOOLBARICON: {
        requests.push_back(EditorRequest{message, wParam});
        auto* icons = reinterpret_cast<const toolbarIcons*>(lParam);
        toolbarButtons.push_back(ToolbarButton{static_cast<int>(wParam), icons->hToolbarBmp, icons->hToolbarIcon});
        return TRUE;
    }
    case NPPM_GETNPPVERSION:
    case NPPM_ISDARKMODEENABLED:
    case NPPM_GETDARKMODECOLORS:
    case NPPM_DARKMODESUBCLASSANDTHEME:
    case NPPM_GETTOOLBARICONSETCHOICE:
    case NPPM_ADDTOOLBARICON_FORDARKMODE:
        requests.push_back(EditorRequest{message, wParam});
        // An editor from before these messages leaves them to the default procedure: 0.
        if (document.look == EditorLook::unanswered)
            return DefWindowProcW(main_, message, wParam, lParam);
        return answerLook(message, wParam, lParam);
    case WM_COMMAND: {
        UINT id = LOWORD(wParam);
        for (const LoadedPlugin& plugin : plugins_)
            for (int i = 0; i < plugin.itemCount; ++i)
                if (plugin.items[i]._cmdID == static_cast<int>(id) && plugin.items[i]._pFunc != nullptr) {
                    plugin.items[i]._pFunc();
                    return 0;
                }
        hostCommands.push_back(id);
        if (id == IDM_FILE_EXIT)
            DestroyWindow(main_);
        return 0;
    }
    case WM_DESTROY:
        if (quitWhenClosed)
            PostQuitMessage(0);
        return 0;
    case WM_SIZE: {
        SendMessageW(statusBar_, WM_SIZE, 0, 0);
        RECT status = {};
        GetWindowRect(statusBar_, &status);
        int height = HIWORD(lParam) - (status.bottom - status.top);
        MoveWindow(textArea_, 0, 0, LOWORD(lParam), height > 0 ? height : 0, TRUE);
        return 0;
    }
    case WM_CONTEXTMENU:
        // Showing the menu announces it to the main window with WM_INITMENUPOPUP.
        TrackPopupMenu(buildContextMenu(), TPM_RIGHTBUTTON, static_cast<short>(LOWORD(lParam)),
            static_cast<short>(HIWORD(lParam)), 0, main_, nullptr);
        return 0;
    default:
        return DefWindowProcW(main_, message, wParam, lParam);
    }
}
