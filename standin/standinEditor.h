// A stand-in for the editor's side of the plug-in interface: a main window with the editor's menus,
// plug-in loading in the editor's order, command dispatch, the editing view's context menu and an
// answer to every message the plug-ins send, taken from a plain document model that tests set.
#pragma once

#include "hostInterface.h"
#include "scopedWin.h"

#include <set>
#include <string>
#include <vector>

// How new an editor the stand-in plays: one that knows nothing of versions, dark mode and icon
// sets (it answers none of those messages), or a current one in light or dark mode.
enum class EditorLook { unanswered, light, dark };

// What the editor answers about its current document and itself.
struct DocumentModel {
    std::wstring fullPath;     // NPPM_GETFULLCURRENTPATH
    std::wstring folder;       // NPPM_GETCURRENTDIRECTORY
    std::wstring fileName;     // NPPM_GETFILENAME
    std::wstring namePart;     // NPPM_GETNAMEPART
    std::wstring extPart;      // NPPM_GETEXTPART, with its period
    std::wstring currentWord;  // NPPM_GETCURRENTWORD: the selection or the word at the caret
    std::wstring nameAtCaret;  // NPPM_GETFILENAMEATCURSOR: the path-like text there; empty: the word
    std::wstring currentLine;  // NPPM_GETCURRENTLINESTR: the caret's line, its line end included
    std::wstring editorFolder; // NPPM_GETNPPDIRECTORY
    std::wstring configFolder; // NPPM_GETPLUGINSCONFIGDIR
    std::set<UINT> unanswered; // requests the editor leaves without an answer
    EditorLook look = EditorLook::unanswered;
    int toolbarIconSet = 0; // NPPM_GETTOOLBARICONSETCHOICE: 0 Fluent small ... 4 Standard small

    // Sets the full path and the parts the editor derives from it.
    void open(const std::wstring& path);
};

