// A library that is no HTML Help engine: it has no ordinal 15.
#include <windows.h>

extern "C" int noHtmlHelpHere()
{
    return 0;
}
