#include "darkMode.h"

#include "editorVersion.h"
#include "pluginHost.h"

namespace {
// Options dialog, entry editor, and room for what they open in turn.
constexpr int maxThemedDialogs = 8;
HWND themedDialogs[maxThemedDialogs] = {};

// Plug-in dialogs can be themed from 8.5.4 on; earlier editors may give the message another meaning.
bool editorThemesDialogs()
{
    return editorIsAtLeast(8, 540);
}

void keep(HWND dialog)
{
    for (HWND& slot : themedDialogs)
        if (slot == dialog)
            return;
    for (HWND& slot : themedDialogs)
        if (slot == nullptr) {
            slot = dialog;
            return;
        }
}
} // namespace

void themeDialog(HWND dialog)
{
    if (dialog == nullptr || !editorThemesDialogs())
        return;
    SendMessageW(nppData._nppHandle, NPPM_DARKMODESUBCLASSANDTHEME, darkModeThemeAtInit, reinterpret_cast<LPARAM>(dialog));
    keep(dialog);
}

void forgetThemedDialog(HWND dialog)
{
    for (HWND& slot : themedDialogs)
        if (slot == dialog)
            slot = nullptr;
}

void onDarkModeChanged()
{
    for (HWND& dialog : themedDialogs) {
        // A dialog that went without telling is no longer ours to theme.
        if (dialog != nullptr && !IsWindow(dialog))
            dialog = nullptr;
        if (dialog == nullptr)
            continue;
        SendMessageW(nppData._nppHandle, NPPM_DARKMODESUBCLASSANDTHEME, darkModeThemeOnChange, reinterpret_cast<LPARAM>(dialog));
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}
