// What the Wordlamp tests share: the settings file, the real library in the stand-in editor with
// its menus read back as text, and the stand-ins for the help engines.
#pragma once

#include "htmlHelpStandin.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <memory>
#include <string>
#include <vector>

// Where Wordlamp.dll keeps its settings when loaded by this program: beside the program, as the
// marker doLocalConf.xml (written before the first test) asks.
std::wstring settingsFilePath();
// The settings file's lines without blank lines and line ends; empty when there is none.
std::vector<std::wstring> settingsLines();
// Writes the settings file (UTF-16 unless asked for ANSI), making its folder as needed.
void writeSettings(const std::wstring& text, bool ansi = false);
void removeSettings();

// The "Options" section as written, for the given values in file order.
std::wstring optionsSection(int stayOnTop = 0, int helpMenuMode = 0, int helpMenuSearchWord = 0,
    int showToolBarButton = 0, int showContextMenuEntry = 0, int showContextMenuEntryOnTop = 0, int showMenuIcons = 1);

// Text joined by line feeds, for comparing a whole file at once.
std::wstring joinLines(const std::vector<std::wstring>& lines);

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

void writeSettings(const SettingsText& settings);
// The settings file's text without blank lines, each line ended by a line feed.
std::wstring savedSettings();
// The same form for settings as Wordlamp would write them.
std::wstring expectedSettings(const SettingsText& settings);

// Wordlamp's sub-menu in the editor's Plugins menu, or null.
HMENU ownMenuOf(const StandinEditor& editor);

// The real Wordlamp.dll in a stand-in editor over the given settings (as file text or as values),
// the editor as new as look says.
struct WordlampInEditor {
    explicit WordlampInEditor(const std::wstring& settings, EditorLook look = EditorLook::unanswered);
    explicit WordlampInEditor(const SettingsText& settings, EditorLook look = EditorLook::unanswered);
    StandinEditor editor;
    bool loaded = false;

    void pressHelp() { editor.pressShortcut(true, false, false, VK_F1); }
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

// Where HKEY_CLASSES_ROOT names the HTML Help control's server, as Wine keeps it (below
// HKEY_LOCAL_MACHINE), and where Wine's loader reads which libraries to refuse or take from disk.
extern const wchar_t htmlHelpServerKey[];
extern const wchar_t wineDllOverrides[];

// The HTML Help engine stand-in, registered as the HTML Help control's server for the object's
// life; the previous registration comes back afterwards.
class HtmlHelpStandin {
public:
    explicit HtmlHelpStandin(const wchar_t* library = L"hhStandin.dll");
    std::vector<HtmlHelpCall> calls() const;
    int callCount() const { return log_ != nullptr ? log_->count : -1; }
    void clear();

private:
    std::unique_ptr<RegistryValueSwap> registration_;
    HtmlHelpLog* log_ = nullptr;
};

// A window of the class WinHelp talks to, recording what arrives.
struct WinHelpCall {
    HWND owner;
    UINT command;
    std::wstring file;
    std::wstring data;
};

class WinHelpStandin {
public:
    WinHelpStandin();
    ~WinHelpStandin();
    WinHelpStandin(const WinHelpStandin&) = delete;
    WinHelpStandin& operator=(const WinHelpStandin&) = delete;
    std::vector<WinHelpCall> calls;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

// shellRecorder.exe beside this program: the command line the shell started it with.
std::wstring shellRecorderPath();
void clearShellRecord();
// Waits up to a few seconds for the recorder; empty when it never ran.
std::wstring waitForShellRecord();

// A folder of empty help files for the duration of a test.
class HelpFiles {
public:
    HelpFiles();
    ~HelpFiles();
    HelpFiles(const HelpFiles&) = delete;
    HelpFiles& operator=(const HelpFiles&) = delete;
    // Creates the file (empty) and returns its full path.
    std::wstring make(const std::wstring& name) const;
    std::wstring path(const std::wstring& name) const { return folder_ + L"\\" + name; }

private:
    std::wstring folder_;
};
