#include "entryListDialog.h"

#include "dialogObject.h"
#include "editorCalls.h"
#include "openDialogs.h"
#include "textBuffers.h"
#include "textHelpers.h"

#include <strsafe.h>

namespace {
LRESULT sendToList(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageW(dialog, IDC_ENTRY_LIST, message, wParam, lParam);
}

int selectedRow(HWND dialog)
{
    return static_cast<int>(sendToList(dialog, LB_GETCURSEL, 0, 0));
}

void selectRow(HWND dialog, int row)
{
    sendToList(dialog, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}
} // namespace

bool EntryListDialog::show(HINSTANCE module, int templateId, HWND owner)
{
    return DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), owner, dialogProc, reinterpret_cast<LPARAM>(this))
        == IDOK;
}

void EntryListDialog::enableControl(HWND dialog, int id, bool enabled)
{
    HWND control = GetDlgItem(dialog, id);
    if (!enabled && GetFocus() == control)
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_ENTRY_LIST)), TRUE);
    EnableWindow(control, enabled);
}

bool EntryListDialog::isChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void EntryListDialog::check(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CALLBACK EntryListDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = dialogObject<EntryListDialog>(dialog, message, lParam);
    if (self == nullptr)
        return FALSE;
    return callGuarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            self->fill(dialog);
            onDialogOpened(dialog);
            return TRUE;
        case WM_DESTROY:
            onDialogClosed(dialog);
            return FALSE;
        case WM_COMMAND:
            self->onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
        return FALSE;
    });
}

void EntryListDialog::fill(HWND dialog)
{
    for (unsigned i = 0; i < entryCount(); ++i)
        sendToList(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rowText(i).c_str()));
    fillOptions(dialog);
    showEntriesNotShown(dialog);
    updateEntryButtons(dialog);
}

void EntryListDialog::showEntriesNotShown(HWND dialog)
{
    unsigned count = entriesNotShown();
    wchar_t text[textCapacity] = L"";
    if (count > 0)
        StringCchPrintfW(text, _countof(text), L"The settings file holds %s more %s than shown here; %s kept.",
            groupedNumber(count).c_str(), count == 1 ? L"entry" : L"entries", count == 1 ? L"it is" : L"they are");
    SetDlgItemTextW(dialog, IDC_ENTRIES_NOT_SHOWN, text);
}

// Every rule for the entry buttons lives here; called after every change of the list.
void EntryListDialog::updateEntryButtons(HWND dialog)
{
    int selected = selectedRow(dialog);
    int rows = static_cast<int>(entryCount());
    bool any = selected >= 0;
    enableControl(dialog, IDC_REMOVE, any);
    enableControl(dialog, IDC_EDIT, any);
    enableControl(dialog, IDC_MOVE_UP, any && selected > 0);
    enableControl(dialog, IDC_MOVE_DOWN, any && selected < rows - 1);
    enableControl(dialog, IDC_ADD, entryCount() < entryCapacity());
}

void EntryListDialog::replaceRow(HWND dialog, int row)
{
    sendToList(dialog, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    sendToList(dialog, LB_INSERTSTRING, static_cast<WPARAM>(row),
        reinterpret_cast<LPARAM>(rowText(static_cast<unsigned>(row)).c_str()));
}

void EntryListDialog::onAdd(HWND dialog)
{
    // A message sent as if the greyed button could be pressed still adds nothing to a full table.
    if (entryCount() >= entryCapacity() || !editWorkingEntry(dialog, -1))
        return;
    int added = static_cast<int>(
        sendToList(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rowText(entryCount() - 1).c_str())));
    // The new entry is selected, so the next Edit, Move or Remove acts on what was just added.
    selectRow(dialog, added);
    updateEntryButtons(dialog);
}

void EntryListDialog::onRemove(HWND dialog)
{
    int selected = selectedRow(dialog);
    if (selected < 0)
        return;
    removeEntry(static_cast<unsigned>(selected));
    sendToList(dialog, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    selectRow(dialog, -1);
    updateEntryButtons(dialog);
}

void EntryListDialog::onEdit(HWND dialog)
{
    int selected = selectedRow(dialog);
    if (selected < 0 || !editWorkingEntry(dialog, selected))
        return;
    replaceRow(dialog, selected);
    selectRow(dialog, selected);
    updateEntryButtons(dialog);
}

// Exchanges the entries first and first + 1 and their rows; the moved entry stays selected.
void EntryListDialog::onMove(HWND dialog, int first, int selectAfter)
{
    if (first < 0 || first + 1 >= static_cast<int>(entryCount()))
        return;
    exchangeEntries(static_cast<unsigned>(first));
    replaceRow(dialog, first);
    replaceRow(dialog, first + 1);
    selectRow(dialog, selectAfter);
    updateEntryButtons(dialog);
}

void EntryListDialog::onOk(HWND dialog)
{
    storeEntries();
    storeOptions(dialog);
    EndDialog(dialog, IDOK);
}

void EntryListDialog::onListNotification(HWND dialog, WORD notification)
{
    switch (notification) {
    case LBN_SELCANCEL:
        // Nothing stays selected, so the buttons and the list agree.
        selectRow(dialog, -1);
        updateEntryButtons(dialog);
        break;
    case LBN_SELCHANGE:
        updateEntryButtons(dialog);
        break;
    case LBN_DBLCLK:
        onEdit(dialog);
        break;
    }
}

void EntryListDialog::onCommand(HWND dialog, WORD id, WORD notification)
{
    int selected = selectedRow(dialog);
    switch (id) {
    case IDC_ENTRY_LIST:
        onListNotification(dialog, notification);
        break;
    case IDC_ADD:
        onAdd(dialog);
        break;
    case IDC_REMOVE:
        onRemove(dialog);
        break;
    case IDC_EDIT:
        onEdit(dialog);
        break;
    case IDC_MOVE_UP:
        if (selected > 0)
            onMove(dialog, selected - 1, selected - 1);
        break;
    case IDC_MOVE_DOWN:
        if (selected >= 0)
            onMove(dialog, selected, selected + 1);
        break;
    case IDOK:
        onOk(dialog);
        break;
    case IDCANCEL:
        // The working copy is dropped; the table and the options stay as they were.
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        onOptionCommand(dialog, id);
        break;
    }
}
