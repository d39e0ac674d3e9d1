#include "maskList.h"

#include "textBuffers.h"

#include <shlwapi.h>
#include <strsafe.h>

bool matchesMaskList(const wchar_t* fileName, const wchar_t* maskList)
{
    wchar_t masks[pathCapacity];
    StringCchCopyW(masks, _countof(masks), maskList);
    wchar_t* piece = masks;
    while (piece != nullptr) {
        wchar_t* separator = wcschr(piece, L';');
        if (separator != nullptr)
            *separator = L'\0';
        if (*piece != L'\0' && PathMatchSpecW(fileName, piece))
            return true;
        piece = separator != nullptr ? separator + 1 : nullptr;
    }
    return false;
}
