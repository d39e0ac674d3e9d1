#include "editingView.h"

#include "hostInterface.h"
#include "pluginHost.h"

namespace pickpath {

namespace {
// Asked each time: opening a file may bring the other view to the front.
HWND viewInFront()
{
    int view = 0;
    SendMessageW(nppData._nppHandle, NPPM_GETCURRENTSCINTILLA, 0, reinterpret_cast<LPARAM>(&view));
    return view == 1 ? nppData._scintillaSecondHandle : nppData._scintillaMainHandle;
}

LRESULT tell(HWND view, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageW(view, message, wParam, lParam);
}
} // namespace

bool viewHasSelection()
{
    HWND view = viewInFront();
    return view != nullptr && tell(view, SCI_GETSELECTIONEMPTY) == 0;
}

void showPosition(unsigned line, unsigned column)
{
    HWND view = viewInFront();
    if (view == nullptr || line == 0)
        return;
    LRESULT lines = tell(view, SCI_GETLINECOUNT);
    if (lines < 1)
        lines = 1;
    WPARAM index = static_cast<WPARAM>(static_cast<LRESULT>(line) < lines ? line : lines) - 1;
    LRESULT start = tell(view, SCI_POSITIONFROMLINE, index);
    LRESULT position = start;
    if (column > 1) {
        // Counted in characters, whatever bytes they take; past the line's end, or the
        // document's (0), the line's end.
        LRESULT end = tell(view, SCI_GETLINEENDPOSITION, index);
        LRESULT moved = tell(view, SCI_POSITIONRELATIVE, static_cast<WPARAM>(start), static_cast<LPARAM>(column - 1));
        position = moved > start && moved <= end ? moved : end;
    }
    // A folded line is unfolded first, so that scrolling reaches it.
    tell(view, SCI_ENSUREVISIBLE, index);
    tell(view, SCI_GOTOPOS, static_cast<WPARAM>(position));
    tell(view, SCI_SCROLLCARET);
}

} // namespace pickpath
