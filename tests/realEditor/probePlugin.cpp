// A test plug-in loaded beside the plug-ins under test: it logs the plug-in messages sent to the
// editor's main window, the time from the editor's start to NPPN_READY, and then plays a scenario
// (see probeSteps.h). Pass or fail is decided outside, from its log and the editor's exit code.
#include "probeLog.h"
#include "probeSteps.h"

#include <shlwapi.h>
#include <strsafe.h>

namespace {
constexpr UINT NPPN_BEFORESHUTDOWN = 1019;
// The editor's plug-in messages: its own range, and the path and caret requests kept apart from it.
constexpr UINT firstPluginMessage = WM_USER + 1000;
constexpr UINT lastPluginMessage = firstPluginMessage + 200;
constexpr UINT firstPathMessage = 4025;
constexpr UINT lastPathMessage = 4036;

NppData editor = {};
HMODULE probeModule = nullptr;
WNDPROC savedWindowProc = nullptr;
// A command and a separator: the log shows what the editor writes into each.
FuncItem funcItems[2];
constexpr int untouchedId = -7;

void noCommand() { }

std::wstring probeFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(probeModule, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

std::wstring editorFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

bool isPluginMessage(UINT message)
{
    return (message >= firstPluginMessage && message <= lastPluginMessage)
        || (message >= firstPathMessage && message <= lastPathMessage);
}

// Sits in the main window's procedure chain from the probe's load on; whatever a plug-in sends the
// main window passes here, wherever in the chain the plug-in's own procedure is.
LRESULT CALLBACK probeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcW(savedWindowProc, window, message, wParam, lParam);
    if (isPluginMessage(message) && !OwnRequest::isOwn(message))
        logLine(L"sent " + std::to_wstring(message) + L" wParam=" + hex(wParam) + L" result="
            + std::to_wstring(static_cast<long long>(result)));
    else if (message == WM_INITMENUPOPUP)
        notePopupMenu(reinterpret_cast<HMENU>(wParam));
    return result;
}

// Puts back the editor's procedure only when ours is still the one the editor calls; under
// another plug-in's procedure ours stays in the chain, so the library stays loaded.
void leaveWindowChain()
{
    if (savedWindowProc == nullptr)
        return;
    if (GetWindowLongPtrW(editor._nppHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(probeWindowProc)) {
        SetWindowLongPtrW(editor._nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc));
        savedWindowProc = nullptr;
        logLine(L"probe left the window chain");
        return;
    }
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
        reinterpret_cast<LPCWSTR>(&probeWindowProc), &pinned);
    logLine(L"probe stays in the window chain under another procedure");
}
} // namespace

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        probeModule = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" {
void setInfo(NppData data)
{
    editor = data;
    openProbeLog(probeFolder() + L"\\probe.log");
    logLine(L"probe loaded");
    logLine(L"setInfo ms=" + std::to_wstring(millisecondsSinceStart()));
    loadScenario(probeFolder() + L"\\scenario.txt", editorFolder());
    startWatchdog();
    if (editor._nppHandle != nullptr)
        savedWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(editor._nppHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(probeWindowProc)));
}

const wchar_t* getName()
{
    return L"Probe";
}

FuncItem* getFuncsArray(int* count)
{
    StringCchCopyW(funcItems[0]._itemName, _countof(funcItems[0]._itemName), L"Probe log");
    funcItems[0]._pFunc = noCommand;
    funcItems[1]._itemName[0] = L'\0';
    funcItems[1]._pFunc = nullptr;
    funcItems[1]._cmdID = untouchedId;
    *count = static_cast<int>(_countof(funcItems));
    return funcItems;
}

void beNotified(SCNotification* notification)
{
    if (notification == nullptr || notification->nmhdr.hwndFrom != editor._nppHandle)
        return;
    switch (notification->nmhdr.code) {
    case NPPN_READY:
        logLine(L"ready ms=" + std::to_wstring(millisecondsSinceStart()));
        for (int i = 0; i < static_cast<int>(_countof(funcItems)); ++i)
            logLine(L"probe item " + std::to_wstring(i) + L" cmdID="
                + (funcItems[i]._cmdID == untouchedId ? std::wstring(L"untouched")
                                                      : std::to_wstring(funcItems[i]._cmdID)));
        startScenario(editor);
        break;
    case NPPN_BEFORESHUTDOWN:
        logLine(L"before shutdown");
        break;
    case NPPN_SHUTDOWN:
        logLine(L"shutdown t=" + std::to_wstring(millisecondsSinceStart()));
        leaveWindowChain();
        break;
    }
}

LRESULT messageProc(UINT, WPARAM, LPARAM)
{
    return TRUE;
}

BOOL isUnicode()
{
    return TRUE;
}
}
