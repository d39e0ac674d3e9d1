#include "entryEditorHelpers.h"

#include "hostInterface.h"
#include "settingsFile.h"
#include "textBuffers.h"
#include "userMessages.h"

#include <strsafe.h>

namespace {
const wchar_t* const templateHelpLines[] = {
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

} // namespace

void showTemplateHelp()
{
    wchar_t text[helpTextCapacity] = L"";
    for (const wchar_t* line : templateHelpLines) {
        StringCchCatW(text, _countof(text), line);
        StringCchCatW(text, _countof(text), L"\n");
    }
    showInformation(text);
}

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
