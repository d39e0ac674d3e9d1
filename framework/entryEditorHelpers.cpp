#include "entryEditorHelpers.h"

#include "hostInterface.h"
#include "iniText.h"
#include "userMessages.h"

#include <strsafe.h>

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

void showRefusedName(HWND editor, int nameField, const wchar_t* message)
{
    MessageBoxW(editor, message, getName(), MB_OK | MB_ICONINFORMATION);
    HWND field = GetDlgItem(editor, nameField);
    SendMessageW(editor, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
}
