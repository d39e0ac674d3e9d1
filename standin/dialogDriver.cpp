#include "dialogDriver.h"

namespace {
DialogDriver* activeDriver = nullptr;

// Message boxes keep their icon in a static control with this id, their text in another.
constexpr int messageBoxIconId = 1088;
constexpr int messageBoxTextIds[] = {0xFFFF, 100};

bool isDialogClass(HWND window)
{
    wchar_t className[32] = L"";
    GetClassNameW(window, className, _countof(className));
    return wcscmp(className, L"#32770") == 0;
}

IconKind iconKindOf(HICON icon)
{
    if (icon == nullptr)
        return IconKind::none;
    if (icon == LoadIconW(nullptr, IDI_INFORMATION))
        return IconKind::information;
    if (icon == LoadIconW(nullptr, IDI_ERROR))
        return IconKind::error;
    if (icon == LoadIconW(nullptr, IDI_WARNING))
        return IconKind::warning;
    if (icon == LoadIconW(nullptr, IDI_QUESTION))
        return IconKind::question;
    return IconKind::none;
}
} // namespace

DialogDriver::DialogDriver()
{
    activeDriver = this;
    hook_ = SetWindowsHookExW(WH_CBT, hookProc, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver()
{
    UnhookWindowsHookEx(hook_);
    activeDriver = nullptr;
}

void DialogDriver::then(Action action)
{
    actions_.push_back(std::move(action));
}

LRESULT CALLBACK DialogDriver::hookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && activeDriver != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (isDialogClass(window) && activeDriver->seen_.insert(window).second) {
            // Act once the dialog runs its own message loop, not inside its activation.
            activeDriver->arrived_.push_back(window);
            SetTimer(nullptr, 0, 0, onTimer);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogDriver::onTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (activeDriver == nullptr || activeDriver->arrived_.empty())
        return;
    HWND dialog = activeDriver->arrived_.front();
    activeDriver->arrived_.pop_front();
    if (IsWindow(dialog))
        activeDriver->drive(dialog);
}

void DialogDriver::drive(HWND dialog)
{
    bool box = isMessageBox(dialog);
    if (box)
        messageBoxes.push_back(readMessageBox(dialog));
    if (!actions_.empty()) {
        Action action = std::move(actions_.front());
        actions_.pop_front();
        action(dialog);
        return;
    }
    if (box) {
        click(dialog, GetDlgItem(dialog, IDOK) != nullptr ? IDOK : IDCANCEL);
        return;
    }
    unexpectedDialogs.push_back(caption(dialog));
    EndDialog(dialog, IDCANCEL);
}

bool DialogDriver::isMessageBox(HWND dialog)
{
    wchar_t className[32] = L"";
    HWND icon = GetDlgItem(dialog, messageBoxIconId);
    if (icon == nullptr)
        return false;
    GetClassNameW(icon, className, _countof(className));
    return _wcsicmp(className, L"Static") == 0;
}

MessageBoxRecord DialogDriver::readMessageBox(HWND box)
{
    MessageBoxRecord record;
    for (int id : messageBoxTextIds) {
        if (GetDlgItem(box, id) != nullptr) {
            record.text = text(box, id);
            break;
        }
    }
    record.caption = caption(box);
    HWND icon = GetDlgItem(box, messageBoxIconId);
    if (icon != nullptr && IsWindowVisible(icon))
        record.icon = iconKindOf(reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)));
    record.owner = GetWindow(box, GW_OWNER);
    return record;
}

void DialogDriver::click(HWND dialog, int id)
{
    // A disabled button can't be clicked; a dialog without the button still hears OK and Cancel.
    HWND control = GetDlgItem(dialog, id);
    if (control != nullptr && IsWindowEnabled(control))
        SendMessageW(control, BM_CLICK, 0, 0);
    else if (control == nullptr && (id == IDOK || id == IDCANCEL))
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void DialogDriver::setText(HWND dialog, int id, const std::wstring& value)
{
    SetDlgItemTextW(dialog, id, value.c_str());
}

std::wstring DialogDriver::text(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthW(control);
    std::wstring value(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(control, &value[0], length + 1);
    value.resize(static_cast<size_t>(length));
    return value;
}

std::wstring DialogDriver::caption(HWND dialog)
{
    wchar_t value[512] = L"";
    GetWindowTextW(dialog, value, _countof(value));
    return value;
}

bool DialogDriver::isEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool DialogDriver::isChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void DialogDriver::setChecked(HWND dialog, int id, bool checked)
{
    if (isChecked(dialog, id) != checked)
        click(dialog, id);
}

std::vector<std::wstring> DialogDriver::listRows(HWND dialog, int id)
{
    std::vector<std::wstring> rows;
    int count = static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        int length = static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, row, 0));
        std::wstring value(static_cast<size_t>(length) + 1, L'\0');
        SendDlgItemMessageW(dialog, id, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&value[0]));
        value.resize(static_cast<size_t>(length));
        rows.push_back(value);
    }
    return rows;
}

int DialogDriver::listSelection(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0));
}

void DialogDriver::selectRow(HWND dialog, int listId, int row)
{
    HWND list = GetDlgItem(dialog, listId);
    SendMessageW(list, LB_SETCURSEL, row, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, row < 0 ? LBN_SELCANCEL : LBN_SELCHANGE),
        reinterpret_cast<LPARAM>(list));
}

void DialogDriver::doubleClickRow(HWND dialog, int listId, int row)
{
    selectRow(dialog, listId, row);
    HWND list = GetDlgItem(dialog, listId);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
}
