#include "maskList.h"

#include "textBuffers.h"

#include <windows.h>
#include <strsafe.h>

namespace {
wchar_t upper(wchar_t c)
{
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(c))));
}

bool sameCharacter(wchar_t fromMask, wchar_t fromName)
{
    return fromMask == L'?' || fromMask == fromName || upper(fromMask) == upper(fromName);
}
} // namespace

bool matchesMask(const wchar_t* fileName, const wchar_t* mask)
{
    if (wcscmp(mask, L"*.*") == 0)
        return true;
    while (*mask == L' ')
        ++mask;
    // The platform's matcher tries every way a "*" can stretch, which takes exponential time on
    // masks such as "*?*?*?*?x". Going back only to the last "*" finds the same answer: whatever a
    // later "*" has to match, it can match from any later point just as well.
    const wchar_t* name = fileName;
    const wchar_t* lastStar = nullptr;
    const wchar_t* nameAfterStar = nullptr;
    while (*name != L'\0') {
        if (*mask == L'*') {
            lastStar = mask++;
            nameAfterStar = name;
        } else if (*mask != L'\0' && sameCharacter(*mask, *name)) {
            ++mask;
            ++name;
        } else if (lastStar != nullptr) {
            mask = lastStar + 1;
            name = ++nameAfterStar;
        } else {
            return false;
        }
    }
    while (*mask == L'*')
        ++mask;
    return *mask == L'\0';
}

bool matchesMaskList(const wchar_t* fileName, const wchar_t* maskList)
{
    wchar_t masks[pathCapacity];
    StringCchCopyW(masks, _countof(masks), maskList);
    wchar_t* piece = masks;
    while (piece != nullptr) {
        wchar_t* separator = wcschr(piece, L';');
        if (separator != nullptr)
            *separator = L'\0';
        if (*piece != L'\0' && matchesMask(fileName, piece))
            return true;
        piece = separator != nullptr ? separator + 1 : nullptr;
    }
    return false;
}
