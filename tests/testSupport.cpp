#include "testSupport.h"

#include "dialogDriver.h"
#include "entryListIds.h"
#include "standinEditor.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <algorithm>

std::wstring pluginFolder()
{
    // Test programs live in build/<arch>/tests/<program>/, the plug-ins in build/<arch>/plugins/.
    std::wstring relative = programFolder() + L"\\..\\..\\plugins";
    wchar_t folder[MAX_PATH] = L"";
    DWORD length = GetFullPathNameW(relative.c_str(), MAX_PATH, folder, nullptr);
    return length > 0 && length < MAX_PATH ? folder : relative;
}

std::wstring pluginPath(const std::wstring& fileName)
{
    return pluginFolder() + L"\\" + fileName;
}

std::wstring programFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRemoveFileSpecW(path);
    return path;
}

std::wstring makeTempFolder(const std::wstring& hint)
{
    wchar_t base[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, base);
    for (unsigned attempt = GetTickCount();; ++attempt) {
        std::wstring folder = std::wstring(base) + hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(attempt % 100000);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
    }
}

std::wstring reachable(const std::wstring& path)
{
    // Below MAX_PATH the plain form; beyond, the form that lifts the limit, for absolute paths.
    if (path.size() < MAX_PATH - 12 || path.compare(0, 4, L"\\\\?\\") == 0 || path.size() < 3 || path[1] != L':')
        return path;
    return L"\\\\?\\" + path;
}

