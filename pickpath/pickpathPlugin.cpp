#include "pickpathPlugin.h"

#include "aboutBox.h"
#include "commandTable.h"
#include "pluginHost.h"

FuncItem funcItems[pickpathCommandCount];

namespace {
// Allocated once with the table and kept for the life of the library.
ShortcutKey* openShortcut = nullptr;

void fillCommandTable()
{
    if (openShortcut == nullptr)
        openShortcut = new ShortcutKey{false, true, false, 0x4F};
    setCommand(funcItems[openCommandIndex], L"Open current selection", nullptr, openShortcut);
    setCommand(funcItems[1], L"", nullptr, nullptr);
    setCommand(funcItems[optionsCommandIndex], L"Options...", nullptr, nullptr);
    setCommand(funcItems[3], L"", nullptr, nullptr);
    setCommand(funcItems[aboutCommandIndex], L"About", showAbout, nullptr);
}
} // namespace

void onLibraryAttach(HINSTANCE module)
{
    pluginModule = module;
    fillCommandTable();
}

void onLibraryDetach(bool) { }

extern "C" FuncItem* getFuncsArray(int* count)
{
    *count = pickpathCommandCount;
    return funcItems;
}

extern "C" void beNotified(SCNotification*) { }
