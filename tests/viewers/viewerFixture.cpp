#include "viewerFixture.h"

RegistrySet::~RegistrySet()
{
    while (!swaps_.empty())
        swaps_.pop_back();
}

void RegistrySet::set(const std::wstring& key, const std::wstring& name, const std::wstring& value, HKEY root)
{
    swaps_.push_back(std::make_unique<RegistryValueSwap>(root, key, name, &value));
}

std::wstring standinPath(const wchar_t* fileName)
{
    return programFolder() + L"\\" + fileName;
}

std::vector<std::wstring> readLog(const std::wstring& path)
{
    return splitLines(readTextFile(path));
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeout)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return true;
}

void expectOnlyMessage(
    const DialogDriver& driver, HWND owner, const std::wstring& text, const std::wstring& caption, IconKind icon)
{
    ASSERT_EQ(driver.messageBoxes.size(), 1u);
    const MessageBoxRecord& box = driver.messageBoxes[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.owner, owner);
}

void loadWordlampWithEntry(StandinEditor& editor, const std::wstring& location)
{
    std::wstring configFolder = programFolder() + L"\\Plugins\\Config";
    makeFolders(configFolder);
    writeTextFile(programFolder() + L"\\doLocalConf.xml", L"");
    writeTextFile(configFolder + L"\\Wordlamp.ini",
        L"[Options]\r\nStayOnTop=0\r\n[Viewer test]\r\nMask=*.txt\r\nFile=" + location + L"\r\nShow=0\r\n");
    ASSERT_EQ(editor.loadPlugin(pluginPath(L"Wordlamp.dll")), L"");
}

void pressHelp(StandinEditor& editor, const std::wstring& word)
{
    editor.document.open(L"C:\\work\\notes.txt");
    editor.document.currentWord = word;
    EXPECT_TRUE(editor.pressShortcut(true, false, false, VK_F1));
}