void removeTree(const std::wstring& folder)
{
    if (folder.size() < 4)
        return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(reachable(folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + L"\\" + name;
            // Links are removed, never followed.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                removeTree(path);
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(reachable(path).c_str());
            else {
                SetFileAttributesW(reachable(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(reachable(path).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(reachable(folder).c_str());
}

void makeFolders(const std::wstring& folder)
{
    size_t position = 3;
    while ((position = folder.find(L'\\', position)) != std::wstring::npos) {
        CreateDirectoryW(reachable(folder.substr(0, position)).c_str(), nullptr);
        ++position;
    }
    CreateDirectoryW(reachable(folder).c_str(), nullptr);
}

void writeFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(
        reachable(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void writeTextFile(const std::wstring& path, const std::wstring& text, bool ansi)
{
    if (ansi) {
        writeFileBytes(path, narrow(text));
        return;
    }
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    writeFileBytes(path, bytes);
}

std::string readFileBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file
        = CreateFileW(reachable(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

std::wstring readTextFile(const std::wstring& path)
{
    std::string bytes = readFileBytes(path);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    return text;
}

bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(reachable(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> splitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wstring line;
    for (wchar_t c : text) {
        if (c == L'\r')
            continue;
        if (c == L'\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string narrow(const std::wstring& text)
{
    int length
        = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

HICON makeTwoHalvesIcon(DWORD left, DWORD right, bool rightTransparent)
{
    DWORD pixels[16 * 16];
    for (int i = 0; i < 16 * 16; ++i)
        pixels[i] = i % 16 < 8 ? left : right;
    BYTE mask[16 * 2] = {};
    for (int row = 0; rightTransparent && row < 16; ++row)
        mask[row * 2 + 1] = 0xFF;
    ICONINFO iconInfo = {};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmColor = CreateBitmap(16, 16, 1, 32, pixels);
    iconInfo.hbmMask = CreateBitmap(16, 16, 1, 1, mask);
    HICON icon = CreateIconIndirect(&iconInfo);
    DeleteObject(iconInfo.hbmColor);
    DeleteObject(iconInfo.hbmMask);
    return icon;
}

std::wstring withVisibleBreaks(const std::wstring& text)
{
    std::wstring shown;
    for (wchar_t c : text) {
        if (c == L'\r')
            shown += L"\\r";
        else if (c == L'\n')
            shown += L"\\n";
        else if (c == L'\0')
            shown += L"\\0";
        else
            shown += c;
    }
    return shown;
}

RegistryValueSwap::RegistryValueSwap(
    HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring* value)
    : root_(root)
    , key_(key)
    , name_(name)
{
    HKEY opened = nullptr;
    keyExisted_ = RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
    if (keyExisted_) {
        DWORD size = 0;
        if (RegQueryValueExW(opened, name.empty() ? nullptr : name.c_str(), nullptr, &type_, nullptr, &size)
            == ERROR_SUCCESS) {
            saved_.resize(size);
            valueExisted_
                = RegQueryValueExW(opened, name.empty() ? nullptr : name.c_str(), nullptr, &type_, saved_.data(), &size)
                == ERROR_SUCCESS;
        }
        RegCloseKey(opened);
    }
    HKEY created = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr) != ERROR_SUCCESS)
        return;
    if (value != nullptr)
        RegSetValueExW(created, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
            reinterpret_cast<const BYTE*>(value->c_str()), static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    else
        RegDeleteValueW(created, name.empty() ? nullptr : name.c_str());
    RegCloseKey(created);
}

RegistryValueSwap::~RegistryValueSwap()
{
    if (!keyExisted_) {
        RegDeleteTreeW(root_, key_.c_str());
        return;
    }
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_WRITE, &opened) != ERROR_SUCCESS)
        return;
    if (valueExisted_)
        RegSetValueExW(opened, name_.empty() ? nullptr : name_.c_str(), 0, type_, saved_.data(),
            static_cast<DWORD>(saved_.size()));
    else
        RegDeleteValueW(opened, name_.empty() ? nullptr : name_.c_str());
    RegCloseKey(opened);
}

ImageShape shapeOfBitmap(HBITMAP bitmap)
{
    ImageShape shape;
    BITMAP header = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(header), &header) == 0)
        return shape;
    shape.width = header.bmWidth;
    shape.height = header.bmHeight < 0 ? -header.bmHeight : header.bmHeight;
    shape.bitsPerPixel = header.bmBitsPixel;
    if (shape.bitsPerPixel != 32)
        return shape;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shape.width;
    info.bmiHeader.biHeight = shape.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(shape.width) * static_cast<size_t>(shape.height));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(shape.height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD pixel : pixels) {
        shape.someTransparent |= (pixel >> 24) == 0;
        shape.someOpaque |= (pixel >> 24) == 0xFF;
    }
    return shape;
}

ImageShape shapeOfIcon(HICON icon)
{
    ICONINFO info = {};
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return ImageShape{};
    ImageShape shape = shapeOfBitmap(info.hbmColor);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr)
        DeleteObject(info.hbmMask);
    return shape;
}

int ShownPicture::count(COLORREF colour) const
{
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

ShownPicture menuItemPicture(HMENU menu, UINT item, bool byPosition, HWND owner, COLORREF background)
{
    ShownPicture picture;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP | MIIM_ID | MIIM_DATA | MIIM_STATE;
    if (!GetMenuItemInfoW(menu, item, byPosition, &info) || info.hbmpItem != HBMMENU_CALLBACK)
        return picture;
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
    SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    picture.width = static_cast<int>(measure.itemWidth);
    picture.height = static_cast<int>(measure.itemHeight);
    if (picture.width <= 0 || picture.height <= 0)
        return picture;
    BITMAPINFO canvasInfo = {};
    canvasInfo.bmiHeader.biSize = sizeof(canvasInfo.bmiHeader);
    canvasInfo.bmiHeader.biWidth = picture.width;
    canvasInfo.bmiHeader.biHeight = -picture.height;
    canvasInfo.bmiHeader.biPlanes = 1;
    canvasInfo.bmiHeader.biBitCount = 32;
    canvasInfo.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &canvasInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, canvas);
    RECT all = {0, 0, picture.width, picture.height};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DRAWITEMSTRUCT draw
        = {ODT_MENU, 0, info.wID, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(menu), dc, all, info.dwItemData};
    SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < picture.width * picture.height; ++i)
        picture.pixels.push_back(RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF));
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(canvas);
    return picture;
}

void withOptionsAndEntryEditorOpen(
    const std::function<void()>& openOptions, const std::function<void(HWND options, HWND editor)>& whileOpen)
{
    DialogDriver driver;
    HWND options = nullptr;
    driver.then([&](HWND dialog) {
        options = dialog;
        DialogDriver::click(dialog, IDC_ADD);
        DialogDriver::click(dialog, IDCANCEL);
    });
    driver.then([&](HWND editor) {
        whileOpen(options, editor);
        DialogDriver::click(editor, IDCANCEL);
    });
    openOptions();
    EXPECT_EQ(driver.pending(), 0u);
    EXPECT_TRUE(driver.unexpectedDialogs.empty());
}

std::map<HWND, int> themingsWith(const StandinEditor& editor, WPARAM flags)
{
    std::map<HWND, int> counts;
    for (const ThemeRequest& request : editor.themeRequests)
        if (request.flags == flags)
            ++counts[request.dialog];
    return counts;
}
