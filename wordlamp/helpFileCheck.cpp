#include "helpViewers.h"
#include "textBuffers.h"
#include "userMessages.h"

#include <shlwapi.h>
#include <strsafe.h>

namespace wordlamp {

bool helpFileExists(const wchar_t* location)
{
    if (PathFileExistsW(location))
        return true;
    // The path as expanded, so the user sees which file was looked for.
    wchar_t text[textCapacity];
    StringCchPrintfW(text, _countof(text), L"The specified help file does not exist!\n%s", location);
    showInformation(text);
    return false;
}

} // namespace wordlamp
