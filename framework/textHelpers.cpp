#include "textHelpers.h"

#include <shlwapi.h>
#include <strsafe.h>

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
        // One character at a time: a pair of surrogates together, anything else alone.
        int units = IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]) ? 2 : 1;
        unsigned char bytes[4];
        int count = WideCharToMultiByte(CP_UTF8, 0, text, units, reinterpret_cast<char*>(bytes), 4, nullptr, nullptr);
        text += units;
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

bool appendPathComponent(wchar_t* buffer, size_t capacity, const wchar_t* component)
{
    while (*component == L'\\')
        ++component;
    size_t length = 0;
    StringCchLengthW(buffer, capacity, &length);
    bool fits = true;
    if (length > 0 && buffer[length - 1] != L'\\' && *component != L'\0')
        fits = SUCCEEDED(StringCchCatW(buffer, capacity, L"\\"));
    return SUCCEEDED(StringCchCatW(buffer, capacity, component)) && fits;
}

std::wstring groupedNumber(unsigned long long n)
{
    // Made from the end: digits, with a "," before every third.
    std::wstring grouped;
    for (int digits = 0; digits == 0 || n > 0; ++digits, n /= 10) {
        if (digits > 0 && digits % 3 == 0)
            grouped.insert(grouped.begin(), L',');
        grouped.insert(grouped.begin(), static_cast<wchar_t>(L'0' + n % 10));
    }
    return grouped;
}

ListItems::Iterator::Iterator(std::wstring_view list, wchar_t separator, size_t start)
    : list_(list)
    , separator_(separator)
    , start_(start)
    , end_(start)
{
    if (start_ != std::wstring_view::npos) {
        end_ = list_.find(separator_, start_);
        if (end_ == std::wstring_view::npos)
            end_ = list_.size();
    }
}

ListItems::Iterator& ListItems::Iterator::operator++()
{
    *this = end_ < list_.size() ? Iterator(list_, separator_, end_ + 1)
                                : Iterator(list_, separator_, std::wstring_view::npos);
    return *this;
}
