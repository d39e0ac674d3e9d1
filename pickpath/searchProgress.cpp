#include "searchProgress.h"

#include "busyEditor.h"
#include "hostInterface.h"
#include "statusNote.h"
#include "textHelpers.h"

#include <strsafe.h>

namespace pickpath {

namespace {
// How often the walk looks up from its work: often enough to feel immediate, rarely enough to
// cost nothing.
constexpr ULONGLONG checkInterval = 50;
// The note in the status bar changes no more often than this, so the editor is asked little.
constexpr ULONGLONG noteInterval = 250;
// Bounds the repainting in one check, should a window never validate itself.
constexpr int maxPaintsPerCheck = 64;

} // namespace

SearchProgress::SearchProgress(HWND editor, DWORD noticeDelay)
    : editor_(editor)
    , noticeDelay_(noticeDelay)
    , start_(GetTickCount64())
    , nextCheck_(start_ + noticeDelay)
{
}

SearchProgress::~SearchProgress()
{
    // What the field showed comes back, and a note about the search passes over it like any other.
    if (shown_) {
        SendMessageW(editor_, NPPM_SETSTATUSBAR, 0, reinterpret_cast<LPARAM>(savedStatus_));
        SetCursor(savedCursor_);
    }
    if (stopped_)
        showPassingNote(noteText(L"Pickpath: search stopped after %s folders", folders_).c_str());
    else if (foldersTooDeep_ > 0)
        showPassingNote(noteText(foldersTooDeep_ == 1 ? L"Pickpath: %s folder was too deep to search"
                                                      : L"Pickpath: %s folders were too deep to search",
            foldersTooDeep_)
                            .c_str());
}

bool SearchProgress::onFolder()
{
    ++folders_;
    if (!stopped_) {
        ULONGLONG now = GetTickCount64();
        if (now >= nextCheck_)
            check(now);
    }
    return !stopped_;
}

void SearchProgress::check(ULONGLONG now)
{
    nextCheck_ = now + checkInterval;
    if (!shown_) {
        shown_ = true;
        // The editor's status bar, when it has one, tells what to put back afterwards.
        readStatusField(editor_, savedStatus_, _countof(savedStatus_));
        savedCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    if (escapePressed()) {
        stopped_ = true;
        return;
    }
    if (now >= nextNote_) {
        nextNote_ = now + noteInterval;
        // The key comes first, so a narrow status bar still shows how to stop.
        showNote(L"Pickpath: searching (Esc stops), %s folders", folders_);
    }
    letWindowsPaint(maxPaintsPerCheck);
}

std::wstring SearchProgress::noteText(const wchar_t* format, size_t count)
{
    wchar_t note[128];
    StringCchPrintfW(note, _countof(note), format, groupedNumber(count).c_str());
    return note;
}

void SearchProgress::showNote(const wchar_t* format, size_t count)
{
    SendMessageW(editor_, NPPM_SETSTATUSBAR, 0, reinterpret_cast<LPARAM>(noteText(format, count).c_str()));
}

} // namespace pickpath
