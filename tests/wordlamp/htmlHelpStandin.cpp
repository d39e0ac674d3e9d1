// Stands in for the HTML Help engine: its ordinal 15 takes the arguments of HtmlHelpW and keeps
// them for the test to read.
#include "htmlHelpStandin.h"

#include <htmlhelp.h>
#include <strsafe.h>

namespace {
HtmlHelpLog standinLog = {};
}

extern "C" HtmlHelpLog* htmlHelpLog()
{
    return &standinLog;
}

extern "C" HWND WINAPI standinHtmlHelpW(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data)
{
    int index = standinLog.count++;
    if (index >= static_cast<int>(_countof(standinLog.calls)))
        return nullptr;
    HtmlHelpCall& call = standinLog.calls[index];
    call.owner = owner;
    StringCchCopyW(call.file, _countof(call.file), file != nullptr ? file : L"(null)");
    call.command = command;
    const HH_AKLINK* link = reinterpret_cast<const HH_AKLINK*>(data);
    if (command == HH_KEYWORD_LOOKUP && link != nullptr) {
        StringCchCopyW(
            call.keyword, _countof(call.keyword), link->pszKeywords != nullptr ? link->pszKeywords : L"(null)");
        call.recordSize = link->cbStruct;
        call.reserved = link->fReserved;
        call.indexOnFail = link->fIndexOnFail;
        call.otherFieldsNull = link->pszUrl == nullptr && link->pszMsgText == nullptr && link->pszMsgTitle == nullptr
            && link->pszWindow == nullptr;
    }
    return nullptr;
}
