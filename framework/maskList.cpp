#include "maskList.h"

#include "textHelpers.h"

#include <windows.h>

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

bool matchesMask(const wchar_t* fileName, std::wstring_view maskText)
{
    if (maskText == L"*.*")
        return true;
    while (!maskText.empty() && maskText.front() == L' ')
        maskText.remove_prefix(1);
    const wchar_t* mask = maskText.data();
    const wchar_t* maskEnd = mask + maskText.size();
    // The platform's matcher tries every way a "*" can stretch, which takes exponential time on
    // masks such as "*?*?*?*?x". Going back only to the last "*" finds the same answer: whatever a
    // later "*" has to match, it can match from any later point just as well.
    const wchar_t* name = fileName;
    const wchar_t* lastStar = nullptr;
    const wchar_t* nameAfterStar = nullptr;
    while (*name != L'\0') {
        if (mask < maskEnd && *mask == L'*') {
            lastStar = mask++;
            nameAfterStar = name;
        } else if (mask < maskEnd && sameCharacter(*mask, *name)) {
            ++mask;
            ++name;
        } else if (lastStar != nullptr) {
            mask = lastStar + 1;
            name = ++nameAfterStar;
        } else {
            return false;
        }
    }
    while (mask < maskEnd && *mask == L'*')
        ++mask;
    return mask == maskEnd;
}

bool matchesMaskList(const wchar_t* fileName, const wchar_t* maskList)
{
    for (std::wstring_view mask : ListItems(maskList))
        if (!mask.empty() && matchesMask(fileName, mask))
            return true;
    return false;
}
