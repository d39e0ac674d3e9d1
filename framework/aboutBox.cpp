#include "aboutBox.h"

#include "pluginHost.h"
#include "textBuffers.h"
#include "userMessages.h"

#include <strsafe.h>

#include <cwchar>

namespace {
// Fixed when the library is built.
const wchar_t buildDate[] = L"" __DATE__;
} // namespace

double versionNumber(const ProductVersion& version)
{
    // Added up in single precision, as the shown version always has been, so that a version that
    // rounds on the edge of two hundredths shows as before.
    const WORD* parts = version.parts;
    return static_cast<float>(parts[0]) + static_cast<float>(parts[1]) / 10 + static_cast<float>(parts[2]) / 100
        + static_cast<float>(parts[3]) / 1000;
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

std::wstring getBuildString()
{
    wchar_t build[textCapacity];
    buildStringFromDate(buildDate, build, _countof(build));
    return build;
}

void showAbout()
{
    wchar_t fileName[pathCapacity];
    getPluginFileName(fileName, _countof(fileName));
    wchar_t text[textCapacity];
    StringCchPrintfW(text, _countof(text), L"%s by %s\n\nv%.02f (build %s)\n\n%s",
        getVersionString(fileName, L"InternalName").c_str(), getVersionString(fileName, L"LegalCopyright").c_str(),
        versionNumber(getProductVersion(fileName)), getBuildString().c_str(),
        getVersionString(fileName, L"FileDescription").c_str());
    showInformation(text);
}
