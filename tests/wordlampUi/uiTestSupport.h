// What the tests of Wordlamp in the editor share: settings written before the library loads, the
// real library in the stand-in editor, and menus read back as text.
#pragma once

#include "dialogDriver.h"
#include "resource.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <string>
#include <vector>

struct EntryText {
    std::wstring name;
    std::wstring mask;
    std::wstring file;
    int show;
};

// Wordlamp's settings, written as the library itself writes them.
struct SettingsText {
    int stayOnTop = 0;
    int helpMenuMode = 0;
    int helpMenuSearchWord = 0;
    int showToolBarButton = 0;
    int showContextMenuEntry = 0;
    int showContextMenuEntryOnTop = 0;
    int showMenuIcons = 1;
    std::vector<EntryText> entries;

    std::wstring text() const;
};

// Three entries of which the middle one has no menu item of its own.
std::vector<EntryText> threeEntries();
// count entries named Entry0, Entry1, ..., each shown.
std::vector<EntryText> numberedEntries(int count);

// The settings file of this program's Wordlamp.dll (beside the program, as doLocalConf.xml asks).
std::wstring settingsFilePath();
void writeSettings(const SettingsText& settings);
// The settings file's text without blank lines.
std::wstring savedSettings();
// The same form for settings as Wordlamp would write them.
std::wstring expectedSettings(const SettingsText& settings);

// Wordlamp's sub-menu in the editor's Plugins menu, or null.
HMENU ownMenuOf(const StandinEditor& editor);

// The real Wordlamp.dll in a stand-in editor, over the given settings, the editor as new as look says.
struct WordlampInEditor {
    explicit WordlampInEditor(const SettingsText& settings, EditorLook look = EditorLook::unanswered);
    StandinEditor editor;
    bool loaded = false;

    int commandId(int index) const { return editor.commandId(L"Wordlamp", index); }
    HMENU ownMenu() const { return ownMenuOf(editor); }
    void openOptions() { editor.runCommand(static_cast<UINT>(commandId(2))); }
};

// One line per item: "-" for a separator, "caption#id" for a command, "caption[items]" for a
// sub-menu with its items separated by ",".
std::vector<std::wstring> describeMenu(HMENU menu);
// The items from position `from` on.
std::vector<std::wstring> menuTail(HMENU menu, int from);
HBITMAP itemBitmap(HMENU menu, UINT item, bool byPosition);

// Items the stand-in's menus hold before Wordlamp adds any.
constexpr int ownMenuItems = 5;
constexpr int helpMenuItems = 1;
