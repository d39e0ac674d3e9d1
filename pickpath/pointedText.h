// What a user points at, read as a file name and a place in it: the forms compilers, traces and
// people write around a name. Tried only when the text as given is not found.
#pragma once

#include "textBuffers.h"

#include <cstddef>

namespace pickpath {

// A file name to look for, and where to put the caret in the file found.
struct PointedName {
    wchar_t Name[pathCapacity];
    unsigned Line;   // from 1; 0: none given
    unsigned Column; // from 1, in characters; 0: none given
};

// The name without what was typed around it: surrounding blanks, quotes, angle brackets and
// parentheses, and trailing ".,;:"; a file: address turned into its path (percent-decoded as
// UTF-8); "/" read as "\". False when nothing is left or the address can't be read.
bool cleanName(const wchar_t* text, wchar_t* name, size_t capacity);

// A name followed by a position, cleaned as above: name:LINE, name:LINE:COL, name(LINE),
// name(LINE,COL), each of them followed by ": " and a message or by nothing, and a trace's
// File "name", line LINE. A drive's colon belongs to the name. False when text names no position.
bool readPosition(const wchar_t* text, PointedName& reading);

// The caret's line may show a position right after the name at the caret, which the editor leaves
// out of that name, or part of it ("util.c" or "util.c:42" in "util.c:42:7: error"): the name with
// it, or false.
bool readPositionAfter(const wchar_t* name, const wchar_t* lineText, PointedName& reading);

// Most readings one text gives.
constexpr size_t maxReadings = 3;

// The ways text is read, in the order they are tried: as given, then cleaned, then with its
// position; a reading that repeats the one before it is left out. The number of readings.
size_t readPointedText(const wchar_t* text, PointedName (&readings)[maxReadings]);

} // namespace pickpath
