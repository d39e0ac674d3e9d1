// A stand-in for the editor's side of the plug-in interface: a main window with the editor's menus,
// plug-in loading in the editor's order, command dispatch, the editing view's context menu and an
// answer to every message the plug-ins send, taken from a plain document model that tests set.
#pragma once

#include "hostInterface.h"

#include <set>
#include <string>
#include <vector>

// What the editor answers about its current document and itself.
struct DocumentModel {
    std::wstring fullPath;     // NPPM_GETFULLCURRENTPATH
    std::wstring folder;       // NPPM_GETCURRENTDIRECTORY
    std::wstring fileName;     // NPPM_GETFILENAME
    std::wstring namePart;     // NPPM_GETNAMEPART
    std::wstring extPart;      // NPPM_GETEXTPART, with its period
    std::wstring currentWord;  // NPPM_GETCURRENTWORD: the selection or the word at the caret
    std::wstring editorFolder; // NPPM_GETNPPDIRECTORY
    std::wstring configFolder; // NPPM_GETPLUGINSCONFIGDIR
    std::set<UINT> unanswered; // requests the editor leaves without an answer

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

// The editor's own host commands and the captions found in its editing view's context menu.
constexpr UINT IDM_EDIT_SELECTALL = 42007;
constexpr UINT IDM_EDIT_HIDELINES = 42042;
constexpr UINT IDM_EDIT_BLOCK_COMMENT = 42022;
constexpr UINT IDM_EDIT_STREAM_COMMENT = 42023;
constexpr UINT IDM_FILE_EXIT = 41011;
constexpr UINT IDM_ABOUT = 47000;
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
    HMENU mainMenu() const;
    HMENU pluginsMenu() const;
    HMENU helpMenu() const;
    NppData nppData() const;

    // Loads a plug-in as the editor does: load the library, setInfo, getName, getFuncsArray, give
    // out command identifiers, list the commands in a sub-menu of "&Plugins", make the shortcuts
    // accelerators, then NPPN_TBMODIFICATION from the main window and NPPN_READY. Empty on success,
    // else what went wrong.
    std::wstring loadPlugin(const std::wstring& libraryPath);
    // Sends NPPN_SHUTDOWN to every plug-in (unless asked not to, as an editor that never sends it),
    // then frees every loaded library, last loaded first; the libraries see their detach.
    void unloadPlugins(bool shutdownFirst = true);
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

    // When set, the word request is answered from the text area: its selection, else the word
    // at the caret, as a person using the editor expects.
    bool wordFromTextArea = false;
    // When set, closing the main window ends the thread's message loop (the program, not tests).
    bool quitWhenClosed = false;

    DocumentModel document;
    std::vector<EditorRequest> requests;       // every message the plug-ins sent, in order
    std::vector<std::wstring> openedFiles;     // NPPM_DOOPEN
    std::vector<ToolbarButton> toolbarButtons; // NPPM_ADDTOOLBARICON
    std::vector<UINT> hostCommands;            // commands that reached the editor's own procedure

    size_t requestCount(UINT message) const;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HMENU buildContextMenu();
    LRESULT answer(const std::wstring& value, UINT message, WPARAM capacity, LPARAM buffer);
    std::wstring wordAtCaret() const;
    void notify(const LoadedPlugin& plugin, UINT code, HWND from);
    void rebuildAccelerators();

    HWND main_ = nullptr;
    HWND textArea_ = nullptr;
    HMENU contextMenu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::vector<ACCEL> acceleratorKeys_;
    std::vector<LoadedPlugin> plugins_;
    int nextCommandId_ = firstPluginCommandId;
};
