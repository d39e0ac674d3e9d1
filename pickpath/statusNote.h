// A short note in the first field of the editor's status bar that goes away by itself: what the
// field showed before comes back a few seconds later, unless the editor has written the field
// meanwhile. No box, no sound.
#pragma once

#include <windows.h>

namespace pickpath {

// How long a note stays.
constexpr DWORD noteShownFor = 5000;

// Shows the note; a note still showing is replaced, and what came before it is what comes back.
void showPassingNote(const wchar_t* note, DWORD shownFor = noteShownFor);
// Puts back what the field showed before the note, if the note is still there.
void takeAwayPassingNote();
// At unload: nothing is left waiting to call into the library.
void forgetPassingNote();

// The text of the first field of the editor's status bar; empty when there is none or it doesn't fit.
void readStatusField(HWND editor, wchar_t* text, size_t capacity);

} // namespace pickpath