// An exported entry of a loaded library, typed.
template <typename Function> Function libraryEntry(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct EditorRequest {
    UINT message;
    WPARAM wParam;
};

struct ToolbarButton {
    int commandId;
    HBITMAP bitmap;
    HICON icon;
    HICON darkIcon = nullptr;
    UINT message = NPPM_ADDTOOLBARICON; // or NPPM_ADDTOOLBARICON_FORDARKMODE
};

// A plug-in dialog the editor was asked to theme, and with which flags.
struct ThemeRequest {
    HWND dialog;
    WPARAM flags;
};

struct LoadedPlugin {
    std::wstring path;
    HMODULE module = nullptr;
    std::wstring name;
    FuncItem* items = nullptr;
    int itemCount = 0;
    HMENU menu = nullptr;
    void (*beNotified)(SCNotification*) = nullptr;
};

// Loads, once per process and for its life, the system libraries the editor itself links, so that
// a plug-in loaded here finds them loaded, as it does in the editor. Every stand-in editor does it.
void holdEditorSystemLibraries();

// The editor's own host commands found in its menus.
constexpr UINT IDM_FILE_EXIT = 41011;
constexpr UINT IDM_ABOUT = 47000;
// The editor's status bar has this many fields; the first names the document's language.
constexpr int statusFieldCount = 6;
// The editor hands out plug-in command identifiers from here on.
constexpr int firstPluginCommandId = 22000;

class StandinEditor {
public:
    StandinEditor();
    ~StandinEditor();
    StandinEditor(const StandinEditor&) = delete;
    StandinEditor& operator=(const StandinEditor&) = delete;

    HWND mainWindow() const { return main_; }
    HWND textArea() const { return textArea_; }
    HWND statusBar() const { return statusBar_; }
    // What a field of the status bar shows.
    std::wstring statusText(int field) const;
    HMENU mainMenu() const;
    HMENU pluginsMenu() const;
    HMENU helpMenu() const;
    NppData nppData() const;

    // Loads plug-ins as the editor does: in the order of their names (the editor's plug-in
    // folders are named after the libraries), each one: load the library, setInfo, getName,
    // getFuncsArray, give out command identifiers (none to separators, whose record is left as
    // it is), list the commands in a sub-menu of "&Plugins", make the shortcuts accelerators;
    // then, once all are loaded, NPPN_TBMODIFICATION from the main window to each and NPPN_READY
    // to each. Empty on success, else what went wrong with the first library that failed.
    std::wstring loadPlugins(std::vector<std::wstring> libraryPaths);
    std::wstring loadPlugin(const std::wstring& libraryPath) { return loadPlugins({libraryPath}); }
    // Sends NPPN_SHUTDOWN to every plug-in (unless asked not to, as an editor that never sends it),
    // then frees every loaded library in the order they were loaded, as the editor does at its end;
    // the libraries see their detach.
    void unloadPlugins(bool shutdownFirst = true);
    // Frees one loaded library by its plug-in name; false when none of that name is loaded.
    bool unloadPlugin(const std::wstring& name);
    const std::vector<LoadedPlugin>& plugins() const { return plugins_; }
    // The identifier given to the plug-in's command at index, or 0.
    int commandId(const std::wstring& pluginName, int index) const;

    // Sends the main window a menu command, as choosing a menu item does.
    LRESULT runCommand(UINT id);
    // Runs the command bound to the keys through the accelerator table; false when none is bound.
    bool pressShortcut(bool ctrl, bool alt, bool shift, WORD key);
    // Builds the editing view's context menu anew and announces it with WM_INITMENUPOPUP, as the
    // editor does before every showing. The menu stays valid until the next call.
    HMENU openContextMenu();
    // Announces any other pop-up menu to the main window.
    void announcePopup(HMENU menu);
    // Dispatches whatever is waiting in this thread's message queue.
    void pumpMessages();
    // Runs the editor's message loop, accelerators included, until its main window is closed.
    void runMessageLoop();
    // Shows a document in the text area and makes it the current document.
    bool showDocument(const std::wstring& path);
    // The user switches between light and dark mode: every plug-in hears NPPN_DARKMODECHANGED.
    void switchDarkMode(bool dark);

    // When set, the requests for the word, the name at the caret and the caret's line are
    // answered from the text area, as the editor answers them: the selection, else the word at the
    // caret (which the editor then selects); the selection when it holds a "/" or "\", else the
    // path-like text around the caret; the caret's line.
    bool wordFromTextArea = false;
    // When set, a file the plug-ins open is shown in the text area and becomes the current
    // document, as the editor does; otherwise it is only recorded.
    bool showOpenedFiles = false;

    // Where the caret is in the text area: line and column from 1, the column in characters.
    struct Place {
        int line;
        int column;
    };
    Place caretPlace() const;
    // Puts the caret at a character of the text area, or selects from one to another.
    void select(int from, int to);
    // When set, closing the main window ends the thread's message loop (the program, not tests).
    bool quitWhenClosed = false;

    DocumentModel document;
    std::vector<EditorRequest> requests;       // every message the plug-ins sent, in order
    std::vector<std::wstring> openedFiles;     // NPPM_DOOPEN
    std::vector<ToolbarButton> toolbarButtons; // NPPM_ADDTOOLBARICON
    std::vector<UINT> hostCommands;            // commands that reached the editor's own procedure
    std::vector<ThemeRequest> themeRequests;   // NPPM_DARKMODESUBCLASSANDTHEME
    std::vector<std::wstring> statusTexts;     // NPPM_SETSTATUSBAR, the texts shown

    size_t requestCount(UINT message) const;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HMENU buildContextMenu();
    std::wstring attachPlugin(const std::wstring& libraryPath);
    LRESULT answer(const std::wstring& value, UINT message, WPARAM capacity, LPARAM buffer);
    LRESULT answerLook(UINT message, WPARAM wParam, LPARAM lParam);
    std::wstring wordAtCaret(bool selectIt);
    std::wstring nameAtCaretOfTextArea() const;
    std::wstring lineAtCaret() const;
    std::wstring textAreaText() const;
    void notify(const LoadedPlugin& plugin, UINT code, HWND from);
    void rebuildAccelerators();

    HWND main_ = nullptr;
    HWND textArea_ = nullptr;
    HWND statusBar_ = nullptr;
    UniqueMenu contextMenu_;
    UniqueAccelerators accelerators_;
    std::vector<ACCEL> acceleratorKeys_;
    std::vector<LoadedPlugin> plugins_;
    int nextCommandId_ = firstPluginCommandId;
};
