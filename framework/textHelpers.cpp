#include "textHelpers.h"

#include <cwchar>

namespace {
wchar_t asciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
} // namespace

bool equalIgnoringAsciiCase(const wchar_t* left, const wchar_t* right)
{
    while (*left != L'\0' && asciiLower(*left) == asciiLower(*right)) {
        ++left;
        ++right;
    }
    return asciiLower(*left) == asciiLower(*right);
}

wchar_t* replaceSpaces(wchar_t* text, size_t capacity, const wchar_t* replacement)
{
    if (text == nullptr || replacement == nullptr || capacity == 0)
        return nullptr;
    size_t replacementLength = wcslen(replacement);
    size_t textLength = wcsnlen(text, capacity);
    if (textLength == capacity)
        return nullptr;
    wchar_t* from = text;
    while (wchar_t* space = wcschr(from, L' ')) {
        size_t grownLength = textLength - 1 + replacementLength;
        if (grownLength >= capacity)
            return nullptr;
        wchar_t* rest = space + 1;
        wmemmove(space + replacementLength, rest, textLength - static_cast<size_t>(rest - text) + 1);
        wmemcpy(space, replacement, replacementLength);
        textLength = grownLength;
        // Going on after the replacement keeps a replacement that holds a space from looping.
        from = space + replacementLength;
    }
    return text;
}
