// What the viewer tests share: registrations undone afterwards, the stand-ins' records, and the real
// Wordlamp.dll driven through its "Help" command.
#pragma once

#include "dialogDriver.h"
#include "pluginHost.h"
#include "standinEditor.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Registry values set for one test and put back, the last one set first, when it ends. Set a key's
// parent first, so that a key made for the test goes with everything below it.
class RegistrySet {
public:
    RegistrySet() = default;
    RegistrySet(const RegistrySet&) = delete;
    RegistrySet& operator=(const RegistrySet&) = delete;
    ~RegistrySet();
    void set(
        const std::wstring& key, const std::wstring& name, const std::wstring& value, HKEY root = HKEY_LOCAL_MACHINE);

private:
    std::vector<std::unique_ptr<RegistryValueSwap>> swaps_;
};

// A stand-in program or library, built beside the test program.
std::wstring standinPath(const wchar_t* fileName);
// The lines a stand-in recorded; none when it recorded nothing.
std::vector<std::wstring> readLog(const std::wstring& path);
// Waits up to timeout milliseconds for the condition, keeping this thread's windows answering.
bool waitUntil(const std::function<bool()>& condition, DWORD timeout);

// Exactly one message box was shown, owned by owner, with this text, caption and icon.
void expectOnlyMessage(
    const DialogDriver& driver, HWND owner, const std::wstring& text, const std::wstring& caption, IconKind icon);

// Loads the real Wordlamp.dll into the editor with one help entry, for text files, whose help
// location is the given template. The settings lie beside the test program.
void loadWordlampWithEntry(StandinEditor& editor, const std::wstring& location);
// Ctrl+F1 on a text document with the word at the caret.
void pressHelp(StandinEditor& editor, const std::wstring& word);

// Viewers linked into the test program, run against the stand-in editor's window.
class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pluginModule = GetModuleHandleW(nullptr);
        ::nppData = editor.nppData();
    }
    void TearDown() override { ::nppData = {}; }

    StandinEditor editor;
    DialogDriver driver;
};
