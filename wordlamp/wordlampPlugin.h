// Wordlamp's binding to the editor: the command table and the library's start and stop.
#pragma once

#include "hostInterface.h"

namespace wordlamp {

constexpr int wordlampCommandCount = 5;
constexpr int helpCommandIndex = 0;
constexpr int optionsCommandIndex = 2;
constexpr int aboutCommandIndex = 4;

extern FuncItem funcItems[wordlampCommandCount];

// Called from the library's entry point; the test programs call them to stand in for it.
void onLibraryAttach(HINSTANCE module);
void onLibraryDetach(bool processEnding);

} // namespace wordlamp
