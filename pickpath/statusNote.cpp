#include "statusNote.h"

#include "editorCalls.h"
#include "hostInterface.h"
#include "pickpathState.h"
#include "pluginHost.h"

#include <commctrl.h>
#include <strsafe.h>

namespace pickpath {

namespace {
void CALLBACK onNoteTime(HWND, UINT, UINT_PTR, DWORD)
{
    callGuarded(takeAwayPassingNote);
}

void setStatusField(const wchar_t* text)
{
    SendMessageW(nppData._nppHandle, NPPM_SETSTATUSBAR, 0, reinterpret_cast<LPARAM>(text));
}
} // namespace

void readStatusField(HWND editor, wchar_t* text, size_t capacity)
{
    text[0] = L'\0';
    HWND statusBar = FindWindowExW(editor, nullptr, STATUSCLASSNAMEW, nullptr);
    if (statusBar != nullptr && LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, 0, 0)) < capacity)
        SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

void showPassingNote(const wchar_t* note, DWORD shownFor)
{
    if (nppData._nppHandle == nullptr)
        return;
    if (PassingNote.Timer != 0)
        KillTimer(nullptr, PassingNote.Timer);
    else
        readStatusField(nppData._nppHandle, PassingNote.Before, _countof(PassingNote.Before));
    StringCchCopyW(PassingNote.Shown, _countof(PassingNote.Shown), note);
    setStatusField(PassingNote.Shown);
    // A timer of the thread, not of the editor's window, so that no identifier can meet one of the
    // editor's own.
    PassingNote.Timer = SetTimer(nullptr, 0, shownFor, onNoteTime);
}

void takeAwayPassingNote()
{
    if (PassingNote.Timer == 0)
        return;
    forgetPassingNote();
    wchar_t now[noteCapacity];
    readStatusField(nppData._nppHandle, now, _countof(now));
    if (wcscmp(now, PassingNote.Shown) == 0)
        setStatusField(PassingNote.Before);
}

void forgetPassingNote()
{
    if (PassingNote.Timer != 0)
        KillTimer(nullptr, PassingNote.Timer);
    PassingNote.Timer = 0;
}

} // namespace pickpath
