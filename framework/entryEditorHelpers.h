// What both entry editors do alike: the template help text and the rules for entry names, which
// are section names of the settings file.
#pragma once

#include <windows.h>

// The "Help" button: the template variables explained, in a box owned by the editor.
void showTemplateHelp();

// A name that could not be read back as its entry's own section would lose the entry at the next
// start: empty, "]" or a line break inside, "Options", or the name of one of the other entries.
// Writes the reason into message.
bool isEntryNameRefused(
    const wchar_t* name, const wchar_t* const* otherNames, size_t otherCount, wchar_t* message, size_t capacity);

// Tells the user why the name was refused and puts the caret back into the name field; the entry
// editor stays open.
void showRefusedName(HWND editor, int nameField, const wchar_t* message);
