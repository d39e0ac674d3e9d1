#include "optionsDialog.h"

#include "keptSettings.h"
#include "helpSettings.h"
#include "pluginHost.h"
#include "resource.h"
#include "wordlampMenus.h"

#include <strsafe.h>

HelpEntryTable WorkingTable;
HelpEntry EditRecord;

namespace {
const int menuModeButtons[] = {IDC_MENU_DONT_SHOW, IDC_MENU_PLUGIN, IDC_MENU_HELP, IDC_MENU_CONTEXT};

LRESULT sendToList(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageW(dialog, IDC_ENTRY_LIST, message, wParam, lParam);
}

int selectedRow(HWND dialog)
{
    return static_cast<int>(sendToList(dialog, LB_GETCURSEL, 0, 0));
}

void insertRow(HWND dialog, int row, const HelpEntry& entry)
{
    sendToList(dialog, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(formatEntryRow(entry)));
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
    // Menu identifiers and table slots exist for MaxHelpEntries entries only.
    enableControl(dialog, IDC_ADD, WorkingTable.Count < MaxHelpEntries);
}

void updateSearchWordBox(HWND dialog)
{
    bool entriesShown
        = isChecked(dialog, IDC_MENU_PLUGIN) || isChecked(dialog, IDC_MENU_HELP) || isChecked(dialog, IDC_MENU_CONTEXT);
    enableControl(dialog, IDC_MENU_SEARCH_WORD, entriesShown);
}

void fillOptionsDialog(HWND dialog)
{
    WorkingTable.Count = helpEntryTable.Count;
    for (unsigned i = 0; i < WorkingTable.Count; ++i) {
        copyHelpEntry(WorkingTable.Entries[i], helpEntryTable.Entries[i]);
        insertRow(dialog, -1, WorkingTable.Entries[i]);
    }
    check(dialog, IDC_STAY_ON_TOP, helpOptions.StayOnTop);
    check(dialog, IDC_MENU_SEARCH_WORD, helpOptions.HelpMenuSearchWord);
    check(dialog, IDC_TOOLBAR_BUTTON, helpOptions.ShowToolBarButton);
    check(dialog, IDC_CONTEXT_ENTRY, helpOptions.ShowContextMenuEntry);
    check(dialog, IDC_CONTEXT_ON_TOP, helpOptions.ShowContextMenuEntryOnTop);
    check(dialog, IDC_MENU_ICONS, helpOptions.ShowMenuIcons);
    showEntriesNotShown(dialog, IDC_ENTRIES_NOT_SHOWN, settingsEntriesNotShown());
    // A mode outside 0 to 3 checks none of the four.
    for (int mode = 0; mode < static_cast<int>(_countof(menuModeButtons)); ++mode)
        check(dialog, menuModeButtons[mode], helpOptions.HelpMenuMode == mode);
    enableControl(dialog, IDC_MENU_SEARCH_WORD, helpOptions.HelpMenuMode != 0);
    updateEntryButtons(dialog);
}

// Exchanges working entries first and first + 1, and their rows, through EditRecord.
void exchangeEntries(HWND dialog, int first)
{
    HelpEntry* entries = WorkingTable.Entries;
    copyHelpEntry(EditRecord, entries[first + 1]);
    copyHelpEntry(entries[first + 1], entries[first]);
    copyHelpEntry(entries[first], EditRecord);
    sendToList(dialog, LB_DELETESTRING, static_cast<WPARAM>(first), 0);
    sendToList(dialog, LB_DELETESTRING, static_cast<WPARAM>(first), 0);
    insertRow(dialog, first, entries[first]);
    insertRow(dialog, first + 1, entries[first + 1]);
}

void onAdd(HWND dialog)
{
    if (WorkingTable.Count >= MaxHelpEntries)
        return;
    EditRecord.Name[0] = L'\0';
    EditRecord.Mask[0] = L'\0';
    EditRecord.File[0] = L'\0';
    EditRecord.Show = 0;
    if (editEntry(dialog, -1) != 1)
        return;
    copyHelpEntry(WorkingTable.Entries[WorkingTable.Count], EditRecord);
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
        copyHelpEntry(WorkingTable.Entries[i], WorkingTable.Entries[i + 1]);
    --WorkingTable.Count;
    sendToList(dialog, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    updateEntryButtons(dialog);
}

void onEdit(HWND dialog)
{
    int selected = selectedRow(dialog);
    if (selected < 0)
        return;
    copyHelpEntry(EditRecord, WorkingTable.Entries[selected]);
    if (editEntry(dialog, selected) != 1)
        return;
    copyHelpEntry(WorkingTable.Entries[selected], EditRecord);
    sendToList(dialog, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    insertRow(dialog, selected, WorkingTable.Entries[selected]);
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
    helpEntryTable.Count = WorkingTable.Count;
    for (unsigned i = 0; i < WorkingTable.Count; ++i)
        copyHelpEntry(helpEntryTable.Entries[i], WorkingTable.Entries[i]);
    helpOptions.StayOnTop = isChecked(dialog, IDC_STAY_ON_TOP);
    helpOptions.HelpMenuMode = 0;
    for (int mode = 1; mode < static_cast<int>(_countof(menuModeButtons)); ++mode)
        if (helpOptions.HelpMenuMode == 0 && isChecked(dialog, menuModeButtons[mode]))
            helpOptions.HelpMenuMode = mode;
    // A disabled box keeps its state and is read like any other.
    helpOptions.HelpMenuSearchWord = isChecked(dialog, IDC_MENU_SEARCH_WORD);
    helpOptions.ShowToolBarButton = isChecked(dialog, IDC_TOOLBAR_BUTTON);
    helpOptions.ShowContextMenuEntry = isChecked(dialog, IDC_CONTEXT_ENTRY);
    helpOptions.ShowContextMenuEntryOnTop = isChecked(dialog, IDC_CONTEXT_ON_TOP);
    helpOptions.ShowMenuIcons = isChecked(dialog, IDC_MENU_ICONS);
    rebuildHelpMenuEntries();
    EndDialog(dialog, 1);
}

void onListNotification(HWND dialog, WORD notification)
{
    switch (notification) {
    case LBN_SELCANCEL:
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
    case IDC_MENU_DONT_SHOW:
    case IDC_MENU_PLUGIN:
    case IDC_MENU_HELP:
    case IDC_MENU_CONTEXT:
        updateSearchWordBox(dialog);
        break;
    case IDC_CONTEXT_ENTRY:
        enableControl(dialog, IDC_CONTEXT_ON_TOP, isChecked(dialog, IDC_CONTEXT_ENTRY));
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

const wchar_t* formatEntryRow(const HelpEntry& entry)
{
    static wchar_t row[textCapacity];
    StringCchPrintfW(row, _countof(row), L"%s (%s) => %s", entry.Name, entry.Mask, entry.File);
    return row;
}
