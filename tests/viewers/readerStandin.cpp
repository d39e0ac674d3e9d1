// Stands in for Adobe Reader: records the command line it was started with.
#include "standinLog.h"

int main()
{
    appendLogLine(besideModule(nullptr, L"readerStandin.log"), GetCommandLineW());
    return 0;
}
