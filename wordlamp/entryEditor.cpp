#include "entryEditor.h"

#include "accessibleNames.h"
#include "entryEditorDialog.h"
#include "helpLookup.h"
#include "pathTemplate.h"
#include "pluginHost.h"
#include "resource.h"
#include "userMessages.h"
#include "wordPlacement.h"

#include <commdlg.h>
#include <strsafe.h>

#include <cstddef>

namespace wordlamp {

namespace {
const EntryField entryFields[] = {
    {IDC_ENTRY_NAME, EntryField::text, offsetof(HelpEntry, Name), pathCapacity},
    {IDC_ENTRY_MASK, EntryField::text, offsetof(HelpEntry, Mask), pathCapacity},
    {IDC_ENTRY_FILE, EntryField::text, offsetof(HelpEntry, File), pathCapacity},
    {IDC_ENTRY_SHOW, EntryField::flag, offsetof(HelpEntry, Show), 0},
};

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

void readLocation(HWND dialog, wchar_t (&location)[pathCapacity])
{
    EntryEditorDialog::readField(dialog, IDC_ENTRY_FILE, location, pathCapacity);
}

void onBrowse(HWND dialog)
{
    wchar_t location[pathCapacity];
    readLocation(dialog, location);
    wchar_t file[pathCapacity];
    StringCchCopyW(file, _countof(file), expandPathTemplate(location));
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
    readLocation(dialog, location);
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

class HelpEntryEditor final : public TableEntryEditor<HelpEntryTable> {
public:
    HelpEntryEditor(HelpEntry& entry, const HelpEntryTable& table, int editedSlot)
        : TableEntryEditor(entry, table, editedSlot, entryFields, _countof(entryFields))
    {
    }

private:
    void onOpened(HWND dialog) override { setAccessibleName(GetDlgItem(dialog, IDC_ENTRY_BROWSE), browseButtonName); }
    void onClosing(HWND dialog) override { clearAccessibleName(GetDlgItem(dialog, IDC_ENTRY_BROWSE)); }

    void onCommand(HWND dialog, WORD id) override
    {
        switch (id) {
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
    }
};
} // namespace

bool editEntry(HWND owner, HelpEntry& entry, const HelpEntryTable& table, int editedSlot)
{
    return HelpEntryEditor(entry, table, editedSlot).show(pluginModule, IDD_ENTRY_EDITOR, owner);
}

} // namespace wordlamp
