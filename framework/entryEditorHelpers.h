// What both entry editors do alike: the rules for entry names, which are section names of the
// settings file.
#pragma once

#include <windows.h>

// A name that could not be read back as its entry's own section would lose the entry at the next
// start: empty, "]" or a line break inside, "Options", or the name of one of the other entries.
// Writes the reason into message.
bool isEntryNameRefused(
    const wchar_t* name, const wchar_t* const* otherNames, size_t otherCount, wchar_t* message, size_t capacity);

// The same for an entry of a table being edited: every other entry's name counts.
template <typename EntryTable>
bool isTableEntryNameRefused(
    const wchar_t* name, const EntryTable& table, int editedSlot, wchar_t* message, size_t capacity)
{
    constexpr size_t slots = sizeof(table.Entries) / sizeof(table.Entries[0]);
    const wchar_t* otherNames[slots];
    size_t otherCount = 0;
    for (unsigned i = 0; i < table.Count && i < slots; ++i)
        if (static_cast<int>(i) != editedSlot)
            otherNames[otherCount++] = table.Entries[i].Name;
    return isEntryNameRefused(name, otherNames, otherCount, message, capacity);
}

// Tells the user why the name was refused and puts the caret back into the name field; the entry
// editor stays open.
void showRefusedName(HWND editor, int nameField, const wchar_t* message);
