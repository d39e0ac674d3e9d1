// The help viewers that need no state of their own (the PDF and Document Explorer viewers have
// headers of their own): each puts the help for a word on the screen and reports its own failures.
#pragma once

#include "pathTemplate.h"

#include <windows.h>

#include <cstdint>

namespace wordlamp {

void showChmHelp(const wchar_t* location, const wchar_t* word);
void showWinHelp(const wchar_t* location, const wchar_t* word);
void shellOpenHelp(const wchar_t* location, const wchar_t* parameters);
// Has the shell open an address with the program registered for its scheme; an address takes no
// parameters.
void shellOpenAddress(const wchar_t* address);
// Has the shell open placed, the path made from the template with placedWord at its places, and
// gives it word as exactly one argument. Where the shell would start it through cmd, a word that
// cmd would act on is refused and nothing starts.
void shellOpenWithWord(
    const ExpandedTemplate& location, const wchar_t* placed, const wchar_t* placedWord, const wchar_t* word);
// Shows the message for a failed ShellExecuteW result (codes above 32 mean success), naming the
// location that could not be started and the system's reason (its error code; 0 when it gave none).
void reportShellExecuteError(intptr_t code, const wchar_t* location, DWORD systemError);
// The second line of a message about a program that did not start: its path and the system's reason.
void describeFailedStart(const wchar_t* program, DWORD systemError, wchar_t* text, size_t capacity);
// Shows "The specified help file does not exist!" with the path and answers false when location is
// no existing file; the file-based viewers check this before anything else.
bool helpFileExists(const wchar_t* location);

} // namespace wordlamp
