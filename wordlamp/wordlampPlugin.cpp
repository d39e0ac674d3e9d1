#include "wordlampPlugin.h"

#include "aboutBox.h"
#include "commandTable.h"
#include "helpLookup.h"
#include "helpSettings.h"
#include "pluginHost.h"

FuncItem funcItems[wordlampCommandCount];

namespace {
// Allocated once with the table and kept for the life of the library.
ShortcutKey* helpShortcut = nullptr;

void fillCommandTable()
{
    if (helpShortcut == nullptr)
        helpShortcut = new ShortcutKey{true, false, false, VK_F1};
    setCommand(funcItems[helpCommandIndex], L"Help", lookupHelp, helpShortcut);
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
    loadSettings();
}

void onLibraryDetach(bool)
{
    saveSettings();
}

extern "C" FuncItem* getFuncsArray(int* count)
{
    *count = wordlampCommandCount;
    return funcItems;
}

extern "C" void beNotified(SCNotification*) { }
