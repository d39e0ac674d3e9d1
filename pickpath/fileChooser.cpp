#include "fileChooser.h"

#include "openDialogs.h"
#include "editorCalls.h"
#include "pluginHost.h"
#include "resource.h"
#include "textHelpers.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <string>

namespace pickpath {

namespace {
// The share of the list's width the name column may take; the folder column takes the rest.
constexpr int nameColumnShare = 40;

struct ChooserContext {
    const SearchOutcome& outcome;
    const wchar_t* name;
    int chosen;
};

ChooserContext& contextOf(HWND dialog)
{
    return *reinterpret_cast<ChooserContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_CHOOSER_LIST);
}

int selectedRow(HWND dialog)
{
    return static_cast<int>(SendMessageW(listOf(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void addColumn(HWND list, int index, const wchar_t* caption)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(caption);
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void addRow(HWND list, int row, const wchar_t* path)
{
    // A path in the long form may be longer than MAX_PATH.
    std::wstring folder(path, static_cast<size_t>(PathFindFileNameW(path) - path));
    if (folder.size() > 1 && folder.back() == L'\\' && folder[folder.size() - 2] != L':')
        folder.pop_back();
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = PathFindFileNameW(path);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = folder.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The names as wide as the longest needs, within their share; the folders take the rest.
void fitColumns(HWND list)
{
    RECT area = {};
    GetClientRect(list, &area);
    int width = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    // The wider of the longest name and the caption.
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    int nameWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    int captionWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    if (nameWidth < captionWidth)
        nameWidth = captionWidth;
    if (nameWidth > width * nameColumnShare / 100)
        nameWidth = width * nameColumnShare / 100;
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, nameWidth);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, width - nameWidth);
}

void fillChooser(HWND dialog)
{
    const ChooserContext& context = contextOf(dialog);
    wchar_t count[textCapacity];
    formatFoundCount(context.outcome, context.name, count, _countof(count));
    SetDlgItemTextW(dialog, IDC_CHOOSER_COUNT, count);
    HWND list = listOf(dialog);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
        LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    addColumn(list, 0, L"Name");
    addColumn(list, 1, L"Folder");
    const std::vector<FoundFile>& files = context.outcome.Files;
    for (size_t row = 0; row < files.size(); ++row)
        addRow(list, static_cast<int>(row), files[row].Path.c_str());
    fitColumns(list);
    // The first file, the one the open command opens, starts chosen.
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

void choose(HWND dialog, int row)
{
    if (row < 0)
        return;
    contextOf(dialog).chosen = row;
    EndDialog(dialog, IDOK);
}

INT_PTR onChooserMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        fillChooser(dialog);
        onDialogOpened(dialog);
        // The keyboard starts in the list.
        SetFocus(listOf(dialog));
        return FALSE;
    case WM_DESTROY:
        onDialogClosed(dialog);
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_CHOOSER_LIST)
            break;
        if (header->code == NM_DBLCLK)
            choose(dialog, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
        else if (header->code == LVN_ITEMCHANGED)
            EnableWindow(GetDlgItem(dialog, IDOK), selectedRow(dialog) >= 0);
        break;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            choose(dialog, selectedRow(dialog));
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK chooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return callGuarded<INT_PTR>(FALSE, [&] { return onChooserMessage(dialog, message, wParam, lParam); });
}
} // namespace

void formatFoundCount(const SearchOutcome& outcome, const wchar_t* name, wchar_t* text, size_t capacity)
{
    size_t count = outcome.Files.size();
    std::wstring number = groupedNumber(count);
    if (outcome.Capped)
        StringCchPrintfW(
            text, capacity, L"The first %s files found for \"%s\"; the search stopped there", number.c_str(), name);
    else
        StringCchPrintfW(
            text, capacity, L"%s %s found for \"%s\"", number.c_str(), count == 1 ? L"file" : L"files", name);
}

int chooseFoundFile(const SearchOutcome& outcome, const wchar_t* name)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ChooserContext context = {outcome, name, -1};
    INT_PTR result = DialogBoxParamW(pluginModule, MAKEINTRESOURCEW(IDD_CHOOSER), nppData._nppHandle, chooserProc,
        reinterpret_cast<LPARAM>(&context));
    return result == IDOK ? context.chosen : -1;
}

} // namespace pickpath
