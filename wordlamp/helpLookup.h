// The "Help" command and running help entries.
#pragma once

namespace wordlamp {

// The "Help" command: the last entry whose mask matches the current file, its location expanded,
// the word at the caret looked up.
void lookupHelp();
// Runs one entry chosen from a menu; location is its File already expanded.
void runHelpEntry(const wchar_t* location);
// Hands a location and a word to the viewer that fits the location's form.
void openHelp(const wchar_t* location, const wchar_t* word);

} // namespace wordlamp
