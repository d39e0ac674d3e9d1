// The entry editor of the Options dialog: one help entry's name, masks, location and menu flag.
#include "optionsDialog.h"

#include "accessibleNames.h"

#include "entryEditorHelpers.h"
#include "openDialogs.h"

#include "helpLookup.h"
#include "pathTemplate.h"
#include "pluginHost.h"
#include "resource.h"
#include "userMessages.h"
#include "wordPlacement.h"

#include <commdlg.h>
#include <strsafe.h>

namespace wordlamp {

namespace {
// What the editor works on: the Options dialog's state and the slot of the entry being edited.
struct EditorContext {
    HelpEntryDialog& options;
    int editedSlot;
};

HelpEntryDialog& optionsOf(HWND dialog)
{
    return reinterpret_cast<EditorContext*>(GetWindowLongPtrW(dialog, DWLP_USER))->options;
}

const int entryFields[] = {IDC_ENTRY_NAME, IDC_ENTRY_MASK, IDC_ENTRY_FILE};

// What a screen reader says for the "..." button, whose caption alone tells nothing.
const wchar_t browseButtonName[] = L"Browse for the help file";

const wchar_t openFileFilter[] = L"Help files (*.chm)\0*.chm\0"
                                 L"Html help files (*.htm)\0*.htm;*.html\0"
                                 L"PDF files (*.pdf)\0*.pdf\0"
                                 L"All files (*.*)\0*.*\0";

const wchar_t templateHelp[]
    = L"The help file path may point to a local CHM, HLP, or PDF files for keword search.\n"
      L"Alternatively, the field may point to a command/file that will be shell executed.\n"
      L"This include HTML file both on the local machine and on the internet.\n"
      L"\n"
      L"The help file path edit box may contain special substitution strings:\n"
      L"\n"
      L"$fullpath$ = full path of the currectly active file\n"
      L"$dir$ = directory of the currectly active file\n"
      L"$name$ = file name without extension of the currectly active file\n"
      L"$ext$ = extension of the currectly active file\n"
      L"$word$ = currently selected word\n"
      L"$nppdir$ = directory of notepad.exe\n"
      L"$pdir$ = plugin directory\n"
      L"$cdir$ = config directory\n"
      L"$wdir$ = current working directory for the process\n"
      L"$date$ = current date YYYYMMDD\n"
      L"$time$ = current time HHMMSS\n"
      L"\n"
      L"Additionally enviroment variables are accepted in the form %envvar%.\n"
      L"For example: %programfiles% will be replaced by \"c:\\program files\"\n"
      L"For example: https://duckduckgo.com/?q=$word$ will search for the current word on DuckDuckGo.\n"
      L"\n"
      L"The word is taken as it is: nothing in it is replaced. In a web address it is percent-encoded\n"
      L"(UTF-8); a program gets it as one argument. A batch file gets no word holding\n"
      L"& | < > ^ % ! \" ( ) or a line break.\n"
      L"\n"
      L"Use the test button to see the expanded path based on current settings.\n";

void readField(HWND dialog, int id, wchar_t (&field)[pathCapacity])
{
    field[0] = L'\0';
    GetDlgItemTextW(dialog, id, field, static_cast<int>(pathCapacity));
}

void fillEntryEditor(HWND dialog)
{
    const auto& record = optionsOf(dialog).EditRecord;
    for (int id : entryFields)
        SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, pathCapacity, 0);
    SetDlgItemTextW(dialog, IDC_ENTRY_NAME, record.Name);
    SetDlgItemTextW(dialog, IDC_ENTRY_MASK, record.Mask);
    SetDlgItemTextW(dialog, IDC_ENTRY_FILE, record.File);
    CheckDlgButton(dialog, IDC_ENTRY_SHOW, record.Show ? BST_CHECKED : BST_UNCHECKED);
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
    readField(dialog, IDC_ENTRY_FILE, record.File);
    record.Show = IsDlgButtonChecked(dialog, IDC_ENTRY_SHOW) == BST_CHECKED;
    EndDialog(dialog, IDOK);
}

// The expansion of the path field.
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

void expandUpToWord(HWND dialog, ExpandedTemplate& expanded)
{
    wchar_t location[pathCapacity];
    readField(dialog, IDC_ENTRY_FILE, location);
    expandTemplateAroundWord(location, expanded);
}

// Shows the location as a lookup would open it, with the word encoded where it goes into an address.
void onExpand(HWND dialog)
{
    ExpandedTemplate expanded;
    expandUpToWord(dialog, expanded);
    wchar_t word[textCapacity] = L"";
    if (expanded.placeCount > 0)
        askEditor(NPPM_GETCURRENTWORD, word, _countof(word));
    std::wstring placed;
    if (placeWord(expanded, kindOfLocation(expanded.text), word, placed))
        showInformation(placed.c_str());
}

void onTest(HWND dialog)
{
    ExpandedTemplate expanded;
    expandUpToWord(dialog, expanded);
    wchar_t word[textCapacity];
    askEditor(NPPM_GETCURRENTWORD, word, _countof(word));
    openHelp(expanded, word);
}

INT_PTR CALLBACK entryEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        fillEntryEditor(dialog);
        setAccessibleName(GetDlgItem(dialog, IDC_ENTRY_BROWSE), browseButtonName);
        onDialogOpened(dialog);
        return TRUE;
    case WM_DESTROY:
        clearAccessibleName(GetDlgItem(dialog, IDC_ENTRY_BROWSE));
        onDialogClosed(dialog);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            onOk(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
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
            showInformation(templateHelp);
            break;
        }
        return TRUE;
    }
    return FALSE;
}
} // namespace

bool editEntry(HWND owner, HelpEntryDialog& options, int editedSlot)
{
    EditorContext context = {options, editedSlot};
    return DialogBoxParamW(pluginModule, MAKEINTRESOURCEW(IDD_ENTRY_EDITOR), owner, entryEditorProc,
               reinterpret_cast<LPARAM>(&context))
        == IDOK;
}

} // namespace wordlamp
