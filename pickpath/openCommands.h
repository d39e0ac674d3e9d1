// Pickpath's two open commands. "Open current selection" looks for what the user points at and
// opens the first file found; "Open current selection\u2026" runs the same search to its end and lists
// every file found to choose from. Either puts the caret where a position after the name says,
// and a miss says so in the status bar.
#pragma once

namespace pickpath {

// The command callbacks.
void openCurrentSelection();
void chooseCurrentSelection();

} // namespace pickpath
