// The entry editor of the Options dialog: one search entry's name, masks, folders and extensions.
#include "optionsDialog.h"

#include "entryEditorHelpers.h"
#include "openDialogs.h"

#include "pathTemplate.h"
#include "pluginHost.h"
#include "pluginIdentity.h"
#include "resource.h"
#include "userMessages.h"

#include <strsafe.h>

namespace pickpath {

namespace {
// Each folder of a full list may grow when expanded; the expanded list is shown whole.
constexpr size_t expandedListCapacity = 8192;

const wchar_t templateHelp[]
    = L"The search path holds folders separated by \";\" (e.g.: c:\\a;c:\\b).\n"
      L"A folder written as !c:\\a is searched with all of its sub-folders.\n"
      L"The extensions are tried on a selection that has none (e.g.: .c;.h).\n"
      L"\n"
      L"The search path may contain special substitution strings:\n"
      L"\n"
      L"$fullpath$ = full path of the currently active file\n"
      L"$dir$ = directory of the currently active file\n"
      L"$name$ = file name without extension of the currently active file\n"
      L"$ext$ = extension of the currently active file\n"
      L"$word$ = currently selected word\n"
      L"$nppdir$ = directory of notepad++.exe\n"
      L"$pdir$ = plugin directory\n"
      L"$cdir$ = config directory\n"
      L"$wdir$ = current working directory for the process\n"
      L"$date$ = current date YYYYMMDD\n"
      L"$time$ = current time HHMMSS\n"
      L"\n"
      L"Environment variables are accepted in the form %envvar%, e.g. %userprofile%\\include.\n"
      L"\n"
      L"Use the Expand button to see the search path expanded for the current file.\n";

// What the editor works on: the Options dialog's state and the slot of the entry being edited.
struct EditorContext {
    SearchEntryDialog& options;
    int editedSlot;
};

SearchEntryDialog& optionsOf(HWND dialog)
{
    return reinterpret_cast<EditorContext*>(GetWindowLongPtrW(dialog, DWLP_USER))->options;
}

template <size_t capacity> void readField(HWND dialog, int id, wchar_t (&field)[capacity])
{
    field[0] = L'\0';
    GetDlgItemTextW(dialog, id, field, static_cast<int>(capacity));
}

void fillEntryEditor(HWND dialog)
{
    const auto& record = optionsOf(dialog).EditRecord;
    SendDlgItemMessageW(dialog, IDC_ENTRY_NAME, EM_LIMITTEXT, _countof(record.Name), 0);
    SendDlgItemMessageW(dialog, IDC_ENTRY_MASK, EM_LIMITTEXT, _countof(record.Mask), 0);
    SendDlgItemMessageW(dialog, IDC_ENTRY_PATH, EM_LIMITTEXT, _countof(record.Path), 0);
    SendDlgItemMessageW(dialog, IDC_ENTRY_EXT, EM_LIMITTEXT, _countof(record.Ext), 0);
    SetDlgItemTextW(dialog, IDC_ENTRY_NAME, record.Name);
    SetDlgItemTextW(dialog, IDC_ENTRY_MASK, record.Mask);
    SetDlgItemTextW(dialog, IDC_ENTRY_PATH, record.Path);
    SetDlgItemTextW(dialog, IDC_ENTRY_EXT, record.Ext);
}

void onOk(HWND dialog)
{
    wchar_t name[pathCapacity];
    readField(dialog, IDC_ENTRY_NAME, name);
    const EditorContext& context = *reinterpret_cast<EditorContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
    wchar_t message[textCapacity];
    if (isTableEntryNameRefused(name, context.options.WorkingTable, context.editedSlot, message, _countof(message))) {
        showRefusedName(dialog, IDC_ENTRY_NAME, message);
        return;
    }
    auto& record = context.options.EditRecord;
    StringCchCopyW(record.Name, _countof(record.Name), name);
    readField(dialog, IDC_ENTRY_MASK, record.Mask);
    readField(dialog, IDC_ENTRY_PATH, record.Path);
    readField(dialog, IDC_ENTRY_EXT, record.Ext);
    EndDialog(dialog, IDOK);
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
    wchar_t paths[folderListCapacity];
    readField(dialog, IDC_ENTRY_PATH, paths);
    wchar_t expanded[expandedListCapacity];
    expandSearchPaths(paths, expanded, _countof(expanded));
    showInformation(expanded);
}

INT_PTR CALLBACK entryEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        fillEntryEditor(dialog);
        onDialogOpened(dialog);
        return TRUE;
    case WM_DESTROY:
        onDialogClosed(dialog);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_ENTRY_HELP:
            showInformation(templateHelp);
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

bool editEntry(HWND owner, SearchEntryDialog& options, int editedSlot)
{
    EditorContext context = {options, editedSlot};
    return DialogBoxParamW(pluginModule, MAKEINTRESOURCEW(IDD_ENTRY_EDITOR), owner, entryEditorProc,
               reinterpret_cast<LPARAM>(&context))
        == IDOK;
}

} // namespace pickpath
