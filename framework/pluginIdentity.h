// The plug-in's identity, read at run time from its own version resource.
#pragma once

#include "hostInterface.h"

#include <string>

// The value of key in the version resource of the module file fileName, or the empty text.
std::wstring getVersionString(const wchar_t* fileName, const wchar_t* key);

// The product version's four numbers from the fixed part of the file's version resource (1, 6, 1,
// 0); all 0 when the file has none.
struct ProductVersion {
    WORD parts[4];
};
ProductVersion getProductVersion(const wchar_t* fileName);

// The display name: the plug-in library's "InternalName". The export getName (declared with the
// host interface) gives the same text in a buffer that stays valid for the editor.
std::wstring pluginName();
