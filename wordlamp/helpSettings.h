// Wordlamp's settings file: the section "Options" and one section per help entry.
#pragma once

#include "settingsStore.h"
#include "wordlampState.h"

namespace wordlamp {

// Sets every option and appends the file's entries to helpEntryTable; called once at attach.
void loadSettings();
// When the options or the entries changed since the load or the last save, replaces the settings
// file with them, merged with what the file holds by then: hand edits of what the plug-in left as
// it was stay, as do sections and keys the table didn't take. Called when the Options dialog closes
// with OK, when the editor shuts down and, silently, at detach.
void saveSettings(SaveMode mode);
// Tells the user, once, when the file could not be read at the load; it is then never replaced.
void tellIfSettingsUnread();
// How many of the file's sections were left out of the table because it was full; they are kept.
unsigned settingsEntriesNotShown();

} // namespace wordlamp
