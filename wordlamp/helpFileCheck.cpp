#include "helpViewers.h"
#include "userMessages.h"

#include <shlwapi.h>

namespace wordlamp {

bool helpFileExists(const wchar_t* location)
{
    if (PathFileExistsW(location))
        return true;
    showInformation(L"The specified help file does not exist!");
    return false;
}

} // namespace wordlamp
