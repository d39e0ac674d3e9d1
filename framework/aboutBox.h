// Version as shown, the build date and the About box, all read at run time from the library.
#pragma once

#include "pluginIdentity.h"

#include <windows.h>

#include <string>

// The product version's numbers folded into one: 1, 6, 1, 0 gives 1.61; the second number counts in
// tenths, the third in hundredths, the fourth in thousandths.
double versionNumber(const ProductVersion& version);

// The build date as year-month-day, such as 2015-03-30.
std::wstring getBuildString();

// The same conversion for a date text in the compiler's form ("Mar 30 2015", "Mar  5 2015").
void buildStringFromDate(const wchar_t* dateText, wchar_t* buffer, size_t capacity);

// The "About" command: name, maker, version, build and description in a box owned by the editor.
void showAbout();
