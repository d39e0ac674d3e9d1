// The entry editor of the Options dialog: one help entry's name, masks, location and menu flag.
#include "optionsDialog.h"

#include "helpLookup.h"
#include "pathTemplate.h"
#include "pluginHost.h"
#include "resource.h"
#include "userMessages.h"

#include <commdlg.h>
#include <strsafe.h>

namespace {
const int entryFields[] = {IDC_ENTRY_NAME, IDC_ENTRY_MASK, IDC_ENTRY_FILE};

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

const wchar_t openFileFilter[] = L"Help files (*.chm)\0*.chm\0"
                                 L"Html help files (*.htm)\0*.htm;*.html\0"
                                 L"PDF files (*.pdf)\0*.pdf\0"
                                 L"All files (*.*)\0*.*\0";

void readField(HWND dialog, int id, wchar_t (&field)[pathCapacity])
{
    field[0] = L'\0';
    GetDlgItemTextW(dialog, id, field, static_cast<int>(pathCapacity));
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
// entry's own section would lose the entry at the next start. Writes the reason into message.
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
    for (unsigned i = 0; i < WorkingTable.Count; ++i) {
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
            onHelp();
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
