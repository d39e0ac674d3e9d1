#include "optionsDialog.h"

#include "keptSettings.h"
#include "pluginHost.h"
#include "resource.h"
#include "searchSettings.h"

#include <strsafe.h>

SearchEntryTable WorkingTable;
SearchEntry EditRecord;

namespace {
LRESULT sendToList(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageW(dialog, IDC_ENTRY_LIST, message, wParam, lParam);
}

int selectedRow(HWND dialog)
{
    return static_cast<int>(sendToList(dialog, LB_GETCURSEL, 0, 0));
}

void insertRow(HWND dialog, int row, const SearchEntry& entry)
{
    sendToList(dialog, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(formatEntryRow(entry)));
}

void replaceRow(HWND dialog, int row)
{
    sendToList(dialog, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    insertRow(dialog, row, WorkingTable.Entries[row]);
}

bool isChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void check(HWND dialog, int id, int value)
{
    CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void enableControl(HWND dialog, int id, bool enabled)
{
    HWND control = GetDlgItem(dialog, id);
    // Focus on a button that goes grey would be stranded; the list takes it.
    if (!enabled && GetFocus() == control)
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_ENTRY_LIST)), TRUE);
    EnableWindow(control, enabled);
}

// Every rule for the entry buttons lives here; called after every change of the list.
void updateEntryButtons(HWND dialog)
{
    int selected = selectedRow(dialog);
    int rows = static_cast<int>(sendToList(dialog, LB_GETCOUNT, 0, 0));
    bool any = selected >= 0;
    enableControl(dialog, IDC_REMOVE, any);
    enableControl(dialog, IDC_EDIT, any);
    enableControl(dialog, IDC_MOVE_UP, any && rows >= 2 && selected > 0);
    enableControl(dialog, IDC_MOVE_DOWN, any && rows >= 2 && selected < rows - 1);
    // The table has room for MaxSearchEntries entries only.
    enableControl(dialog, IDC_ADD, WorkingTable.Count < MaxSearchEntries);
}

void fillOptionsDialog(HWND dialog)
{
    // The working copy starts afresh at every opening: what a Cancel threw away stays away.
    WorkingTable.Count = searchEntryTable.Count;
    for (unsigned i = 0; i < WorkingTable.Count; ++i) {
        copySearchEntry(searchEntryTable.Entries[i], WorkingTable.Entries[i]);
        insertRow(dialog, -1, WorkingTable.Entries[i]);
    }
    check(dialog, IDC_TOOLBAR_BUTTON, pickpathOptions.ShowToolBarButton);
    check(dialog, IDC_CONTEXT_ENTRY, pickpathOptions.ShowContextMenuEntry);
    check(dialog, IDC_CONTEXT_ON_TOP, pickpathOptions.ShowContextMenuEntryOnTop);
    showEntriesNotShown(dialog, IDC_ENTRIES_NOT_SHOWN, settingsEntriesNotShown());
    updateEntryButtons(dialog);
}

// Exchanges working entries first and first + 1, and their rows, through EditRecord.
void exchangeEntries(HWND dialog, int first)
{
    SearchEntry* entries = WorkingTable.Entries;
    copySearchEntry(entries[first + 1], EditRecord);
    copySearchEntry(entries[first], entries[first + 1]);
    copySearchEntry(EditRecord, entries[first]);
    replaceRow(dialog, first);
    replaceRow(dialog, first + 1);
}

void onAdd(HWND dialog)
{
    if (WorkingTable.Count >= MaxSearchEntries)
        return;
    EditRecord.Name[0] = L'\0';
    EditRecord.Mask[0] = L'\0';
    EditRecord.Path[0] = L'\0';
    EditRecord.Ext[0] = L'\0';
    if (editEntry(dialog, -1) != 1)
        return;
    copySearchEntry(EditRecord, WorkingTable.Entries[WorkingTable.Count]);
    insertRow(dialog, -1, WorkingTable.Entries[WorkingTable.Count]);
    ++WorkingTable.Count;
    updateEntryButtons(dialog);
}

void onRemove(HWND dialog)
{
    int selected = selectedRow(dialog);
    if (selected < 0)
        return;
    sendToList(dialog, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    for (unsigned i = static_cast<unsigned>(selected); i + 1 < WorkingTable.Count; ++i)
        copySearchEntry(WorkingTable.Entries[i + 1], WorkingTable.Entries[i]);
    --WorkingTable.Count;
    sendToList(dialog, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    updateEntryButtons(dialog);
}

void onEdit(HWND dialog)
{
    int selected = selectedRow(dialog);
    if (selected < 0)
        return;
    copySearchEntry(WorkingTable.Entries[selected], EditRecord);
    if (editEntry(dialog, selected) != 1)
        return;
    copySearchEntry(EditRecord, WorkingTable.Entries[selected]);
    replaceRow(dialog, selected);
    sendToList(dialog, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    updateEntryButtons(dialog);
}

void onMoveUp(HWND dialog)
{
    int selected = selectedRow(dialog);
    if (selected <= 0)
        return;
    exchangeEntries(dialog, selected - 1);
    sendToList(dialog, LB_SETCURSEL, static_cast<WPARAM>(selected - 1), 0);
    updateEntryButtons(dialog);
}

void onMoveDown(HWND dialog)
{
    int selected = selectedRow(dialog);
    if (selected < 0 || selected + 1 >= static_cast<int>(WorkingTable.Count))
        return;
    exchangeEntries(dialog, selected);
    sendToList(dialog, LB_SETCURSEL, static_cast<WPARAM>(selected + 1), 0);
    updateEntryButtons(dialog);
}

void onOk(HWND dialog)
{
    searchEntryTable.Count = WorkingTable.Count;
    for (unsigned i = 0; i < WorkingTable.Count; ++i)
        copySearchEntry(WorkingTable.Entries[i], searchEntryTable.Entries[i]);
    pickpathOptions.ShowToolBarButton = isChecked(dialog, IDC_TOOLBAR_BUTTON);
    pickpathOptions.ShowContextMenuEntry = isChecked(dialog, IDC_CONTEXT_ENTRY);
    pickpathOptions.ShowContextMenuEntryOnTop = isChecked(dialog, IDC_CONTEXT_ON_TOP);
    EndDialog(dialog, 1);
}

void onListNotification(HWND dialog, WORD notification)
{
    switch (notification) {
    case LBN_SELCANCEL:
        // Nothing stays selected, so the buttons and the list agree.
        sendToList(dialog, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
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

void onCommand(HWND dialog, WORD id, WORD notification)
{
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
        onMoveUp(dialog);
        break;
    case IDC_MOVE_DOWN:
        onMoveDown(dialog);
        break;
    case IDOK:
        onOk(dialog);
        break;
    case IDCANCEL:
        // The working copy is dropped; the table and the options stay as they were.
        EndDialog(dialog, 0);
        break;
    }
}

INT_PTR CALLBACK optionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        fillOptionsDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
} // namespace

void showOptionsDialog()
{
    // Saved now, where a failure can be told, rather than only at unload, where it can't.
    if (DialogBoxParamW(pluginModule, MAKEINTRESOURCEW(IDD_OPTIONS), nppData._nppHandle, optionsDialogProc, 0) == 1)
        saveSettings(SaveMode::tellUser);
}

const wchar_t* formatEntryRow(const SearchEntry& entry)
{
    static wchar_t row[textCapacity];
    StringCchPrintfW(row, _countof(row), L"%s (%s) => %s (%s)", entry.Name, entry.Mask, entry.Path, entry.Ext);
    return row;
}
