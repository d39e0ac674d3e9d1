#include "pickpathTestSupport.h"

#include "treeCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

namespace {
// Every test of this program finds the settings beside the program. Searches through the code linked in learn their
// trees in the background, as the library does; the threads end before the program's own objects go at its exit, as the
// editor's shutdown ends them.
class ProgramSurroundings : public ::testing::Environment {
public:
    void SetUp() override { writeTextFile(programFolder() + L"\\doLocalConf.xml", L"", true); }
    void TearDown() override { pickpath::forgetHeldTrees(); }
};
const auto* const surroundings = ::testing::AddGlobalTestEnvironment(new ProgramSurroundings);

bool isLink(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool waitUntil(bool expected, const std::wstring& link)
{
    for (int attempt = 0; attempt < 250 && isLink(link) != expected; ++attempt)
        Sleep(20);
    return isLink(link) == expected;
}
} // namespace

bool runUnixProgram(const wchar_t* program, const std::wstring& commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::wstring unixPathOf(const std::wstring& path)
{
    using Convert = char* (*)(const wchar_t*);
    auto convert = libraryEntry<Convert>(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (convert == nullptr)
        return L"";
    char* unixPath = convert(path.c_str());
    if (unixPath == nullptr)
        return L"";
    std::wstring result(unixPath, unixPath + strlen(unixPath));
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::wstring SettingsText::text() const
{
    std::wstring result = L"[Options]\nShowToolBarButton=" + std::to_wstring(showToolBarButton)
        + L"\nShowContextMenuEntry=" + std::to_wstring(showContextMenuEntry) + L"\nShowContextMenuEntryOnTop="
        + std::to_wstring(showContextMenuEntryOnTop) + L"\n";
    for (const EntryText& entry : entries)
        result
            += L"[" + entry.name + L"]\nMask=" + entry.mask + L"\nPath=" + entry.path + L"\nExt=" + entry.ext + L"\n";
    return result;
}

std::wstring settingsFilePath()
{
    return programFolder() + L"\\Plugins\\Config\\Pickpath.ini";
}

void writeSettingsText(const std::wstring& text)
{
    makeFolders(programFolder() + L"\\Plugins\\Config");
    std::wstring lines;
    for (wchar_t c : text)
        lines += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    writeTextFile(settingsFilePath(), lines);
}

void writeSettings(const SettingsText& settings)
{
    writeSettingsText(settings.text());
}

std::wstring savedSettings()
{
    std::wstring result;
    for (const std::wstring& line : splitLines(readTextFile(settingsFilePath())))
        if (!line.empty())
            result += line + L"\n";
    return result;
}

PickpathInEditor::PickpathInEditor(const SettingsText& settings, EditorLook look)
{
    writeSettings(settings);
    editor.document.look = look;
    std::wstring problem = editor.loadPlugin(pluginPath(L"Pickpath.dll"));
    EXPECT_EQ(problem, L"");
    loaded = problem.empty();
}

FolderTree::FolderTree()
    : root_(makeTempFolder(L"pickpath"))
{
}

FolderTree::~FolderTree()
{
    // Links go first: Wine can't remove them, and removing the tree must not follow one.
    for (const std::wstring& link : links_) {
        std::wstring unixLink = unixPathOf(link);
        if (unixLink.empty())
            RemoveDirectoryW(link.c_str());
        else
            runUnixProgram(L"Z:\\bin\\rm", L"rm -f \"" + unixLink + L"\"");
        waitUntil(false, link);
    }
    removeTree(root_);
}

std::wstring FolderTree::at(const std::wstring& relative) const
{
    return relative.empty() ? root_ : root_ + L"\\" + relative;
}

void FolderTree::folder(const std::wstring& relative) const
{
    makeFolders(at(relative));
}

void FolderTree::file(const std::wstring& relative) const
{
    std::wstring path = at(relative);
    makeFolders(path.substr(0, path.find_last_of(L'\\')));
    writeFileBytes(path, "");
}

bool FolderTree::link(const std::wstring& relative, const std::wstring& target)
{
    std::wstring path = at(relative);
    links_.push_back(path);
    if (CreateSymbolicLinkW(path.c_str(), at(target).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && isLink(path))
        return true;
    // Wine reports success without making a link; the system beneath it can.
    std::wstring unixLink = unixPathOf(path);
    std::wstring unixTarget = unixPathOf(at(target));
    if (unixLink.empty() || unixTarget.empty())
        return false;
    runUnixProgram(L"Z:\\bin\\ln", L"ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"");
    return waitUntil(true, path);
}

SearchScene::SearchScene()
{
    GetCurrentDirectoryW(MAX_PATH, savedFolder_);
    DWORD length = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    savedPath_.resize(length);
    GetEnvironmentVariableW(L"PATH", &savedPath_[0], length);
    savedPath_.resize(length > 0 ? length - 1 : 0);
    for (const wchar_t* folder : {L"proj", L"npp", L"sys"})
        tree.folder(folder);
    SetCurrentDirectoryW(tree.at(L"npp").c_str());
    SetEnvironmentVariableW(L"PATH", (tree.at(L"sys") + L";" + savedPath_).c_str());
}

SearchScene::~SearchScene()
{
    SetCurrentDirectoryW(savedFolder_);
    SetEnvironmentVariableW(L"PATH", savedPath_.c_str());
}

std::wstring SearchScene::rooted(const std::wstring& text) const
{
    std::wstring result;
    for (wchar_t c : text)
        result += c == L'~' ? tree.root() : std::wstring(1, c);
    return result;
}

SettingsText SearchScene::settings(std::vector<EntryText> entries) const
{
    SettingsText result;
    for (EntryText& entry : entries) {
        entry.path = rooted(entry.path);
        result.entries.push_back(entry);
    }
    return result;
}

std::vector<std::wstring> SearchScene::open(
    const std::vector<EntryText>& entries, const std::wstring& document, const std::wstring& selection) const
{
    PickpathInEditor pickpath(settings(entries));
    pickpath.editor.document.open(tree.at(L"proj\\" + document));
    pickpath.editor.document.currentWord = selection;
    pickpath.openSelection();
    return pickpath.editor.openedFiles;
}

std::wstring SearchScene::relative(const std::vector<std::wstring>& opened) const
{
    if (opened.empty())
        return L"";
    std::wstring prefix = lower(tree.root() + L"\\");
    std::wstring path = lower(opened.back());
    return path.compare(0, prefix.size(), prefix) == 0 ? opened.back().substr(prefix.size()) : opened.back();
}

std::vector<std::wstring> listedSubfolders(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::wstring lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}
