// The editing view in front, the editor's Scintilla window: the one place Pickpath talks to it, to
// see whether anything is selected before the selection is read, and to put the caret where a
// position after a name says once the file is open.
#pragma once

namespace pickpath {

// Whether the view in front has text selected.
bool viewHasSelection();

// Puts the caret on line (from 1) at column (from 1, in characters; 0: the line's start) of the
// view in front, nothing selected, scrolled into view. A line past the end is the last line, a
// column past the line's end is its end.
void showPosition(unsigned line, unsigned column);

} // namespace pickpath
