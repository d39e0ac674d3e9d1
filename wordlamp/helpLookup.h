// The "Help" command and running help entries.
#pragma once

#include "pathTemplate.h"

namespace wordlamp {

// The "Help" command: the last entry whose mask matches the current file, its location expanded,
// the word at the caret looked up.
void lookupHelp();
// Runs one entry chosen from a menu; location is its File expanded up to the word.
void runHelpEntry(const ExpandedTemplate& location);
// Hands a location and a word to the viewer that fits the location's form; the word goes into the
// location's places as that form takes it.
void openHelp(const ExpandedTemplate& location, const wchar_t* word);

} // namespace wordlamp
