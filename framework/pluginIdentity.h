// The plug-in's identity, read at run time from its own version resource.
#pragma once

#include "hostInterface.h"

// The value of key in the version resource of the module file fileName, or the empty text.
// The result lives in a static buffer that the next successful lookup overwrites.
const wchar_t* getVersionString(const wchar_t* fileName, const wchar_t* key);

// getName (an export, declared with the host interface) gives the display name: "InternalName".
