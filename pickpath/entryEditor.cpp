// The entry editor of the Options dialog: one search entry's name, masks, folders and extensions.
#include "optionsDialog.h"

#include "darkMode.h"
#include "entryEditorHelpers.h"

#include "pathTemplate.h"
#include "pluginHost.h"
#include "pluginIdentity.h"
#include "resource.h"
#include "userMessages.h"

#include <strsafe.h>

namespace {
template <size_t capacity> void readField(HWND dialog, int id, wchar_t (&field)[capacity])
{
    field[0] = L'\0';
    GetDlgItemTextW(dialog, id, field, static_cast<int>(capacity));
}

void fillEntryEditor(HWND dialog)
{
    SendDlgItemMessageW(dialog, IDC_ENTRY_NAME, EM_LIMITTEXT, _countof(EditRecord.Name), 0);
    SendDlgItemMessageW(dialog, IDC_ENTRY_MASK, EM_LIMITTEXT, _countof(EditRecord.Mask), 0);
    SendDlgItemMessageW(dialog, IDC_ENTRY_PATH, EM_LIMITTEXT, _countof(EditRecord.Path), 0);
    SendDlgItemMessageW(dialog, IDC_ENTRY_EXT, EM_LIMITTEXT, _countof(EditRecord.Ext), 0);
    SetDlgItemTextW(dialog, IDC_ENTRY_NAME, EditRecord.Name);
    SetDlgItemTextW(dialog, IDC_ENTRY_MASK, EditRecord.Mask);
    SetDlgItemTextW(dialog, IDC_ENTRY_PATH, EditRecord.Path);
    SetDlgItemTextW(dialog, IDC_ENTRY_EXT, EditRecord.Ext);
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
    readField(dialog, IDC_ENTRY_PATH, EditRecord.Path);
    readField(dialog, IDC_ENTRY_EXT, EditRecord.Ext);
    EndDialog(dialog, 1);
}

// One expansion holds 259 characters. A longer field is expanded folder by folder, so that the
// user sees every folder rather than a cut text.
void expandSearchPaths(const wchar_t* paths, wchar_t* expanded, size_t capacity)
{
    if (wcslen(paths) < pathCapacity) {
        StringCchCopyW(expanded, capacity, expandPathTemplate(paths));
        if (wcslen(expanded) + 1 < pathCapacity)
            return;
    }
    expanded[0] = L'\0';
    for (const wchar_t* item = paths;;) {
        const wchar_t* end = wcschr(item, L';');
        size_t length = end != nullptr ? static_cast<size_t>(end - item) : wcslen(item);
        wchar_t itemText[folderListCapacity];
        StringCchCopyNW(itemText, _countof(itemText), item, length);
        if (StringCchCatW(expanded, capacity, expandPathTemplate(itemText)) != S_OK || end == nullptr
            || StringCchCatW(expanded, capacity, L";") != S_OK)
            return;
        item = end + 1;
    }
}

void onExpand(HWND dialog)
{
    readField(dialog, IDC_ENTRY_PATH, EditRecord.Path);
    wchar_t expanded[helpTextCapacity];
    expandSearchPaths(EditRecord.Path, expanded, _countof(expanded));
    showInformation(expanded);
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
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_ENTRY_HELP:
            showTemplateHelp();
            return TRUE;
        case IDC_ENTRY_EXPAND:
            onExpand(dialog);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
} // namespace

INT_PTR editEntry(HWND owner, int editedSlot)
{
    return DialogBoxParamW(pluginModule, MAKEINTRESOURCEW(IDD_ENTRY_EDITOR), owner, entryEditorProc, editedSlot);
}
