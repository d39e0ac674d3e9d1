// While a long piece of work runs on the editor's thread: the user's way out, and the editor's
// windows kept painted. Nothing else is dispatched, so no second command starts inside the running
// one.
#pragma once

#include <windows.h>

// Whether the user pressed Esc: a key-down at the head of this thread's queue (taken out; other keys
// stay for the editor) or the key held now.
bool escapePressed();

// Lets this thread's windows repaint, at most maxPaints paint messages, should a window never
// validate itself.
void letWindowsPaint(int maxPaints);
