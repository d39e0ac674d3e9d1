// Path templates: help locations and search folders may name the current document, the word at
// the caret, the editor's folders, the working folder, the date and time and environment variables.
#pragma once

#include "textBuffers.h"

#include <cstddef>

// As many "$word$" as the working text of an expansion (519 characters) holds.
constexpr size_t maxWordPlaces = 86;

// A template expanded but for the word: every other token and the %envvar% references are
// expanded in text, and the word, which is data, goes in afterwards at each of its places.
struct ExpandedTemplate {
    wchar_t text[pathCapacity];   // at most 259 characters, cut there
    size_t places[maxWordPlaces]; // offsets into text, in order; the same offset for "$word$$word$"
    size_t placeCount;
};

// Expands "$fullpath$", "$dir$", "$name$", "$ext$", "$nppdir$", "$pdir$", "$cdir$", "$wdir$",
// "$date$", "$time$" (in this order, ignoring case) and then %envvar% references, and notes where
// "$word$" stood (in any case, when the template spells it so in lower case at least once). When
// word is given and the template names the word, the editor is asked for it there, with capacity.
void expandTemplateAroundWord(
    const wchar_t* pathTemplate, ExpandedTemplate& expanded, wchar_t* word = nullptr, size_t wordCapacity = 0);

// Writes the expanded text with word at each of its places. Answers false when the whole doesn't
// fit capacity characters; what fits (never half of a surrogate pair) is written all the same.
bool insertWord(const ExpandedTemplate& expanded, const wchar_t* word, wchar_t* result, size_t capacity);

// A path expanded from a template, held by the caller; it reads as its text, so it can be handed
// on where a path is taken.
struct ExpandedPath {
    wchar_t text[pathCapacity]; // at most 259 characters, cut there
    operator const wchar_t*() const { return text; }
};

// The template with the word inserted as it is, as a search folder or a file name takes it.
ExpandedPath expandPathTemplate(const wchar_t* pathTemplate);
