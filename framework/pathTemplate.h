// Path templates: help locations and search folders may name the current document, the word at
// the caret, the editor's folders, the working folder, the date and time and environment variables.
#pragma once

#include <cstddef>

// Expands "$fullpath$", "$dir$", "$name$", "$ext$", "$word$", "$nppdir$", "$pdir$", "$cdir$",
// "$wdir$", "$date$", "$time$" (in this order, ignoring case) and then %envvar% references. The
// result (at most 259 characters) lives in a static buffer that the next expansion overwrites.
const wchar_t* expandPathTemplate(const wchar_t* pathTemplate);

// Replaces in place every occurrence of token in text by value, ignoring case. The text buffer
// holds capacity characters; a replacement that would not fit is not made. Returns the text, or
// null when an argument is null.
wchar_t* replaceAllNoCase(wchar_t* text, size_t capacity, const wchar_t* token, const wchar_t* value);
