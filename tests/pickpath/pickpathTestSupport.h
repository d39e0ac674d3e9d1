// What the tests of Pickpath in the editor share: settings written before the library loads, the
// real library in the stand-in editor, and folder trees on disk.
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
    std::wstring path;
    std::wstring ext;
};

// Pickpath's settings, written as the library itself writes them.
struct SettingsText {
    int showToolBarButton = 0;
    int showContextMenuEntry = 0;
    int showContextMenuEntryOnTop = 0;
    std::vector<EntryText> entries;

    std::wstring text() const;
};

// The settings file of this program's Pickpath.dll (beside the program, as doLocalConf.xml asks).
std::wstring settingsFilePath();
void writeSettings(const SettingsText& settings);
void writeSettingsText(const std::wstring& text);
// The settings file's text without blank lines, one "\n" after each line.
std::wstring savedSettings();

// The real Pickpath.dll in a stand-in editor, over the given settings, the editor as new as look says.
struct PickpathInEditor {
    explicit PickpathInEditor(const SettingsText& settings, EditorLook look = EditorLook::unanswered);
    StandinEditor editor;
    bool loaded = false;

    int commandId(int index) const { return editor.commandId(L"Pickpath", index); }
    void openSelection() { editor.runCommand(static_cast<UINT>(commandId(0))); }
    void openOptions() { editor.runCommand(static_cast<UINT>(commandId(2))); }
    // Unloads the library, which saves its settings.
    void unload() { editor.unloadPlugins(); }
};

// A folder tree below the temporary folder, removed with everything in it at the end.
class FolderTree {
public:
    FolderTree();
    ~FolderTree();
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;

    const std::wstring& root() const { return root_; }
    // root\relative
    std::wstring at(const std::wstring& relative) const;
    // Creates the folder and those above it.
    void folder(const std::wstring& relative) const;
    // Creates an empty file, and its folders.
    void file(const std::wstring& relative) const;
    // A link to target (both below the root); false when this system can't make one.
    bool link(const std::wstring& relative, const std::wstring& target);

private:
    std::wstring root_;
    std::vector<std::wstring> links_;
};

// A document folder, a working folder and a folder on the system search path below one root; the
// process's working folder and search path point there while the scene lasts.
class SearchScene {
public:
    SearchScene();
    ~SearchScene();
    SearchScene(const SearchScene&) = delete;
    SearchScene& operator=(const SearchScene&) = delete;

    // "~" in a text stands for the root.
    std::wstring rooted(const std::wstring& text) const;
    SettingsText settings(std::vector<EntryText> entries) const;
    // Runs the command in a fresh editor on the document proj\<document>; the files it opened.
    std::vector<std::wstring> open(
        const std::vector<EntryText>& entries, const std::wstring& document, const std::wstring& selection) const;
    // The opened file as a path below the root, or what was opened when it lies elsewhere.
    std::wstring relative(const std::vector<std::wstring>& opened) const;

    FolderTree tree;

private:
    wchar_t savedFolder_[MAX_PATH] = L"";
    std::wstring savedPath_;
};

// Runs a program of the system beneath Wine (which makes and removes the Unix symbolic links that
// Wine reports as folder links, or files faster than Wine's own calls). Wine doesn't wait for such
// a program: the caller waits for its effect.
bool runUnixProgram(const wchar_t* program, const std::wstring& commandLine);
// The Unix path Wine gives a path; empty outside Wine.
std::wstring unixPathOf(const std::wstring& path);

// Names of the sub-folders of folder in the order the platform lists them.
std::vector<std::wstring> listedSubfolders(const std::wstring& folder);
// Lower case, for comparing paths.
std::wstring lower(std::wstring text);
