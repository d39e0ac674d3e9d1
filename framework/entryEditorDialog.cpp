#include "entryEditorDialog.h"

#include "dialogObject.h"
#include "editorCalls.h"
#include "iniText.h"
#include "openDialogs.h"
#include "pluginIdentity.h"
#include "textBuffers.h"

#include <strsafe.h>

#include <vector>

namespace {
wchar_t* textIn(void* entry, const EntryField& field)
{
    return reinterpret_cast<wchar_t*>(static_cast<char*>(entry) + field.offset);
}

int& flagIn(void* entry, const EntryField& field)
{
    return *reinterpret_cast<int*>(static_cast<char*>(entry) + field.offset);
}

// Tells the user why the name was refused and puts the caret back into the name field; the entry
// editor stays open.
void showRefusedName(HWND editor, const wchar_t* message)
{
    MessageBoxW(editor, message, pluginName().c_str(), MB_OK | MB_ICONINFORMATION);
    HWND field = GetDlgItem(editor, IDC_ENTRY_NAME);
    SendMessageW(editor, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
}
} // namespace

bool isEntryNameRefused(
    const wchar_t* name, const wchar_t* const* otherNames, size_t otherCount, wchar_t* message, size_t capacity)
{
    if (sameSectionName(name, L"")) {
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
    for (size_t i = 0; i < otherCount; ++i) {
        if (sameSectionName(name, otherNames[i])) {
            StringCchPrintfW(message, capacity, L"Another entry is already named \"%s\". Please choose another name.",
                otherNames[i]);
            return true;
        }
    }
    return false;
}

bool EntryEditorDialog::show(HINSTANCE module, int templateId, HWND owner)
{
    return DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), owner, dialogProc, reinterpret_cast<LPARAM>(this))
        == IDOK;
}

void EntryEditorDialog::readField(HWND dialog, int id, wchar_t* text, size_t capacity)
{
    text[0] = L'\0';
    GetDlgItemTextW(dialog, id, text, static_cast<int>(capacity));
}

INT_PTR CALLBACK EntryEditorDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = dialogObject<EntryEditorDialog>(dialog, message, lParam);
    if (self == nullptr)
        return FALSE;
    return callGuarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            self->fill(dialog);
            self->onOpened(dialog);
            onDialogOpened(dialog);
            return TRUE;
        case WM_DESTROY:
            self->onClosing(dialog);
            onDialogClosed(dialog);
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
                self->onOk(dialog);
                break;
            case IDCANCEL:
                EndDialog(dialog, IDCANCEL);
                break;
            default:
                self->onCommand(dialog, LOWORD(wParam));
                break;
            }
            return TRUE;
        }
        return FALSE;
    });
}

void EntryEditorDialog::fill(HWND dialog)
{
    for (size_t i = 0; i < fieldCount_; ++i) {
        const EntryField& field = fields_[i];
        if (field.kind == EntryField::text) {
            SendDlgItemMessageW(dialog, field.control, EM_LIMITTEXT, field.capacity, 0);
            SetDlgItemTextW(dialog, field.control, textIn(entry_, field));
        } else {
            CheckDlgButton(dialog, field.control, flagIn(entry_, field) ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

void EntryEditorDialog::onOk(HWND dialog)
{
    wchar_t name[pathCapacity];
    readField(dialog, IDC_ENTRY_NAME, name, _countof(name));
    wchar_t message[textCapacity];
    if (isNameRefused(name, message, _countof(message))) {
        showRefusedName(dialog, message);
        return;
    }
    for (size_t i = 0; i < fieldCount_; ++i) {
        const EntryField& field = fields_[i];
        if (field.kind == EntryField::text)
            readField(dialog, field.control, textIn(entry_, field), field.capacity);
        else
            flagIn(entry_, field) = IsDlgButtonChecked(dialog, field.control) == BST_CHECKED;
    }
    EndDialog(dialog, IDOK);
}
