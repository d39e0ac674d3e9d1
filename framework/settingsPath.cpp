#include "settingsPath.h"

#include "pluginHost.h"
#include "pluginIdentity.h"
#include "textBuffers.h"
#include "textHelpers.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

namespace {
// Empty until the first call.
std::wstring settingsFilePath;

// The folder beside the editor's program file, or below the user's application data when the
// editor was not installed for local configuration.
void findConfigFolderWithoutEditor(wchar_t* folder, size_t capacity)
{
    wchar_t programFolder[pathCapacity];
    getProgramFolder(programFolder, _countof(programFolder));
    wchar_t marker[pathCapacity];
    StringCchCopyW(marker, _countof(marker), programFolder);
    appendPathComponent(marker, _countof(marker), L"doLocalConf.xml");
    if (PathFileExistsW(marker)) {
        StringCchCopyW(folder, capacity, programFolder);
        appendPathComponent(folder, capacity, L"Plugins\\Config");
        return;
    }
    wchar_t appData[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);
    StringCchCopyW(folder, capacity, appData);
    appendPathComponent(folder, capacity, L"Notepad++\\Plugins\\Config");
}
} // namespace

void makeSettingsBaseName(
    const wchar_t* displayName, const wchar_t* libraryFileName, wchar_t* baseName, size_t capacity)
{
    StringCchCopyW(baseName, capacity, displayName);
    wchar_t* to = baseName;
    for (const wchar_t* from = baseName; *from != L'\0'; ++from)
        if (*from != L' ')
            *to++ = *from;
    *to = L'\0';
    if (baseName[0] == L'\0') {
        StringCchCopyW(baseName, capacity, PathFindFileNameW(libraryFileName));
        PathRemoveExtensionW(baseName);
    }
}

void computeSettingsFilePath(wchar_t* path, size_t capacity)
{
    wchar_t libraryFileName[pathCapacity];
    getPluginFileName(libraryFileName, _countof(libraryFileName));
    wchar_t baseName[pathCapacity];
    makeSettingsBaseName(pluginName().c_str(), libraryFileName, baseName, _countof(baseName));
    settingsFilePathFor(baseName, path, capacity);
}

void settingsFilePathFor(const wchar_t* baseName, wchar_t* path, size_t capacity)
{
    askEditor(NPPM_GETPLUGINSCONFIGDIR, path, capacity);
    if (path[0] == L'\0')
        findConfigFolderWithoutEditor(path, capacity);
    appendPathComponent(path, capacity, baseName);
    // Adds ".ini" only when the base name has no extension of its own, and only when it fits.
    if (capacity >= MAX_PATH)
        PathAddExtensionW(path, L".ini");
}

std::wstring getSettingsFilePath()
{
    // The folder is decided once per load of the library; the save at unload uses the same path.
    if (settingsFilePath.empty()) {
        wchar_t path[pathCapacity];
        computeSettingsFilePath(path, _countof(path));
        settingsFilePath = path;
    }
    return settingsFilePath;
}
