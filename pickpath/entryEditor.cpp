#include "entryEditor.h"

#include "entryEditorDialog.h"
#include "pathTemplate.h"
#include "pluginHost.h"
#include "resource.h"
#include "textHelpers.h"
#include "userMessages.h"

#include <cstddef>
#include <string>

namespace pickpath {

namespace {
// Each folder of a full list may grow when expanded; the expanded list is shown up to this long.
constexpr size_t longestExpandedList = 8191;

const EntryField entryFields[] = {
    {IDC_ENTRY_NAME, EntryField::text, offsetof(SearchEntry, Name), pathCapacity},
    {IDC_ENTRY_MASK, EntryField::text, offsetof(SearchEntry, Mask), pathCapacity},
    {IDC_ENTRY_PATH, EntryField::text, offsetof(SearchEntry, Path), folderListCapacity},
    {IDC_ENTRY_EXT, EntryField::text, offsetof(SearchEntry, Ext), pathCapacity},
};

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

// One expansion holds 259 characters. A longer field is expanded folder by folder, so that the
// user sees every folder rather than a cut text.
std::wstring expandSearchPaths(const wchar_t* paths)
{
    if (wcslen(paths) < pathCapacity) {
        std::wstring whole = expandPathTemplate(paths).text;
        if (whole.size() + 1 < pathCapacity)
            return whole;
    }
    std::wstring expanded;
    bool first = true;
    for (std::wstring_view item : ListItems(paths)) {
        if (!first)
            expanded += L';';
        first = false;
        expanded += expandPathTemplate(std::wstring(item).c_str()).text;
        if (expanded.size() >= longestExpandedList) {
            expanded.resize(longestExpandedList);
            break;
        }
    }
    return expanded;
}

void onExpand(HWND dialog)
{
    wchar_t paths[folderListCapacity];
    EntryEditorDialog::readField(dialog, IDC_ENTRY_PATH, paths, _countof(paths));
    showInformation(expandSearchPaths(paths).c_str());
}

class SearchEntryEditor final : public TableEntryEditor<SearchEntryTable> {
public:
    SearchEntryEditor(SearchEntry& entry, const SearchEntryTable& table, int editedSlot)
        : TableEntryEditor(entry, table, editedSlot, entryFields, _countof(entryFields))
    {
    }

private:
    void onCommand(HWND dialog, WORD id) override
    {
        switch (id) {
        case IDC_ENTRY_HELP:
            showInformation(templateHelp);
            break;
        case IDC_ENTRY_EXPAND:
            onExpand(dialog);
            break;
        }
    }
};
} // namespace

bool editEntry(HWND owner, SearchEntry& entry, const SearchEntryTable& table, int editedSlot)
{
    return SearchEntryEditor(entry, table, editedSlot).show(pluginModule, IDD_ENTRY_EDITOR, owner);
}

} // namespace pickpath
