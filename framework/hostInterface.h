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

// The button's three faces: the bitmap for the standard icon set, icons for the Fluent sets in
// light and in dark mode.
struct toolbarIconsWithDarkMode {
    HBITMAP hToolbarBmp;
    HICON hToolbarIcon;
    HICON hToolbarIconDarkMode;
};

// Only the leading header of the editor's notification record is ever read.
struct SCNotification {
    NMHDR nmhdr;
};

// Messages to the editor's main window.
constexpr UINT NPPMSG = WM_USER + 1000;
constexpr UINT NPPM_SETSTATUSBAR = NPPMSG + 24; // wParam: the field, 0 the first; lParam: the text
constexpr UINT NPPM_ADDTOOLBARICON = NPPMSG + 41;
constexpr UINT NPPM_GETPLUGINSCONFIGDIR = 2070;
constexpr UINT NPPM_DOOPEN = 2101;
constexpr UINT NPPM_GETFULLCURRENTPATH = 4025;
constexpr UINT NPPM_GETCURRENTDIRECTORY = 4026;
constexpr UINT NPPM_GETFILENAME = 4027;
constexpr UINT NPPM_GETNAMEPART = 4028;
constexpr UINT NPPM_GETEXTPART = 4029;
constexpr UINT NPPM_GETCURRENTWORD = 4030;
constexpr UINT NPPM_GETNPPDIRECTORY = 4031;
// The selection when it holds a "/" or "\", otherwise the path-like text around the caret (from the
// last blank, tab, quote, "[", "(", "<" or ">" before it to the first of those, ")", "]" or ":" after
// it); FALSE and the buffer untouched when it doesn't fit. Measured in 8.9.7.
constexpr UINT NPPM_GETFILENAMEATCURSOR = 4035;
constexpr UINT NPPM_GETCURRENTLINESTR = 4036;         // the caret's line, its line end included
constexpr UINT NPPM_GETCURRENTSCINTILLA = NPPMSG + 4; // lParam: an int that gets 0 (main view) or 1
// Known to newer editors only; an older one leaves them unanswered (0).
constexpr UINT NPPM_GETNPPVERSION = NPPMSG + 50; // wParam TRUE: minor part zero-padded (8.9.7 gives 8, 970)
constexpr UINT NPPM_ADDTOOLBARICON_FORDARKMODE = NPPMSG + 101; // from 8.0
constexpr UINT NPPM_ISDARKMODEENABLED = NPPMSG + 107;
constexpr UINT NPPM_GETDARKMODECOLORS = NPPMSG + 108;
constexpr UINT NPPM_DARKMODESUBCLASSANDTHEME = NPPMSG + 112; // from 8.5.4
constexpr UINT NPPM_GETTOOLBARICONSETCHOICE = NPPMSG + 118;

// NPPM_DARKMODESUBCLASSANDTHEME's requests: at a dialog's initialisation, and when the mode changes.
constexpr WPARAM darkModeThemeAtInit = 0x0B;
constexpr WPARAM darkModeThemeOnChange = 0x0C;

// NPPM_GETDARKMODECOLORS fills this record, sized by wParam.
struct DarkModeColors {
    COLORREF background;
    COLORREF softerBackground;
    COLORREF hotBackground;
    COLORREF pureBackground;
    COLORREF errorBackground;
    COLORREF text;
    COLORREF darkerText;
    COLORREF disabledText;
    COLORREF linkText;
    COLORREF edge;
    COLORREF hotEdge;
    COLORREF disabledEdge;
};

// Messages to an editing view, the Scintilla window the editor shows a document in. Positions
// count the document's bytes; lines count from 0.
constexpr UINT SCI_GETCURRENTPOS = 2008;
constexpr UINT SCI_GOTOPOS = 2025; // the caret there, nothing selected, scrolled into view
constexpr UINT SCI_GETLINEENDPOSITION = 2136;
constexpr UINT SCI_GETLINECOUNT = 2154;
constexpr UINT SCI_LINEFROMPOSITION = 2166;
constexpr UINT SCI_POSITIONFROMLINE = 2167;
constexpr UINT SCI_SCROLLCARET = 2169;
constexpr UINT SCI_ENSUREVISIBLE = 2232; // unfolds what hides the line
constexpr UINT SCI_GETSELECTIONEMPTY = 2650;
constexpr UINT SCI_POSITIONRELATIVE = 2670; // wParam moved by lParam characters; 0 past either end

// Notifications from the editor.
constexpr UINT NPPN_READY = 1001;
constexpr UINT NPPN_TBMODIFICATION = 1002;
constexpr UINT NPPN_SHUTDOWN = 1009; // before the editor unloads its plug-ins, while a message box can still be shown
constexpr UINT NPPN_DARKMODECHANGED = 1027;

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
static_assert(sizeof(toolbarIconsWithDarkMode) == 24, "three handles");
static_assert(offsetof(toolbarIconsWithDarkMode, hToolbarIconDarkMode) == 16, "the dark icon comes last");
#else
static_assert(sizeof(FuncItem) == 144, "FuncItem is 144 bytes on x86");
static_assert(offsetof(FuncItem, _cmdID) == 132, "_cmdID follows the callback");
static_assert(offsetof(FuncItem, _init2Check) == 136, "_init2Check follows _cmdID");
static_assert(offsetof(FuncItem, _pShKey) == 140, "_pShKey is pointer-aligned");
static_assert(sizeof(NppData) == 12, "three window handles");
static_assert(sizeof(toolbarIcons) == 8, "two handles");
static_assert(sizeof(toolbarIconsWithDarkMode) == 12, "three handles");
static_assert(offsetof(toolbarIconsWithDarkMode, hToolbarIconDarkMode) == 8, "the dark icon comes last");
#endif
static_assert(NPPM_ADDTOOLBARICON == 2065, "the message every editor knows");
static_assert(NPPM_GETCURRENTSCINTILLA == 2028, "the view in front");
static_assert(NPPM_ADDTOOLBARICON_FORDARKMODE == 2125, "three images");
static_assert(sizeof(DarkModeColors) == 12 * sizeof(COLORREF), "twelve colours");
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
