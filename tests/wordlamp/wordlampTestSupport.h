// What the Wordlamp tests share: the settings file, the real library in the stand-in editor and the
// stand-ins for the help engines.
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

// The real Wordlamp.dll in a stand-in editor with the settings given as file text.
struct WordlampInEditor {
    explicit WordlampInEditor(const std::wstring& settings);
    StandinEditor editor;
    bool loaded = false;
    void pressHelp() { editor.pressShortcut(true, false, false, VK_F1); }
};

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
