// The editor's side of the plug-in contract: the records it exchanges with a plug-in and the
// numbers of the messages and notifications the plug-ins use. Layouts follow the editor's
// published plug-in interface byte for byte, on x86 and x64 alike.
#pragma once

#include <windows.h>

#include <cstddef>

struct NppData {
    HWND _nppHandle;
    HWND _scintillaMainHandle;
    HWND _scintillaSecondHandle;
};

typedef void (*PFUNCPLUGINCMD)();

struct ShortcutKey {
    bool _isCtrl;
    bool _isAlt;
    bool _isShift;
    UCHAR _key;
};

constexpr int menuItemNameLength = 64;

struct FuncItem {
    wchar_t _itemName[menuItemNameLength];
    PFUNCPLUGINCMD _pFunc;
    int _cmdID;
    bool _init2Check;
    ShortcutKey* _pShKey;
};

struct toolbarIcons {
    HBITMAP hToolbarBmp;
    HICON hToolbarIcon;
};

// Only the leading header of the editor's notification record is ever read.
struct SCNotification {
    NMHDR nmhdr;
};

// Messages to the editor's main window.
constexpr UINT NPPM_ADDTOOLBARICON = 2065;
constexpr UINT NPPM_GETPLUGINSCONFIGDIR = 2070;
constexpr UINT NPPM_DOOPEN = 2101;
constexpr UINT NPPM_GETFULLCURRENTPATH = 4025;
constexpr UINT NPPM_GETCURRENTDIRECTORY = 4026;
constexpr UINT NPPM_GETFILENAME = 4027;
constexpr UINT NPPM_GETNAMEPART = 4028;
constexpr UINT NPPM_GETEXTPART = 4029;
constexpr UINT NPPM_GETCURRENTWORD = 4030;
constexpr UINT NPPM_GETNPPDIRECTORY = 4031;

// Notifications from the editor.
constexpr UINT NPPN_READY = 1001;
constexpr UINT NPPN_TBMODIFICATION = 1002;
constexpr UINT NPPN_SHUTDOWN = 1009; // before the editor unloads its plug-ins, while a message box can still be shown

// The editor's own commands that mark its editing view's context menu.
constexpr UINT IDM_EDIT_CUT = 42001;
constexpr UINT IDM_EDIT_COPY = 42002;
constexpr UINT IDM_EDIT_PASTE = 42005;
constexpr UINT IDM_EDIT_DELETE = 42006;
constexpr UINT IDM_EDIT_UPPERCASE = 42016;
constexpr UINT IDM_EDIT_LOWERCASE = 42017;

// The editor reads the command table in place, so its layout must be exact on both architectures.
static_assert(sizeof(ShortcutKey) == 4, "ShortcutKey is four bytes");
static_assert(offsetof(FuncItem, _pFunc) == 128, "_pFunc follows the 64-character caption");
#if defined(_WIN64)
static_assert(sizeof(FuncItem) == 152, "FuncItem is 152 bytes on x64");
static_assert(offsetof(FuncItem, _cmdID) == 136, "_cmdID follows the callback");
static_assert(offsetof(FuncItem, _init2Check) == 140, "_init2Check follows _cmdID");
static_assert(offsetof(FuncItem, _pShKey) == 144, "_pShKey is pointer-aligned");
static_assert(sizeof(NppData) == 24, "three window handles");
static_assert(sizeof(toolbarIcons) == 16, "two handles");
#else
static_assert(sizeof(FuncItem) == 144, "FuncItem is 144 bytes on x86");
static_assert(offsetof(FuncItem, _cmdID) == 132, "_cmdID follows the callback");
static_assert(offsetof(FuncItem, _init2Check) == 136, "_init2Check follows _cmdID");
static_assert(offsetof(FuncItem, _pShKey) == 140, "_pShKey is pointer-aligned");
static_assert(sizeof(NppData) == 12, "three window handles");
static_assert(sizeof(toolbarIcons) == 8, "two handles");
#endif
static_assert(offsetof(SCNotification, nmhdr) == 0, "the notification starts with its header");

// The six entries every plug-in exports, undecorated, through its definition file.
extern "C" {
void setInfo(NppData data);
const wchar_t* getName();
FuncItem* getFuncsArray(int* count);
void beNotified(SCNotification* notification);
LRESULT messageProc(UINT message, WPARAM wParam, LPARAM lParam);
BOOL isUnicode();
}
