// Wordlamp's settings file: the section "Options" and one section per help entry.
#pragma once

#include "wordlampState.h"

// Sets every option and appends the file's entries to helpEntryTable; called once at attach.
void loadSettings();
// Replaces the settings file with the current options and entries; called once at detach.
void saveSettings();
