// The command "Open current selection": the selected text is looked for along the folders and
// extensions of the search entry that applies to the current document, and the first file found is
// opened in the editor.
#pragma once

#include "pickpathState.h"

#include <windows.h>

// The command callback; nothing happens when nothing is found.
void openCurrentSelection();

// Index of the first entry of searchEntryTable whose Mask matches the file name, or -1.
int findSearchEntry(const wchar_t* fileName);

// Asks the editor for the selection, the document's extension and folder, assembles the folder and
// extension lists (the entry's part only when entry is not null) and searches them.
void buildSearchLists(const SearchEntry* entry);

// Looks for name in every folder of folderList with every extension of extensionList, folder by
// folder; an empty folder item is the system search path, a "!" item takes its whole sub-tree.
// True when a file was found and handed to the editor.
bool searchAndOpen(const wchar_t* folderList, const wchar_t* extensionList, const wchar_t* name);

// The sub-folders of folders, in the order the directory enumeration returns them. A walk appends
// the sub-folders of one folder after those of its parent and drops them again, last listed first.
class SubfolderList {
public:
    struct Subfolder {
        size_t nameOffset;
        ULONGLONG fileIndex; // the folder's index on its volume; 0 when the file system has none
        bool isLink;         // a junction or symbolic link: its own index says nothing of its target
    };

    SubfolderList() = default;
    ~SubfolderList();
    SubfolderList(const SubfolderList&) = delete;
    SubfolderList& operator=(const SubfolderList&) = delete;

    size_t count() const { return count_; }
    const Subfolder& at(size_t index) const { return folders_[index]; }
    const wchar_t* name(size_t index) const { return names_ + folders_[index].nameOffset; }
    // Drops every sub-folder from index on.
    void truncate(size_t index);

private:
    friend bool listSubfolders(const wchar_t* folder, SubfolderList& list);
    bool add(const wchar_t* name, size_t length, ULONGLONG fileIndex, bool isLink);
    void* listingBuffer();

    Subfolder* folders_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
    wchar_t* names_ = nullptr;
    size_t namesLength_ = 0;
    size_t namesCapacity_ = 0;
    void* listing_ = nullptr;
};

// Appends every sub-folder of folder to list but "." and "..", hidden and system ones too. False
// when the folder couldn't be listed or memory ran out part-way; what was listed stays appended.
bool listSubfolders(const wchar_t* folder, SubfolderList& list);
