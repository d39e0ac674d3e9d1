#include "aboutBox.h"

#include "pluginHost.h"
#include "pluginIdentity.h"
#include "textBuffers.h"
#include "userMessages.h"

#include <strsafe.h>

#include <cwchar>

namespace {
// Fixed when the library is built.
const wchar_t buildDate[] = L"" __DATE__;

wchar_t buildString[textCapacity];
wchar_t aboutDescription[textCapacity];
wchar_t aboutCopyright[textCapacity];
wchar_t aboutName[textCapacity];
} // namespace

double versionNumberFromText(const wchar_t* productVersion)
{
    if (wcschr(productVersion, L',') == nullptr)
        return wcstod(productVersion, nullptr);
    // Fields that are missing count as 0.
    float fields[4] = {0, 0, 0, 0};
    swscanf(productVersion, L"%f,%f,%f,%f", &fields[0], &fields[1], &fields[2], &fields[3]);
    return fields[0] + fields[1] / 10 + fields[2] / 100 + fields[3] / 1000;
}

double getVersionNumber(HMODULE module)
{
    wchar_t fileName[pathCapacity];
    getModuleFileName(module, fileName, _countof(fileName));
    return versionNumberFromText(getVersionString(fileName, L"ProductVersion"));
}

void buildStringFromDate(const wchar_t* dateText, wchar_t* buffer, size_t capacity)
{
    static const wchar_t* const months[]
        = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun", L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    const wchar_t* lastSpace = wcsrchr(dateText, L' ');
    StringCchCopyW(buffer, capacity, lastSpace != nullptr ? lastSpace + 1 : dateText);
    StringCchCatW(buffer, capacity, L"-");
    for (int month = 0; month < 12; ++month) {
        if (wcsncmp(dateText, months[month], 3) == 0) {
            wchar_t number[4];
            StringCchPrintfW(number, _countof(number), L"%02d", month + 1);
            StringCchCatW(buffer, capacity, number);
            break;
        }
    }
    StringCchCatW(buffer, capacity, L"-");
    const wchar_t* firstSpace = wcschr(dateText, L' ');
    int day = firstSpace != nullptr ? static_cast<int>(wcstol(firstSpace, nullptr, 10)) : 0;
    wchar_t dayText[16];
    StringCchPrintfW(dayText, _countof(dayText), L"%02d", day);
    StringCchCatW(buffer, capacity, dayText);
}

const wchar_t* getBuildString()
{
    buildStringFromDate(buildDate, buildString, _countof(buildString));
    return buildString;
}

void showAbout()
{
    wchar_t fileName[pathCapacity];
    getPluginFileName(fileName, _countof(fileName));
    StringCchCopyW(aboutDescription, _countof(aboutDescription), getVersionString(fileName, L"FileDescription"));
    StringCchCopyW(aboutCopyright, _countof(aboutCopyright), getVersionString(fileName, L"LegalCopyright"));
    StringCchCopyW(aboutName, _countof(aboutName), getVersionString(fileName, L"InternalName"));
    wchar_t text[textCapacity];
    StringCchPrintfW(text, _countof(text), L"%s by %s\n\nv%.02f (build %s)\n\n%s", aboutName, aboutCopyright,
        getVersionNumber(pluginModule), getBuildString(), aboutDescription);
    showInformation(text);
}
