#include "pluginUnderTest.h"

#include "entryListIds.h"
#include "testSupport.h"

#include <gtest/gtest.h>

const PluginUnderTest pluginsUnderTest[2] = {{L"Wordlamp"}, {L"Pickpath"}};

std::wstring PluginUnderTest::settingsFile() const
{
    return programFolder() + L"\\Plugins\\Config\\" + name + L".ini";
}

void writeEntries(const PluginUnderTest& plugin, const std::vector<std::wstring>& names)
{
    std::wstring text = L"[Options]\n";
    for (const std::wstring& name : names)
        text += L"[" + name + L"]\nMask=*." + name + L"\n";
    makeFolders(programFolder() + L"\\Plugins\\Config");
    writeTextFile(plugin.settingsFile(), text);
}

std::vector<std::wstring> savedNames(const PluginUnderTest& plugin)
{
    std::vector<std::wstring> names;
    for (const std::wstring& line : splitLines(readTextFile(plugin.settingsFile())))
        if (line.size() > 2 && line.front() == L'[' && line != L"[Options]")
            names.push_back(line.substr(1, line.size() - 2));
    return names;
}

HWND editField(HWND editor, int index)
{
    HWND field = nullptr;
    for (int i = 0; i <= index; ++i)
        field = FindWindowExW(editor, field, L"Edit", nullptr);
    return field;
}

void typeEntry(HWND editor, const std::wstring& name)
{
    SetWindowTextW(editField(editor, 0), name.c_str());
    SetWindowTextW(editField(editor, 1), (L"*." + name).c_str());
    DialogDriver::click(editor, IDOK);
}

std::vector<std::wstring> rowNames(HWND dialog)
{
    std::vector<std::wstring> names;
    for (const std::wstring& row : DialogDriver::listRows(dialog, IDC_ENTRY_LIST)) {
        EXPECT_NE(row.find(L" (*."), std::wstring::npos) << narrow(row);
        names.push_back(row.substr(0, row.find(L" (")));
    }
    return names;
}

PluginInEditor::PluginInEditor(const PluginUnderTest& plugin)
    : plugin(plugin)
{
    writeTextFile(programFolder() + L"\\doLocalConf.xml", L"", true);
    loaded = editor.loadPlugin(pluginPath(std::wstring(plugin.name) + L".dll")) == L"";
}

UINT PluginInEditor::optionsCommand() const
{
    return static_cast<UINT>(editor.commandId(plugin.name, 2));
}

void PluginInEditor::openOptions(DialogDriver& driver)
{
    editor.runCommand(optionsCommand());
    EXPECT_EQ(driver.pending(), 0u);
    EXPECT_EQ(driver.unexpectedDialogs, std::vector<std::wstring>{});
}

std::vector<std::wstring> PluginInEditor::rowsNow()
{
    DialogDriver driver;
    std::vector<std::wstring> seen;
    driver.then([&](HWND dialog) {
        seen = rowNames(dialog);
        DialogDriver::click(dialog, IDCANCEL);
    });
    openOptions(driver);
    return seen;
}
