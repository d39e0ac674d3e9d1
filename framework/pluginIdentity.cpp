#include "pluginIdentity.h"

#include "editorCalls.h"
#include "pluginHost.h"
#include "textBuffers.h"

#include <strsafe.h>

#include <vector>

namespace {
struct LanguageAndCodePage {
    WORD language;
    WORD codePage;
};

// The file's whole version resource; empty when it has none.
std::vector<BYTE> readVersionBlock(const wchar_t* fileName)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(fileName, &handle);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(fileName, 0, size, block.data()))
        block.clear();
    return block;
}
} // namespace

std::wstring getVersionString(const wchar_t* fileName, const wchar_t* key)
{
    std::vector<BYTE> block = readVersionBlock(fileName);
    LanguageAndCodePage* translation = nullptr;
    UINT translationLength = 0;
    if (block.empty()
        || !VerQueryValueW(
            block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &translationLength)
        || translationLength < sizeof(LanguageAndCodePage))
        return L"";
    // Only the first translation entry is looked at.
    wchar_t subBlock[textCapacity];
    StringCchPrintfW(subBlock, _countof(subBlock), L"\\StringFileInfo\\%04x%04x\\%s", translation->language,
        translation->codePage, key);
    wchar_t* value = nullptr;
    UINT valueLength = 0;
    if (!VerQueryValueW(block.data(), subBlock, reinterpret_cast<void**>(&value), &valueLength) || value == nullptr)
        return L"";
    // The length counts the terminator.
    return std::wstring(value, wcsnlen(value, valueLength > 0 ? valueLength - 1 : 0));
}

ProductVersion getProductVersion(const wchar_t* fileName)
{
    ProductVersion version = {};
    std::vector<BYTE> block = readVersionBlock(fileName);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!block.empty() && VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)
        && length >= sizeof(VS_FIXEDFILEINFO))
        version = {{HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
            HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)}};
    return version;
}

std::wstring pluginName()
{
    wchar_t fileName[pathCapacity];
    getPluginFileName(fileName, _countof(fileName));
    return getVersionString(fileName, L"InternalName");
}

extern "C" const wchar_t* getName()
{
    // The editor keeps the pointer: the text is the same at every call, so assigning it again
    // leaves the buffer where it was.
    static std::wstring displayName;
    return callGuarded(L"", [] {
        displayName = pluginName();
        return displayName.c_str();
    });
}
