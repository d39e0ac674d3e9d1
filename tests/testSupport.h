// Helpers shared by the test programs: where things are, files and folders, registry values.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class StandinEditor;

// The folder of the built plug-in libraries of the test program's own architecture.
std::wstring pluginFolder();
// Full path of a built plug-in library, such as pluginPath(L"Wordlamp.dll").
std::wstring pluginPath(const std::wstring& fileName);
// The folder of the running test program (the editor's program folder, as the plug-ins see it).
std::wstring programFolder();
// A fresh, empty folder below the system's temporary folder, removed with everything in it by
// removeTree.
std::wstring makeTempFolder(const std::wstring& hint);
void removeTree(const std::wstring& folder);
void makeFolders(const std::wstring& folder);
// The path as the file functions take it: an absolute path of MAX_PATH characters or more in its
// "\\?\" form, which has no such limit; every helper here takes paths of any length.
std::wstring reachable(const std::wstring& path);

// Whole-file reading and writing. Text files are written as UTF-16 with a byte-order mark unless
// asked for ANSI; reading recognises both.
void writeFileBytes(const std::wstring& path, const std::string& bytes);
void writeTextFile(const std::wstring& path, const std::wstring& text, bool ansi = false);
std::string readFileBytes(const std::wstring& path);
std::wstring readTextFile(const std::wstring& path);
bool fileExists(const std::wstring& path);

// Splits at line breaks; a trailing line break gives no empty last line.
std::vector<std::wstring> splitLines(const std::wstring& text);
std::string narrow(const std::wstring& text);
// The text on one line for a message: line breaks and NULs written as \r, \n and \0.
std::wstring withVisibleBreaks(const std::wstring& text);

// A 16 x 16 icon whose left half has one colour and right half another (0x00RRGGBB); the right half is
// transparent by the icon's mask when asked.
HICON makeTwoHalvesIcon(DWORD left, DWORD right, bool rightTransparent);

// What an image shows of itself: its size and whether its pixels range from fully transparent to
// fully opaque (alpha that the editor can draw over any background).
struct ImageShape {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool someTransparent = false;
    bool someOpaque = false;
};
ImageShape shapeOfIcon(HICON icon);
ImageShape shapeOfBitmap(HBITMAP bitmap);

// What a menu shows over a background of one colour for an item whose image its owner window draws
// (HBMMENU_CALLBACK): what the window draws when the menu asks it with WM_MEASUREITEM and
// WM_DRAWITEM. No pixels when the item has no image.
struct ShownPicture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // top row first
    int count(COLORREF colour) const;
};
ShownPicture menuItemPicture(HMENU menu, UINT item, bool byPosition, HWND owner, COLORREF background);

// Sets a registry string value for the life of the object and then puts back what was there.
class RegistryValueSwap {
public:
    RegistryValueSwap(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring* value);
    ~RegistryValueSwap();
    RegistryValueSwap(const RegistryValueSwap&) = delete;
    RegistryValueSwap& operator=(const RegistryValueSwap&) = delete;

private:
    HKEY root_;
    std::wstring key_;
    std::wstring name_;
    bool keyExisted_ = false;
    bool valueExisted_ = false;
    DWORD type_ = REG_SZ;
    std::vector<BYTE> saved_;
};

// Opens an Options dialog with openOptions and from it a new entry's editor ("Add..."); whileOpen
// runs with both on the screen, then both are cancelled.
void withOptionsAndEntryEditorOpen(
    const std::function<void()>& openOptions, const std::function<void(HWND options, HWND editor)>& whileOpen);

// How often the editor was asked to theme each dialog with the flags.
std::map<HWND, int> themingsWith(const StandinEditor& editor, WPARAM flags);
