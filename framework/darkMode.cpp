#include "darkMode.h"

#include "editorVersion.h"
#include "pluginHost.h"

#include <algorithm>
#include <vector>

namespace {
// The Options dialog, the entry editor and what they open in turn.
std::vector<HWND> themedDialogs;

// Plug-in dialogs can be themed from 8.5.4 on; earlier editors may give the message another meaning.
bool editorThemesDialogs()
{
    return editorIsAtLeast(8, 540);
}

void keep(HWND dialog)
{
    if (std::find(themedDialogs.begin(), themedDialogs.end(), dialog) == themedDialogs.end())
        themedDialogs.push_back(dialog);
}
} // namespace

void themeDialog(HWND dialog)
{
    if (dialog == nullptr || !editorThemesDialogs())
        return;
    SendMessageW(
        nppData._nppHandle, NPPM_DARKMODESUBCLASSANDTHEME, darkModeThemeAtInit, reinterpret_cast<LPARAM>(dialog));
    keep(dialog);
}

void forgetThemedDialog(HWND dialog)
{
    themedDialogs.erase(std::remove(themedDialogs.begin(), themedDialogs.end(), dialog), themedDialogs.end());
}

void onDarkModeChanged()
{
    // A dialog that went without telling is no longer ours to theme.
    themedDialogs.erase(
        std::remove_if(themedDialogs.begin(), themedDialogs.end(), [](HWND dialog) { return !IsWindow(dialog); }),
        themedDialogs.end());
    // A copy: a dialog that closes while the others are themed leaves the list meanwhile.
    const std::vector<HWND> dialogs = themedDialogs;
    for (HWND dialog : dialogs) {
        SendMessageW(
            nppData._nppHandle, NPPM_DARKMODESUBCLASSANDTHEME, darkModeThemeOnChange, reinterpret_cast<LPARAM>(dialog));
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}
