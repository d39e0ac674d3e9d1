// The Options dialog both plug-ins show: an ordered list of entries (add, remove, edit, move up and
// down, the buttons' states, the selection) over a working copy of the plug-in's table, and the
// plug-in's own option controls beside it.
#pragma once

#include "entryListIds.h"

#include <windows.h>

#include <string>
#include <type_traits>

// The list handling, on rows by position. A plug-in's dialog derives from EntryTableDialog below
// and supplies only its row text, its entry editor and its option controls.
class EntryListDialog {
public:
    // Shows the dialog (the template with the list's controls) modally; true after OK, when the
    // working copy and the options have been stored.
    bool show(HINSTANCE module, int templateId, HWND owner);

    // Enables or greys a control; focus on a control that goes grey moves to the list rather than
    // being stranded.
    static void enableControl(HWND dialog, int id, bool enabled);
    static bool isChecked(HWND dialog, int id);
    static void check(HWND dialog, int id, bool checked);

protected:
    virtual ~EntryListDialog() = default;

    virtual unsigned entryCount() const = 0;
    virtual unsigned entryCapacity() const = 0;
    // The text of the working entry's row.
    virtual std::wstring rowText(unsigned index) const = 0;
    // How many entries the settings file holds beyond those the table could take; the dialog's
    // note says so when there are any.
    virtual unsigned entriesNotShown() const = 0;
    virtual void exchangeEntries(unsigned first) = 0; // first and first + 1
    virtual void removeEntry(unsigned index) = 0;
    // Runs the entry editor on the working entry at slot, or on a new one appended for slot -1;
    // true when the working copy changed.
    virtual bool editWorkingEntry(HWND dialog, int slot) = 0;
    // At OK: the working copy becomes the live table.
    virtual void storeEntries() = 0;
    // The plug-in's own controls: filled at the opening, told of their clicks, read at OK.
    virtual void fillOptions(HWND dialog) = 0;
    virtual void onOptionCommand(HWND dialog, WORD id) = 0;
    virtual void storeOptions(HWND dialog) = 0;

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void fill(HWND dialog);
    void showEntriesNotShown(HWND dialog);
    void onCommand(HWND dialog, WORD id, WORD notification);
    void onListNotification(HWND dialog, WORD notification);
    void updateEntryButtons(HWND dialog);
    void replaceRow(HWND dialog, int row);
    void onAdd(HWND dialog);
    void onRemove(HWND dialog);
    void onEdit(HWND dialog);
    void onMove(HWND dialog, int first, int selectAfter);
    void onOk(HWND dialog);
};

// The list held as a fixed table { Entry Entries[n]; unsigned Count; }, copied by assignment.
// Nothing reaches the live table before OK.
template <typename Table> class EntryTableDialog : public EntryListDialog {
public:
    using Entry = std::remove_extent_t<decltype(Table::Entries)>;
    static constexpr unsigned capacity = std::extent_v<decltype(Table::Entries)>;

    explicit EntryTableDialog(Table& liveTable)
        : WorkingTable(liveTable)
        , live_(liveTable)
    {
    }

    Table WorkingTable; // the dialog's copy of the live table
    Entry EditRecord;   // what the entry editor shows and, after its OK, holds

protected:
    // The plug-in's entry editor on EditRecord, owned by dialog; slot is the working entry being
    // changed, or -1 for a new one, so that its own name is not taken for another entry's. true
    // after OK.
    virtual bool runEntryEditor(HWND dialog, int slot) = 0;

    unsigned entryCount() const override { return WorkingTable.Count; }
    unsigned entryCapacity() const override { return capacity; }

    void exchangeEntries(unsigned first) override
    {
        Entry moved = WorkingTable.Entries[first];
        WorkingTable.Entries[first] = WorkingTable.Entries[first + 1];
        WorkingTable.Entries[first + 1] = moved;
    }

    void removeEntry(unsigned index) override
    {
        for (unsigned i = index; i + 1 < WorkingTable.Count; ++i)
            WorkingTable.Entries[i] = WorkingTable.Entries[i + 1];
        --WorkingTable.Count;
    }

    bool editWorkingEntry(HWND dialog, int slot) override
    {
        if (slot < 0 && WorkingTable.Count >= capacity)
            return false;
        EditRecord = slot < 0 ? Entry{} : WorkingTable.Entries[slot];
        if (!runEntryEditor(dialog, slot))
            return false;
        if (slot < 0)
            WorkingTable.Entries[WorkingTable.Count++] = EditRecord;
        else
            WorkingTable.Entries[slot] = EditRecord;
        return true;
    }

    void storeEntries() override { live_ = WorkingTable; }

private:
    Table& live_;
};
