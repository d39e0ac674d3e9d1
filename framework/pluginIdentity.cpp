#include "pluginIdentity.h"

#include "pluginHost.h"
#include "textBuffers.h"

#include <strsafe.h>

#include <new>

namespace {
wchar_t versionString[textCapacity];
wchar_t displayName[textCapacity];
wchar_t emptyText[1];

struct LanguageAndCodePage {
    WORD language;
    WORD codePage;
};
} // namespace

const wchar_t* getVersionString(const wchar_t* fileName, const wchar_t* key)
{
    emptyText[0] = L'\0';
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(fileName, &handle);
    if (size == 0)
        return emptyText;
    BYTE* block = new (std::nothrow) BYTE[size];
    if (block == nullptr)
        return emptyText;
    const wchar_t* result = emptyText;
    LanguageAndCodePage* translation = nullptr;
    UINT translationLength = 0;
    if (GetFileVersionInfoW(fileName, 0, size, block)
        && VerQueryValueW(
            block, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &translationLength)
        && translationLength >= sizeof(LanguageAndCodePage)) {
        // Only the first translation entry is looked at.
        wchar_t subBlock[textCapacity];
        StringCchPrintfW(subBlock, _countof(subBlock), L"\\StringFileInfo\\%04x%04x\\%s", translation->language,
            translation->codePage, key);
        wchar_t* value = nullptr;
        UINT valueLength = 0;
        if (VerQueryValueW(block, subBlock, reinterpret_cast<void**>(&value), &valueLength) && value != nullptr) {
            // The length counts the terminator; a longer text is cut to the buffer.
            size_t characters = valueLength > 0 ? valueLength - 1 : 0;
            StringCchCopyNW(versionString, _countof(versionString), value, characters);
            result = versionString;
        }
    }
    delete[] block;
    return result;
}

extern "C" const wchar_t* getName()
{
    wchar_t fileName[pathCapacity];
    getPluginFileName(fileName, _countof(fileName));
    StringCchCopyW(displayName, _countof(displayName), getVersionString(fileName, L"InternalName"));
    return displayName;
}
