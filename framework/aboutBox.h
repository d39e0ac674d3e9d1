// Version as shown, the build date and the About box, all read at run time from the library.
#pragma once

#include <windows.h>

// The "ProductVersion" of the module's file folded into one number: "1, 6, 1, 0" gives 1.61.
double getVersionNumber(HMODULE module);

// The same folding for a given text; the second field counts in tenths, the third in hundredths.
double versionNumberFromText(const wchar_t* productVersion);

// The build date as year-month-day, such as 2015-03-30; a static buffer.
const wchar_t* getBuildString();

// The same conversion for a date text in the compiler's form ("Mar 30 2015", "Mar  5 2015").
void buildStringFromDate(const wchar_t* dateText, wchar_t* buffer, size_t capacity);

// The "About" command: name, maker, version, build and description in a box owned by the editor.
void showAbout();
