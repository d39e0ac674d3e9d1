// A long search keeps the editor alive: after a short while it shows the wait cursor and how far it
// got in the editor's status bar, lets the editor's windows repaint, and stops when Esc is pressed.
#pragma once

#include <windows.h>

#include <string>

namespace pickpath {

class SearchProgress {
public:
    // Searches that end within noticeDelay milliseconds change nothing on screen.
    explicit SearchProgress(HWND editor, DWORD noticeDelay = 500);
    // Puts the cursor and the status bar back; a note that passes says when the search was stopped
    // or met folders too deep to search.
    ~SearchProgress();
    SearchProgress(const SearchProgress&) = delete;
    SearchProgress& operator=(const SearchProgress&) = delete;

    // Called for every folder searched; false once Esc was pressed.
    bool onFolder();
    // Called for every folder found that could not be searched, its path too long; the note at the
    // end says how many.
    void onFolderTooDeep() { ++foldersTooDeep_; }
    bool stopped() const { return stopped_; }
    size_t folders() const { return folders_; }
    size_t foldersTooDeep() const { return foldersTooDeep_; }

private:
    void check(ULONGLONG now);
    static std::wstring noteText(const wchar_t* format, size_t count);
    void showNote(const wchar_t* format, size_t count);

    HWND editor_;
    DWORD noticeDelay_;
    ULONGLONG start_;
    ULONGLONG nextCheck_;
    ULONGLONG nextNote_ = 0;
    size_t folders_ = 0;
    size_t foldersTooDeep_ = 0;
    bool stopped_ = false;
    bool shown_ = false;
    HCURSOR savedCursor_ = nullptr;
    wchar_t savedStatus_[512] = L"";
};

} // namespace pickpath
