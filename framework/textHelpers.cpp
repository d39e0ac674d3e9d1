#include "textHelpers.h"

#include <shlwapi.h>

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

bool replaceEachNoCase(wchar_t* text, size_t capacity, const wchar_t* token, const wchar_t* value)
{
    if (text == nullptr || token == nullptr || value == nullptr || wcsnlen(text, capacity) == capacity)
        return false;
    if (token[0] == L'\0')
        return true;
    size_t tokenLength = wcslen(token);
    size_t valueLength = wcslen(value);
    size_t textLength = wcsnlen(text, capacity);
    wchar_t* from = text;
    while (wchar_t* found = StrStrIW(from, token)) {
        size_t grownLength = textLength - tokenLength + valueLength;
        // Growth is the same for every occurrence, so once one does not fit none after it will.
        if (grownLength >= capacity)
            return false;
        wchar_t* rest = found + tokenLength;
        wmemmove(found + valueLength, rest, textLength - static_cast<size_t>(rest - text) + 1);
        wmemcpy(found, value, valueLength);
        textLength = grownLength;
        // The search goes on after the inserted value, so a value holding its own token can't loop.
        from = found + valueLength;
    }
    return true;
}

wchar_t* replaceSpaces(wchar_t* text, size_t capacity, const wchar_t* replacement)
{
    return replaceEachNoCase(text, capacity, L" ", replacement) ? text : nullptr;
}
