#include "textHelpers.h"

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
