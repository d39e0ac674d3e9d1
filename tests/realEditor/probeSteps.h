// The scenario the probe plays inside the editor: one step per line of scenario.txt, run one
// after another from a timer on the editor's thread, so that menus, dialogs and message boxes the
// steps open run their own loops while later steps look at them and answer them.
#pragma once

#include "hostInterface.h"

#include <string>

// Reads the scenario; %EDITOR% in it stands for the editor's folder.
void loadScenario(const std::wstring& path, const std::wstring& editorFolder);
// Starts playing the scenario on the calling (the editor's) thread.
void startScenario(const NppData& editor);
// What the main window's procedure chain saw: every pop-up menu it was shown.
void notePopupMenu(HMENU menu);
// Ends the process when the scenario has not ended the editor by its deadline.
void startWatchdog();
