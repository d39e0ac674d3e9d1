// Answers message boxes and drives modal dialogs by control id, for tests. Every dialog or box
// that becomes active on this thread gets the next scripted action; a box without one is read
// and answered with OK, any other dialog without one is cancelled and counted as unexpected.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

enum class IconKind { none, information, warning, error, question };

struct MessageBoxRecord {
    std::wstring text;
    std::wstring caption;
    IconKind icon = IconKind::none;
    HWND owner = nullptr;
};

class DialogDriver {
public:
    using Action = std::function<void(HWND dialog)>;

    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The next dialog or message box that opens gets this action, in the order queued.
    void then(Action action);
    // Queued actions not used yet.
    size_t pending() const { return actions_.size(); }

    std::vector<MessageBoxRecord> messageBoxes;  // every box seen, scripted or not
    std::vector<std::wstring> unexpectedDialogs; // captions of unscripted dialogs

    // Helpers for actions.
    static bool isMessageBox(HWND dialog);
    static MessageBoxRecord readMessageBox(HWND box);
    static void click(HWND dialog, int id);
    static void setText(HWND dialog, int id, const std::wstring& text);
    static std::wstring text(HWND dialog, int id);
    static std::wstring caption(HWND dialog);
    static bool isEnabled(HWND dialog, int id);
    static bool isChecked(HWND dialog, int id);
    static void setChecked(HWND dialog, int id, bool checked);
    // List-box helpers.
    static std::vector<std::wstring> listRows(HWND dialog, int id);
    static int listSelection(HWND dialog, int id);
    // Selects a row as a user does, so that the dialog hears of the change.
    static void selectRow(HWND dialog, int listId, int row);
    static void doubleClickRow(HWND dialog, int listId, int row);

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void drive(HWND dialog);

    HHOOK hook_ = nullptr;
    std::deque<Action> actions_;
    std::deque<HWND> arrived_;
    std::set<HWND> seen_;
};
