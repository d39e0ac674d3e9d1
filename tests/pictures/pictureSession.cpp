// Renders the pictures of the user guide: both Options dialogs, both entry editors, Wordlamp's
// entries in the help menu and the context menu with both plug-ins' items. Each window is copied
// from the screen into a BMP file; run it on a real display (scripts/pictures.sh uses Xvfb).
//
//   pictureSession <plug-in folder> <output folder>
#include "dialogDriver.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <cstdio>

namespace {
std::wstring outputFolder;
int failures = 0;

// Lets the window and everything on the screen finish painting.
void settle(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(50);
    }
}

bool saveScreenArea(const RECT& area, const std::wstring& name)
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
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    bytes.append(static_cast<const char*>(bits), imageSize);
    writeFileBytes(outputFolder + L"\\" + name + L".bmp", bytes);
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    wprintf(L"   %ls: %d x %d\n", name.c_str(), width, height);
    return true;
}

void saveWindow(HWND window, const std::wstring& name)
{
    settle(window);
    RECT area;
    GetWindowRect(window, &area);
    if (!saveScreenArea(area, name))
        ++failures;
}

// A menu shown with TrackPopupMenu is copied while it is open, then closed.
std::wstring pendingMenuPicture;
void CALLBACK captureOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (menuWindow == nullptr) {
        ++failures;
    } else {
        settle(menuWindow);
        RECT area;
        GetWindowRect(menuWindow, &area);
        if (!saveScreenArea(area, pendingMenuPicture))
            ++failures;
    }
    EndMenu();
}

void showMenu(StandinEditor& editor, HMENU menu, const std::wstring& name)
{
    pendingMenuPicture = name;
    RECT frame;
    GetWindowRect(editor.mainWindow(), &frame);
    SetForegroundWindow(editor.mainWindow());
    SetTimer(nullptr, 0, 600, captureOpenMenu);
    TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN, frame.left + 40, frame.top + 60, 0, editor.mainWindow(), nullptr);
}

// Menu icons stay off in the pictures: Wine's menus draw them over the first letter of the caption.
void writeSettings(const std::wstring& work, int helpMenuMode)
{
    const std::wstring config = programFolder() + L"\\Plugins\\Config";
    writeTextFile(config + L"\\Wordlamp.ini",
        L"[Options]\nHelpMenuMode=" + std::to_wstring(helpMenuMode)
            + L"\nHelpMenuSearchWord=1\nShowContextMenuEntry=1\nShowMenuIcons=0\n"
              L"[C runtime]\nMask=*.c;*.h\nFile=$nppdir$\\help\\crt.chm\nShow=1\n"
              L"[Win32 API]\nMask=*.cpp;*.hpp\nFile=C:\\Help\\win32.hlp\nShow=1\n"
              L"[PDF manual]\nMask=*.tex\nFile=C:\\Docs\\manual.pdf\nShow=0\n"
              L"[Web search]\nMask=*.txt;*.md\nFile=https://search.example.org/?q=$word$\nShow=1\n");
    writeTextFile(config + L"\\Pickpath.ini",
        L"[Options]\nShowContextMenuEntry=1\n"
        L"[C sources]\nMask=*.c;*.h\nPath="
            + work + L"\\include;!" + work
            + L"\\lib\nExt=.h\n"
              L"[Python]\nMask=*.py\nPath=!$dir$\\..;%PYTHONPATH%\nExt=.py\n");
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        fwprintf(stderr, L"usage: pictureSession <plug-in folder> <output folder>\n");
        return 2;
    }
    const std::wstring plugins = argv[1];
    outputFolder = argv[2];
    const std::wstring work = L"C:\\work";
    writeTextFile(programFolder() + L"\\doLocalConf.xml", L"", true);
    makeFolders(programFolder() + L"\\Plugins\\Config");

    wprintf(L"== Pictures into %ls\n", outputFolder.c_str());
    for (int helpMenuMode : {2, 3}) {
        writeSettings(work, helpMenuMode);
        StandinEditor editor;
        DialogDriver driver;
        editor.document.open(L"C:\\work\\src\\main.c");
        editor.document.currentWord = L"printf";
        ShowWindow(editor.mainWindow(), SW_SHOWNORMAL);
        settle(editor.mainWindow());
        for (const wchar_t* library : {L"Wordlamp.dll", L"Pickpath.dll"}) {
            std::wstring problem = editor.loadPlugin(plugins + L"\\" + library);
            if (!problem.empty()) {
                fwprintf(stderr, L"%ls\n", problem.c_str());
                return 1;
            }
        }
        if (helpMenuMode == 2) {
            showMenu(editor, editor.helpMenu(), L"wordlamp-help-menu");
            for (const wchar_t* plugin : {L"Wordlamp", L"Pickpath"}) {
                std::wstring prefix = plugin == std::wstring(L"Wordlamp") ? L"wordlamp" : L"pickpath";
                driver.then([prefix](HWND options) {
                    DialogDriver::selectRow(options, 10005, 0);
                    saveWindow(options, prefix + L"-options");
                    DialogDriver::click(options, 10004); // "Edit..." opens the entry editor
                    DialogDriver::click(options, IDCANCEL);
                });
                driver.then([prefix](HWND editorDialog) {
                    saveWindow(editorDialog, prefix + L"-entry-editor");
                    DialogDriver::click(editorDialog, IDCANCEL);
                });
                editor.runCommand(editor.commandId(plugin, 2));
            }
        } else {
            // Showing the context menu announces it, so both plug-ins add their items as they do in use.
            pendingMenuPicture = L"context-menu";
            RECT frame;
            GetWindowRect(editor.mainWindow(), &frame);
            SetTimer(nullptr, 0, 600, captureOpenMenu);
            SendMessageW(editor.mainWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(editor.textArea()),
                MAKELPARAM(frame.left + 40, frame.top + 60));
        }
        if (!driver.unexpectedDialogs.empty() || driver.pending() != 0)
            ++failures;
    }
    wprintf(failures == 0 ? L"All pictures taken.\n" : L"Some pictures failed.\n");
    return failures == 0 ? 0 : 1;
}
