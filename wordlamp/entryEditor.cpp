// The entry editor of the Options dialog: one help entry's name, masks, location and menu flag.
#include "optionsDialog.h"

#include "darkMode.h"
#include "entryEditorHelpers.h"

#include "helpLookup.h"
#include "pathTemplate.h"
#include "pluginHost.h"
#include "resource.h"
#include "userMessages.h"

#include <commdlg.h>
#include <strsafe.h>

namespace {
const int entryFields[] = {IDC_ENTRY_NAME, IDC_ENTRY_MASK, IDC_ENTRY_FILE};

const wchar_t openFileFilter[] = L"Help files (*.chm)\0*.chm\0"
                                 L"Html help files (*.htm)\0*.htm;*.html\0"
                                 L"PDF files (*.pdf)\0*.pdf\0"
                                 L"All files (*.*)\0*.*\0";

void readField(HWND dialog, int id, wchar_t (&field)[pathCapacity])
{
    field[0] = L'\0';
    GetDlgItemTextW(dialog, id, field, static_cast<int>(pathCapacity));
}

void fillEntryEditor(HWND dialog)
{
    for (int id : entryFields)
        SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, pathCapacity, 0);
    SetDlgItemTextW(dialog, IDC_ENTRY_NAME, EditRecord.Name);
    SetDlgItemTextW(dialog, IDC_ENTRY_MASK, EditRecord.Mask);
    SetDlgItemTextW(dialog, IDC_ENTRY_FILE, EditRecord.File);
    CheckDlgButton(dialog, IDC_ENTRY_SHOW, EditRecord.Show ? BST_CHECKED : BST_UNCHECKED);
}

void onOk(HWND dialog)
{
    wchar_t name[pathCapacity];
    readField(dialog, IDC_ENTRY_NAME, name);
    int editedSlot = static_cast<int>(GetWindowLongPtrW(dialog, DWLP_USER));
    wchar_t message[textCapacity];
    if (isTableEntryNameRefused(name, WorkingTable, editedSlot, message, _countof(message))) {
        showRefusedName(dialog, IDC_ENTRY_NAME, message);
        return;
    }
    StringCchCopyW(EditRecord.Name, _countof(EditRecord.Name), name);
    readField(dialog, IDC_ENTRY_MASK, EditRecord.Mask);
    readField(dialog, IDC_ENTRY_FILE, EditRecord.File);
    EditRecord.Show = IsDlgButtonChecked(dialog, IDC_ENTRY_SHOW) == BST_CHECKED;
    EndDialog(dialog, 1);
}

// The expansion of the path field, kept apart from the shared expansion buffer.
void expandPathField(HWND dialog, wchar_t (&expanded)[pathCapacity])
{
    wchar_t location[pathCapacity];
    readField(dialog, IDC_ENTRY_FILE, location);
    StringCchCopyW(expanded, pathCapacity, expandPathTemplate(location));
}

void onBrowse(HWND dialog)
{
    wchar_t file[pathCapacity];
    expandPathField(dialog, file);
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = dialog;
    request.lpstrFilter = openFileFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = file;
    request.nMaxFile = _countof(file);
    request.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
    if (GetOpenFileNameW(&request))
        SetDlgItemTextW(dialog, IDC_ENTRY_FILE, file);
}

void onExpand(HWND dialog)
{
    wchar_t expanded[pathCapacity];
    expandPathField(dialog, expanded);
    showInformation(expanded);
}

void onTest(HWND dialog)
{
    wchar_t location[pathCapacity];
    expandPathField(dialog, location);
    wchar_t word[textCapacity];
    askEditor(NPPM_GETCURRENTWORD, word, _countof(word));
    openHelp(location, word);
}

INT_PTR CALLBACK entryEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        fillEntryEditor(dialog);
        themeDialog(dialog);
        return TRUE;
    case WM_DESTROY:
        forgetThemedDialog(dialog);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onOk(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_ENTRY_BROWSE:
            onBrowse(dialog);
            break;
        case IDC_ENTRY_EXPAND:
            onExpand(dialog);
            break;
        case IDC_ENTRY_TEST:
            onTest(dialog);
            break;
        case IDC_ENTRY_HELP:
            showTemplateHelp();
            break;
        }
        return TRUE;
    }
    return FALSE;
}
} // namespace

INT_PTR editEntry(HWND owner, int editedSlot)
{
    INT_PTR result = DialogBoxParamW(
        pluginModule, MAKEINTRESOURCEW(IDD_ENTRY_EDITOR), owner, entryEditorProc, static_cast<LPARAM>(editedSlot));
    return result == 1 ? 1 : 0;
}
