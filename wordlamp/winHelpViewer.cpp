// WinHelp files through the system's WinHelp.
#include "helpViewers.h"
#include "pluginHost.h"

namespace wordlamp {

void showWinHelp(const wchar_t* location, const wchar_t* word)
{
    if (!helpFileExists(location))
        return;
    // Without a word (a menu entry that doesn't search) the help file opens at its contents.
    if (word != nullptr && word[0] != L'\0')
        WinHelpW(nppData._nppHandle, location, HELP_KEY, reinterpret_cast<ULONG_PTR>(word));
    else
        WinHelpW(nppData._nppHandle, location, HELP_CONTENTS, 0);
}

} // namespace wordlamp
