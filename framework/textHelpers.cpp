#include "textHelpers.h"

#include <shlwapi.h>

#include <cwchar>

namespace {
wchar_t asciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool isUnreserved(unsigned code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || (code >= '0' && code <= '9') || code == '-'
        || code == '.' || code == '_' || code == '~';
}

// The next character of UTF-16 text as a code point; a lone half of a pair gives U+FFFD.
unsigned nextCodePoint(const wchar_t*& text)
{
    unsigned unit = static_cast<unsigned>(*text++);
    if (IS_HIGH_SURROGATE(unit) && IS_LOW_SURROGATE(*text))
        return 0x10000 + ((unit - 0xD800) << 10) + (static_cast<unsigned>(*text++) - 0xDC00);
    if (IS_HIGH_SURROGATE(unit) || IS_LOW_SURROGATE(unit))
        return 0xFFFD;
    return unit;
}

// Appends to a fixed buffer; once something didn't fit, nothing more is taken.
class BoundedText {
public:
    BoundedText(wchar_t* buffer, size_t capacity)
        : buffer_(buffer)
        , capacity_(capacity)
    {
    }
    void add(wchar_t c, size_t count = 1)
    {
        for (; count > 0 && fits_; --count) {
            if (length_ + 1 >= capacity_)
                fits_ = false;
            else
                buffer_[length_++] = c;
        }
    }
    // Terminates the text, or leaves it empty when it didn't fit.
    bool finish()
    {
        if (capacity_ > 0)
            buffer_[fits_ ? length_ : 0] = L'\0';
        return fits_ && capacity_ > 0;
    }

private:
    wchar_t* buffer_;
    size_t capacity_;
    size_t length_ = 0;
    bool fits_ = true;
};
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

bool percentEncodeUtf8(const wchar_t* text, wchar_t* result, size_t capacity)
{
    static const wchar_t hexDigits[] = L"0123456789ABCDEF";
    BoundedText encoded(result, capacity);
    while (*text != L'\0') {
        unsigned code = nextCodePoint(text);
        unsigned char bytes[4];
        int count = 0;
        if (code < 0x80) {
            bytes[count++] = static_cast<unsigned char>(code);
        } else if (code < 0x800) {
            bytes[count++] = static_cast<unsigned char>(0xC0 | (code >> 6));
            bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes[count++] = static_cast<unsigned char>(0xE0 | (code >> 12));
            bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
            bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        } else {
            bytes[count++] = static_cast<unsigned char>(0xF0 | (code >> 18));
            bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
            bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
            bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        }
        for (int i = 0; i < count; ++i) {
            if (isUnreserved(bytes[i])) {
                encoded.add(static_cast<wchar_t>(bytes[i]));
            } else {
                encoded.add(L'%');
                encoded.add(hexDigits[bytes[i] >> 4]);
                encoded.add(hexDigits[bytes[i] & 0xF]);
            }
        }
    }
    return encoded.finish();
}

bool quoteArgument(const wchar_t* text, bool alwaysQuote, wchar_t* result, size_t capacity)
{
    BoundedText quoted(result, capacity);
    if (!alwaysQuote && *text != L'\0' && wcspbrk(text, L" \t\n\v\r\"") == nullptr) {
        for (; *text != L'\0'; ++text)
            quoted.add(*text);
        return quoted.finish();
    }
    // Backslashes are literal unless a quote follows them: only before a quote (the text's own or
    // the closing one) are they doubled, so that the quote keeps its meaning.
    quoted.add(L'"');
    for (;;) {
        size_t backslashes = 0;
        while (*text == L'\\') {
            ++backslashes;
            ++text;
        }
        if (*text == L'\0') {
            quoted.add(L'\\', backslashes * 2);
            break;
        }
        if (*text == L'"')
            quoted.add(L'\\', backslashes * 2 + 1);
        else
            quoted.add(L'\\', backslashes);
        quoted.add(*text++);
    }
    quoted.add(L'"');
    return quoted.finish();
}
