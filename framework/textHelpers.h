// Small text operations: on fixed buffers, the items of a ";"-list, numbers as people read them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Replaces every space in text by replacement, in place, within a buffer of capacity characters.
// Returns text, or null when an argument is null or the grown text would not fit (the
// replacements that fit are kept).
wchar_t* replaceSpaces(wchar_t* text, size_t capacity, const wchar_t* replacement);

// Replaces in place each occurrence of token in text by value, ignoring case, going on after each
// inserted value. The text buffer holds capacity characters. Stops, and answers false, at the
// first replacement that would not fit (the ones made before stay); answers false without a
// change when an argument is null or the text is not terminated within capacity. An empty token
// replaces nothing.
bool replaceEachNoCase(wchar_t* text, size_t capacity, const wchar_t* token, const wchar_t* value);

// Compares whole texts, the letters A to Z without regard to case and every other character exactly.
bool equalIgnoringAsciiCase(const wchar_t* left, const wchar_t* right);

// Writes text percent-encoded as UTF-8, as a part of an address takes it: A-Z, a-z, 0-9 and "-._~"
// stay, every other byte becomes %XX (a blank %20); half of a surrogate pair standing alone goes as
// the system's converter gives it. Answers false, leaving result empty, when the encoding needs
// capacity characters or more.
bool percentEncodeUtf8(const wchar_t* text, wchar_t* result, size_t capacity);

// Writes text as one argument of a command line, so that CommandLineToArgvW reads it back as
// exactly text: quoted when it is empty, holds a blank, a tab, a line break or a double quote, or
// when alwaysQuote asks for it. Answers false, leaving result empty, when it would not fit.
bool quoteArgument(const wchar_t* text, bool alwaysQuote, wchar_t* result, size_t capacity);

// Joins component to the path in buffer with exactly one backslash between; a result too long for
// the buffer is cut at its end. Returns false when it was cut.
bool appendPathComponent(wchar_t* buffer, size_t capacity, const wchar_t* component);

// n with its thousands grouped by ",", as the user counts: 9,950.
std::wstring groupedNumber(unsigned long long n);

// The items of a list separated by ";" (or another separator), in order, empty ones included: a
// list of n separators has n + 1 items, so "" is one empty item and "a;" is "a" and "".
//     for (std::wstring_view item : ListItems(masks)) ...
class ListItems {
public:
    explicit ListItems(std::wstring_view list, wchar_t separator = L';')
        : list_(list)
        , separator_(separator)
    {
    }

    class Iterator {
    public:
        Iterator(std::wstring_view list, wchar_t separator, size_t start);
        std::wstring_view operator*() const { return list_.substr(start_, end_ - start_); }
        Iterator& operator++();
        bool operator!=(const Iterator& other) const { return start_ != other.start_; }

    private:
        std::wstring_view list_;
        wchar_t separator_;
        size_t start_; // npos past the last item
        size_t end_;
    };

    Iterator begin() const { return Iterator(list_, separator_, 0); }
    Iterator end() const { return Iterator(list_, separator_, std::wstring_view::npos); }

private:
    std::wstring_view list_;
    wchar_t separator_;
};
