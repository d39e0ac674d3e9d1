// Wordlamp's settings file: the section "Options" and one section per help entry.
#pragma once

#include "settingsFile.h"
#include "wordlampState.h"

namespace wordlamp {

// Sets every option and appends the file's entries to helpEntryTable; called once at attach.
void loadSettings();
// Replaces the settings file with the current options and entries, followed by every section and
// key of the loaded file the table didn't take; writes nothing when that is what the file holds.
// Called when the Options dialog closes with OK, when the editor shuts down and, silently, at detach.
void saveSettings(SaveMode mode);
// How many of the file's sections were left out of the table because it was full; they are kept.
unsigned settingsEntriesNotShown();

} // namespace wordlamp
