// The entry editor of the Options dialog: one search entry's name, masks, folders and extensions.
#include "optionsDialog.h"

#include "pathTemplate.h"
#include "pluginHost.h"
#include "pluginIdentity.h"
#include "resource.h"
#include "userMessages.h"

#include <strsafe.h>

namespace {
const wchar_t* const helpTextLines[] = {
    L"The help file path may point to a local CHM, HLP, or PDF files for keword search.",
    L"Alternatively, the field may point to a command/file that will be shell executed.",
    L"This include HTML file both on the local machine and on the internet.",
    L"",
    L"The help file path edit box may contain special substitution strings:",
    L"",
    L"$fullpath$ = full path of the currectly active file",
    L"$dir$ = directory of the currectly active file",
    L"$name$ = file name without extension of the currectly active file",
    L"$ext$ = extension of the currectly active file",
    L"$word$ = currently selected word",
    L"$nppdir$ = directory of notepad.exe",
    L"$pdir$ = plugin directory",
    L"$cdir$ = config directory",
    L"$wdir$ = current working directory for the process",
    L"$date$ = current date YYYYMMDD",
    L"$time$ = current time HHMMSS",
    L"",
    L"Additionally enviroment variables are accepted in the form %envvar%.",
    L"For example: %programfiles% will be replaced by \"c:\\program files\"",
    L"For example: https://duckduckgo.com/?q=$word$ will search for the current word on DuckDuckGo.",
    L"",
    L"Use the test button to see the expanded path based on current settings.",
};

template <size_t capacity> void readField(HWND dialog, int id, wchar_t (&field)[capacity])
{
    field[0] = L'\0';
    GetDlgItemTextW(dialog, id, field, static_cast<int>(capacity));
}

// The profile functions ignore blanks around a section name, so names are compared without them.
void trimBlanks(const wchar_t* name, const wchar_t** begin, size_t* length)
{
    const wchar_t* first = name;
    while (*first == L' ' || *first == L'\t')
        ++first;
    size_t count = wcslen(first);
    while (count > 0 && (first[count - 1] == L' ' || first[count - 1] == L'\t'))
        --count;
    *begin = first;
    *length = count;
}

// The profile functions take two section names for one regardless of case, so names that differ
// only in case are one name here too.
bool sameSectionName(const wchar_t* left, const wchar_t* right)
{
    const wchar_t* leftBegin;
    const wchar_t* rightBegin;
    size_t leftLength;
    size_t rightLength;
    trimBlanks(left, &leftBegin, &leftLength);
    trimBlanks(right, &rightBegin, &rightLength);
    return CompareStringOrdinal(
               leftBegin, static_cast<int>(leftLength), rightBegin, static_cast<int>(rightLength), TRUE)
        == CSTR_EQUAL;
}

// A name is the entry's section in the settings file: one that could not be read back as this
// entry's own section would lose the entry, or another one, at the next start. Writes the reason
// into message.
bool isNameRefused(const wchar_t* name, int editedSlot, wchar_t* message, size_t capacity)
{
    const wchar_t* begin;
    size_t length;
    trimBlanks(name, &begin, &length);
    if (length == 0) {
        StringCchCopyW(message, capacity, L"Please enter a name for this entry.");
        return true;
    }
    if (wcspbrk(name, L"]\r\n") != nullptr) {
        StringCchCopyW(message, capacity, L"A name cannot hold \"]\" or a line break. Please choose another name.");
        return true;
    }
    if (sameSectionName(name, L"Options")) {
        StringCchCopyW(message, capacity,
            L"The name \"Options\" is kept for the plugin's own settings. Please choose another name.");
        return true;
    }
    for (unsigned i = 0; i < WorkingTable.Count && i < MaxSearchEntries; ++i) {
        if (static_cast<int>(i) != editedSlot && sameSectionName(name, WorkingTable.Entries[i].Name)) {
            StringCchPrintfW(message, capacity, L"Another entry is already named \"%s\". Please choose another name.",
                WorkingTable.Entries[i].Name);
            return true;
        }
    }
    return false;
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
    if (isNameRefused(name, editedSlot, message, _countof(message))) {
        // The editor stays open so that the user can put the name right.
        MessageBoxW(dialog, message, getName(), MB_OK | MB_ICONINFORMATION);
        HWND nameField = GetDlgItem(dialog, IDC_ENTRY_NAME);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(nameField), TRUE);
        SendMessageW(nameField, EM_SETSEL, 0, -1);
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

void onHelp()
{
    wchar_t text[helpTextCapacity] = L"";
    for (const wchar_t* line : helpTextLines) {
        StringCchCatW(text, _countof(text), line);
        StringCchCatW(text, _countof(text), L"\n");
    }
    showInformation(text);
}

INT_PTR CALLBACK entryEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        fillEntryEditor(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_ENTRY_HELP:
            onHelp();
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
