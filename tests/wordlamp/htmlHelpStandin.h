// What the HTML Help engine stand-in heard: one record per call of its ordinal 15.
#pragma once

#include <windows.h>

struct HtmlHelpCall {
    HWND owner;
    wchar_t file[MAX_PATH];
    UINT command;
    wchar_t keyword[4096];
    // The keyword-link record as it arrived.
    int recordSize;
    BOOL reserved;
    BOOL indexOnFail;
    bool otherFieldsNull; // URL, message text, message title and window
};

struct HtmlHelpLog {
    int count; // every call, also those beyond the records kept
    HtmlHelpCall calls[8];
};

// Exported by name from hhStandin.dll.
using HtmlHelpLogFunction = HtmlHelpLog* (*)();
