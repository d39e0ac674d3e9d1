// Where the plug-in keeps its settings: an INI file named after the plug-in in the editor's
// plug-in configuration folder.
#pragma once

#include <cstddef>
#include <string>

// Full path of the settings file. Computed on the first call and then fixed while the library is
// loaded.
std::wstring getSettingsFilePath();

// The computation behind it, made afresh: the editor's configuration folder, or without an answer
// "Plugins\Config" beside the editor's program file when "doLocalConf.xml" lies there, else
// "Notepad++\Plugins\Config" below the user's application data; then the display name without
// spaces and ".ini".
void computeSettingsFilePath(wchar_t* path, size_t capacity);

// The same for a given base name.
void settingsFilePathFor(const wchar_t* baseName, wchar_t* path, size_t capacity);

// The display name with every space removed, at most capacity - 1 characters; a plug-in without a
// name uses its library's file name without extension.
void makeSettingsBaseName(
    const wchar_t* displayName, const wchar_t* libraryFileName, wchar_t* baseName, size_t capacity);
