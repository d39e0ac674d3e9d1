// Compiled HTML help through the HTML Help engine, bound at run time so the plug-in loads on
// systems without it.
#include "helpViewers.h"
#include "pluginHost.h"
#include "scopedWin.h"
#include "wordlampState.h"

#include <htmlhelp.h>

namespace wordlamp {

namespace {
using HtmlHelpFunction = HWND(WINAPI*)(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data);

// Kept until the process ends: the engine is never unloaded, and once binding failed no later
// lookup tries again.
struct HtmlHelpBinding {
    HMODULE module;
    HtmlHelpFunction entry;
    bool failed;
};

HtmlHelpBinding htmlHelpBinding = {nullptr, nullptr, false};

const WORD htmlHelpOrdinal = 15; // HtmlHelpW

// Filled once; each lookup sets only the keyword.
HH_AKLINK keywordLink = {sizeof(HH_AKLINK), FALSE, L"", nullptr, nullptr, nullptr, nullptr, TRUE};

// The engine registered for the HTML Help control's class, if any.
HMODULE loadRegisteredEngine()
{
    UniqueRegistryKey key;
    if (RegOpenKeyExA(
            HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", 0, KEY_READ, key.put())
        != ERROR_SUCCESS)
        return nullptr;
    char path[MAX_PATH];
    DWORD size = sizeof(path);
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    // Only a complete, terminated path is loaded; a value cut to the buffer would name another file.
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || path[size - 1] != '\0'
        || path[0] == '\0')
        return nullptr;
    return LoadLibraryA(path);
}

HWND callHtmlHelp(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data)
{
    if (htmlHelpBinding.failed)
        return nullptr;
    if (htmlHelpBinding.module == nullptr) {
        htmlHelpBinding.module = loadRegisteredEngine();
        if (htmlHelpBinding.module == nullptr)
            htmlHelpBinding.module = LoadLibraryA("hhctrl.ocx");
        if (htmlHelpBinding.module == nullptr) {
            htmlHelpBinding.failed = true;
            return nullptr;
        }
    }
    if (htmlHelpBinding.entry == nullptr) {
        htmlHelpBinding.entry = reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void*>(GetProcAddress(htmlHelpBinding.module, MAKEINTRESOURCEA(htmlHelpOrdinal))));
        if (htmlHelpBinding.entry == nullptr) {
            htmlHelpBinding.failed = true;
            return nullptr;
        }
    }
    return htmlHelpBinding.entry(owner, file, command, data);
}
} // namespace

void showChmHelp(const wchar_t* location, const wchar_t* word)
{
    if (!helpFileExists(location))
        return;
    // Owned by the editor the help window stays above it; owned by the desktop it can go behind.
    HWND owner = helpOptions.StayOnTop != 0 ? nppData._nppHandle : GetDesktopWindow();
    keywordLink.pszKeywords = word;
    callHtmlHelp(owner, location, HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&keywordLink));
    // The word belongs to the caller; the record must not keep pointing at it.
    keywordLink.pszKeywords = L"";
}

} // namespace wordlamp
