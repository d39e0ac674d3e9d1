// Pickpath's settings file: the section "Options" and one section per search entry.
#pragma once

#include "pickpathState.h"

// Sets every option and appends the file's entries to searchEntryTable; called once at attach.
void loadSettings();
// Replaces the settings file with the current options and entries; called once at detach.
void saveSettings();
