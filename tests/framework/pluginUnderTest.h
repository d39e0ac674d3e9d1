// Either plug-in's real library in the stand-in editor, for the tests of what both plug-ins' dialogs
// share: settings written as named entries, the Options dialog opened through the real command.
#pragma once

#include "dialogDriver.h"
#include "standinEditor.h"

#include <string>
#include <vector>

struct PluginUnderTest {
    const wchar_t* name;
    std::wstring settingsFile() const;
};
extern const PluginUnderTest pluginsUnderTest[2];

// The settings file holds these entries (one section each, named after its entry), nothing else.
void writeEntries(const PluginUnderTest& plugin, const std::vector<std::wstring>& names);
// The entries' names in the order the settings file holds them.
std::vector<std::wstring> savedNames(const PluginUnderTest& plugin);

// The entry editor's edit fields in their order: the name first, then the mask, then the location.
HWND editField(HWND editor, int index);
// Names the entry in the entry editor, with a mask of its own, and presses OK.
void typeEntry(HWND editor, const std::wstring& name);

// A row shows its entry's name first, then the mask in brackets.
std::vector<std::wstring> rowNames(HWND dialog);

struct PluginInEditor {
    explicit PluginInEditor(const PluginUnderTest& plugin);
    // Runs the Options command with the actions queued and checks that all of them ran.
    void openOptions(DialogDriver& driver);
    // The entries' names as a fresh opening of the Options dialog shows them.
    std::vector<std::wstring> rowsNow();
    UINT optionsCommand() const;

    const PluginUnderTest& plugin;
    StandinEditor editor;
    bool loaded = false;
};
