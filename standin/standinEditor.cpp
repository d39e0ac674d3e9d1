#include "standinEditor.h"

#include <algorithm>
#include <cwctype>

namespace {
const wchar_t mainWindowClass[] = L"StandinEditorMain";
StandinEditor* activeEditor = nullptr;
WNDPROC editControlProc = nullptr;

// The editing view leaves its context menu to the main window, as the editor's view does.
LRESULT CALLBACK textAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CONTEXTMENU)
        return SendMessageW(GetParent(window), message, wParam, lParam);
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
    editControlProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(textArea_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(textAreaProc)));
    document.editorFolder = L"C:\\Program Files\\Notepad++";
}

StandinEditor::~StandinEditor()
{
    unloadPlugins();
    if (contextMenu_ != nullptr)
        DestroyMenu(contextMenu_);
    if (accelerators_ != nullptr)
        DestroyAcceleratorTable(accelerators_);
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

std::wstring StandinEditor::loadPlugin(const std::wstring& libraryPath)
{
    LoadedPlugin plugin;
    plugin.path = libraryPath;
    plugin.module = LoadLibraryW(libraryPath.c_str());
    if (plugin.module == nullptr)
        return L"cannot load " + libraryPath + L" (error " + std::to_wstring(GetLastError()) + L")";
    auto setInfo = libraryEntry<void (*)(NppData)>(plugin.module, "setInfo");
    auto getName = libraryEntry<const wchar_t* (*)()>(plugin.module, "getName");
    auto getFuncsArray = libraryEntry<FuncItem* (*)(int*)>(plugin.module, "getFuncsArray");
    plugin.beNotified = libraryEntry<void (*)(SCNotification*)>(plugin.module, "beNotified");
    auto isUnicode = libraryEntry<BOOL (*)()>(plugin.module, "isUnicode");
    bool hasMessageProc = GetProcAddress(plugin.module, "messageProc") != nullptr;
    if (!setInfo || !getName || !getFuncsArray || !plugin.beNotified || !isUnicode || !hasMessageProc) {
        FreeLibrary(plugin.module);
        return L"missing plug-in entries in " + libraryPath;
    }
    if (!isUnicode()) {
        FreeLibrary(plugin.module);
        return L"not a Unicode plug-in: " + libraryPath;
    }
    setInfo(nppData());
    plugin.name = getName();
    plugin.items = getFuncsArray(&plugin.itemCount);
    plugin.menu = CreatePopupMenu();
    for (int i = 0; i < plugin.itemCount; ++i) {
        FuncItem& item = plugin.items[i];
        item._cmdID = nextCommandId_++;
        if (item._itemName[0] == L'\0' && item._pFunc == nullptr) {
            AppendMenuW(plugin.menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
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
    notify(plugin, NPPN_TBMODIFICATION, main_);
    notify(plugin, NPPN_READY, main_);
    return L"";
}

void StandinEditor::unloadPlugins(bool shutdownFirst)
{
    // As the editor closes: every plug-in hears of the shutdown before any is unloaded.
    if (shutdownFirst)
        for (const LoadedPlugin& plugin : plugins_)
            notify(plugin, NPPN_SHUTDOWN, main_);
    while (!plugins_.empty()) {
        LoadedPlugin plugin = plugins_.back();
        plugins_.pop_back();
        FreeLibrary(plugin.module);
        HMENU menu = pluginsMenu();
        for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position)
            if (GetSubMenu(menu, position) == plugin.menu)
                DeleteMenu(menu, position, MF_BYPOSITION);
    }
    acceleratorKeys_.clear();
    rebuildAccelerators();
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
    if (accelerators_ != nullptr)
        DestroyAcceleratorTable(accelerators_);
    accelerators_ = acceleratorKeys_.empty()
        ? nullptr
        : CreateAcceleratorTableW(acceleratorKeys_.data(), static_cast<int>(acceleratorKeys_.size()));
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
    return contextMenu_;
}

HMENU StandinEditor::buildContextMenu()
{
    if (contextMenu_ != nullptr)
        DestroyMenu(contextMenu_);
    contextMenu_ = CreatePopupMenu();
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_CUT, L"Cut");
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_COPY, L"Copy");
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_PASTE, L"Paste");
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_DELETE, L"Delete");
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_SELECTALL, L"Select All");
    AppendMenuW(contextMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_UPPERCASE, L"UPPERCASE");
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_LOWERCASE, L"lowercase");
    AppendMenuW(contextMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_HIDELINES, L"Hide lines");
    AppendMenuW(contextMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_BLOCK_COMMENT, L"toggle block comment");
    AppendMenuW(contextMenu_, MF_STRING, IDM_EDIT_STREAM_COMMENT, L"stream comment");
    return contextMenu_;
}

void StandinEditor::announcePopup(HMENU menu)
{
    SendMessageW(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
}

void StandinEditor::pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (accelerators_ != nullptr && TranslateAcceleratorW(main_, accelerators_, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void StandinEditor::runMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators_ != nullptr && TranslateAcceleratorW(main_, accelerators_, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool StandinEditor::showDocument(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0 && bytes.size() < (1u << 20))
        bytes.append(chunk, read);
    CloseHandle(file);
    std::wstring text;
    for (char c : bytes) {
        if (c == '\n' && (text.empty() || text.back() != L'\r'))
            text += L'\r';
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    SetWindowTextW(textArea_, text.c_str());
    document.open(path);
    return true;
}

std::wstring StandinEditor::wordAtCaret() const
{
    int length = GetWindowTextLengthW(textArea_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(textArea_, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(textArea_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end > text.size())
        end = static_cast<DWORD>(text.size());
    if (start < end)
        return text.substr(start, end - start);
    auto isWordCharacter = [](wchar_t c) { return iswalnum(c) || c == L'_'; };
    size_t from = start;
    size_t to = start;
    while (from > 0 && isWordCharacter(text[from - 1]))
        --from;
    while (to < text.size() && isWordCharacter(text[to]))
        ++to;
    return text.substr(from, to - from);
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
        return answer(wordFromTextArea ? wordAtCaret() : document.currentWord, message, wParam, lParam);
    case NPPM_GETNPPDIRECTORY:
        return answer(document.editorFolder, message, wParam, lParam);
    case NPPM_GETPLUGINSCONFIGDIR:
        return answer(document.configFolder, message, wParam, lParam);
    case NPPM_DOOPEN:
        requests.push_back(EditorRequest{message, wParam});
        openedFiles.push_back(reinterpret_cast<const wchar_t*>(lParam));
        return TRUE;
    case NPPM_ADDTOOLBARICON: {
        requests.push_back(EditorRequest{message, wParam});
        auto* icons = reinterpret_cast<const toolbarIcons*>(lParam);
        toolbarButtons.push_back(ToolbarButton{static_cast<int>(wParam), icons->hToolbarBmp, icons->hToolbarIcon});
        return TRUE;
    }
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
    case WM_SIZE:
        MoveWindow(textArea_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_CONTEXTMENU:
        // Showing the menu announces it to the main window with WM_INITMENUPOPUP.
        TrackPopupMenu(buildContextMenu(), TPM_RIGHTBUTTON, static_cast<short>(LOWORD(lParam)),
            static_cast<short>(HIWORD(lParam)), 0, main_, nullptr);
        return 0;
    default:
        return DefWindowProcW(main_, message, wParam, lParam);
    }
}
