// Path templates: help locations and search folders may name the current document, the word at
// the caret, the editor's folders, the working folder, the date and time and environment variables.
#pragma once

#include <cstddef>

// Expands "$fullpath$", "$dir$", "$name$", "$ext$", "$word$", "$nppdir$", "$pdir$", "$cdir$",
// "$wdir$", "$date$", "$time$" (in this order, ignoring case) and then %envvar% references. The
// result (at most 259 characters) lives in a static buffer that the next expansion overwrites.
const wchar_t* expandPathTemplate(const wchar_t* pathTemplate);
