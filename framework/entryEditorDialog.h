// The entry editor both plug-ins show from their Options dialog: one entry's fields in the
// dialog's controls, its name checked at OK (names are section names of the settings file), and
// the plug-in's own buttons beside them.
#pragma once

#include "entryListIds.h"

#include <windows.h>

#include <type_traits>

// A field of the entry and the control that shows it: an edit control for text (capacity
// characters, terminator included), a check box for a flag (an int).
struct EntryField {
    enum Kind { text, flag };
    int control;
    Kind kind;
    size_t offset; // of the field in the entry
    size_t capacity;
};

// A name that could not be read back as its entry's own section would lose the entry at the next
// start: empty, "]" or a line break inside, "Options", or the name of one of the other entries.
// Writes the reason into message.
bool isEntryNameRefused(
    const wchar_t* name, const wchar_t* const* otherNames, size_t otherCount, wchar_t* message, size_t capacity);

// The dialog on one entry, whose fields (the name among them, in IDC_ENTRY_NAME) are filled at the
// opening and stored only at OK, when the name is taken.
class EntryEditorDialog {
public:
    // Shows the dialog modally; true after OK, when the entry holds what the fields hold.
    bool show(HINSTANCE module, int templateId, HWND owner);

    // What an edit control holds, cut to capacity characters.
    static void readField(HWND dialog, int id, wchar_t* text, size_t capacity);

protected:
    EntryEditorDialog(void* entry, const EntryField* fields, size_t fieldCount)
        : entry_(entry)
        , fields_(fields)
        , fieldCount_(fieldCount)
    {
    }
    virtual ~EntryEditorDialog() = default;

    // Whether the name can't be the entry's, and why.
    virtual bool isNameRefused(const wchar_t* name, wchar_t* message, size_t capacity) const = 0;
    // The plug-in's own controls: when the dialog opens and closes, and their clicks.
    virtual void onOpened(HWND) { }
    virtual void onClosing(HWND) { }
    virtual void onCommand(HWND, WORD) { }

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void fill(HWND dialog);
    void onOk(HWND dialog);

    void* entry_;
    const EntryField* fields_;
    size_t fieldCount_;
};

// The entry editor on an entry of a table { Entry Entries[n]; unsigned Count; }: every other
// entry's name counts as taken.
template <typename Table> class TableEntryEditor : public EntryEditorDialog {
public:
    using Entry = std::remove_extent_t<decltype(Table::Entries)>;

    // editedSlot is the table's entry being changed, or -1 for a new one, so that its own name is
    // not taken for another entry's.
    TableEntryEditor(Entry& entry, const Table& table, int editedSlot, const EntryField* fields, size_t fieldCount)
        : EntryEditorDialog(&entry, fields, fieldCount)
        , table_(table)
        , editedSlot_(editedSlot)
    {
    }

protected:
    bool isNameRefused(const wchar_t* name, wchar_t* message, size_t capacity) const override
    {
        constexpr size_t slots = std::extent_v<decltype(Table::Entries)>;
        const wchar_t* otherNames[slots];
        size_t otherCount = 0;
        for (unsigned i = 0; i < table_.Count && i < slots; ++i)
            if (static_cast<int>(i) != editedSlot_)
                otherNames[otherCount++] = table_.Entries[i].Name;
        return isEntryNameRefused(name, otherNames, otherCount, message, capacity);
    }

private:
    const Table& table_;
    int editedSlot_;
};
