#include "userMessages.h"

#include "openDialogs.h"
#include "pluginIdentity.h"

#include <strsafe.h>

#include <cwctype>

void showInformation(const wchar_t* text)
{
    showMessage(text, pluginName().c_str(), MB_OK | MB_ICONINFORMATION);
}

void showMessage(const wchar_t* text, const wchar_t* caption, UINT style)
{
    MessageBoxW(messageOwner(), text, caption, style);
}

void describeSystemError(DWORD error, wchar_t* reason, size_t capacity)
{
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
        static_cast<DWORD>(capacity), nullptr);
    // The system's texts end with a line break, which would leave an empty line in the message.
    while (length > 0 && iswspace(reason[length - 1]))
        --length;
    if (length == 0) {
        StringCchPrintfW(reason, capacity, L"error %lu", error);
        return;
    }
    reason[length] = L'\0';
}
