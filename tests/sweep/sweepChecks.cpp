#include "sweepChecks.h"

#include "testSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace {
constexpr size_t nameCapacity = 260;
constexpr size_t maxEntries = 50;

bool isOptions(const std::wstring& name)
{
    if (name.size() != 7)
        return false;
    for (size_t i = 0; i < 7; ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != L"options"[i])
            return false;
    }
    return true;
}

bool sameIgnoringCase(const std::wstring& left, const std::wstring& right)
{
    return CompareStringOrdinal(
               left.c_str(), static_cast<int>(left.size()), right.c_str(), static_cast<int>(right.size()), TRUE)
        == CSTR_EQUAL;
}

// Whether the profile reader drops the character around a section name, asked of the reader itself
// once for every character the C library counts as a space (it keeps some of them, U+2002 among
// them) and the control characters.
bool readerDropsAround(wchar_t c)
{
    static std::vector<wchar_t> dropped = [] {
        std::vector<wchar_t> found;
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        std::wstring path = std::wstring(folder) + L"sweepBlankProbe.ini";
        for (unsigned code = 1; code < 0x10000; ++code) {
            wchar_t candidate = static_cast<wchar_t>(code);
            if (candidate == L'\r' || candidate == L'\n' || !(code < 0x20 || std::iswspace(candidate) || code == 0x85))
                continue;
            std::wstring text = std::wstring(L"\xFEFF[") + candidate + L"x" + candidate + L"]\r\n";
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
            CloseHandle(file);
            wchar_t names[16] = {};
            GetPrivateProfileSectionNamesW(names, _countof(names), path.c_str());
            if (std::wstring(names) == L"x")
                found.push_back(candidate);
        }
        DeleteFileW(path.c_str());
        return found;
    }();
    return std::find(dropped.begin(), dropped.end(), c) != dropped.end();
}

// The profile functions drop blanks around a section name when they look one up or write one.
std::wstring withoutSurroundingBlanks(const std::wstring& name)
{
    auto isBlank = [](wchar_t c) { return readerDropsAround(c); };
    size_t first = 0;
    while (first < name.size() && isBlank(name[first]))
        ++first;
    size_t last = name.size();
    while (last > first && isBlank(name[last - 1]))
        --last;
    return name.substr(first, last - first);
}

// Older Wordlamp files name extensions under "Extension": "c cpp h" is the mask "*.c;*.cpp;*.h".
std::wstring legacyMask(const std::wstring& path, const std::wstring& section)
{
    const size_t textCapacity = 4096;
    std::wstring mask = L"*." + profileValue(path, section, L"Extension", textCapacity);
    mask.resize(std::min(mask.size(), textCapacity - 1));
    // Blanks are replaced from the left for as long as the longer text still fits.
    for (size_t at = mask.find(L' '); at != std::wstring::npos; at = mask.find(L' ', at + 3)) {
        if (mask.size() + 2 >= textCapacity)
            break;
        mask.replace(at, 1, L";*.");
    }
    return mask.substr(0, nameCapacity - 1);
}
} // namespace

std::wstring asThePluginsReadIt(const std::wstring& path, const std::wstring& copyPath)
{
    std::string bytes = readFileBytes(path);
    auto startsWith = [&bytes](const char* mark) { return bytes.compare(0, strlen(mark), mark) == 0; };
    bool wide = startsWith("\xFF\xFE") || startsWith("\xFE\xFF");
    if (wide && bytes.size() % 2 != 0) {
        char last = bytes.back();
        bytes.back() = '\0';
        bytes += startsWith("\xFF\xFE") ? std::string(1, '\0') : std::string(1, last);
        if (startsWith("\xFF\xFE"))
            bytes[bytes.size() - 2] = last;
    } else if (wide || startsWith("\xEF\xBB\xBF")
        || std::none_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; })
        || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0)
            == 0) {
        return path;
    } else {
        bytes = "\xEF\xBB\xBF" + bytes;
    }
    writeFileBytes(copyPath, bytes);
    return copyPath;
}

std::vector<std::wstring> sectionNames(const std::wstring& path)
{
    std::vector<std::wstring> names;
    for (size_t capacity = 1 << 16; capacity <= (1u << 26); capacity *= 4) {
        std::vector<wchar_t> buffer(capacity, L'\0');
        DWORD length = GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(capacity), path.c_str());
        if (length >= capacity - 2)
            continue;
        for (const wchar_t* name = buffer.data(); *name != L'\0'; name += wcslen(name) + 1)
            names.push_back(name);
        return names;
    }
    return names;
}

std::wstring profileValue(const std::wstring& path, const std::wstring& section, const wchar_t* key, size_t capacity)
{
    // As the plug-ins read a value: with room for a pair of quotes, then cut to the field.
    std::vector<wchar_t> buffer(capacity + 2, L'\0');
    GetPrivateProfileStringW(section.c_str(), key, L"", buffer.data(), static_cast<DWORD>(capacity + 2), path.c_str());
    buffer[capacity + 1] = L'\0';
    std::wstring value = buffer.data();
    return value.substr(0, capacity - 1);
}

std::vector<KeptEntry> entriesToKeep(const std::wstring& path, Plugin plugin)
{
    std::vector<KeptEntry> kept;
    for (const std::wstring& name : sectionNames(path)) {
        // Cut to fit an entry, then stored as the profile functions store a section name.
        std::wstring cut = withoutSurroundingBlanks(name.substr(0, nameCapacity - 1));
        if (cut.empty() || isOptions(cut))
            continue;
        if (std::any_of(
                kept.begin(), kept.end(), [&](const KeptEntry& entry) { return sameIgnoringCase(entry.name, cut); }))
            continue;
        if (kept.size() == maxEntries)
            break;
        KeptEntry entry{cut, name, {}};
        if (plugin == Plugin::wordlamp) {
            std::wstring mask = profileValue(path, name, L"Mask", nameCapacity);
            entry.values.emplace_back(L"Mask", mask.empty() ? legacyMask(path, name) : mask);
            entry.values.emplace_back(L"File", profileValue(path, name, L"File", nameCapacity));
            entry.values.emplace_back(
                L"Show", GetPrivateProfileIntW(name.c_str(), L"Show", 0, path.c_str()) != 0 ? L"1" : L"0");
        } else {
            entry.values.emplace_back(L"Mask", profileValue(path, name, L"Mask", nameCapacity));
            entry.values.emplace_back(L"Path", profileValue(path, name, L"Path", 2600));
            entry.values.emplace_back(L"Ext", profileValue(path, name, L"Ext", nameCapacity));
        }
        kept.push_back(entry);
    }
    return kept;
}

std::wstring differenceFromLoaded(const std::vector<std::wstring>& rows, const std::vector<KeptEntry>& kept)
{
    for (size_t i = 0; i < rows.size() && i < kept.size(); ++i)
        if (rows[i].compare(0, kept[i].name.size(), kept[i].name) != 0)
            return L"entry " + std::to_wstring(i) + L" is \"" + rows[i] + L"\" where the file's next name is ["
                + kept[i].name + L"]";
    if (rows.size() > kept.size())
        return L"loaded entry " + std::to_wstring(kept.size()) + L" \"" + rows[kept.size()]
            + L"\" after the file's last name";
    if (rows.size() < kept.size())
        return L"[" + kept[rows.size()].name + L"] not loaded";
    return L"";
}

std::wstring repeatedNames(const std::wstring& path)
{
    unsigned exact = 0, caseOnly = 0, cutOnly = 0, longOnes = 0;
    std::vector<std::wstring> seen;
    for (const std::wstring& name : sectionNames(path)) {
        std::wstring cut = withoutSurroundingBlanks(name.substr(0, nameCapacity - 1));
        if (cut.empty() || isOptions(cut))
            continue;
        for (const std::wstring& earlier : seen) {
            bool repeated = true;
            if (earlier == name)
                ++exact;
            else if (sameIgnoringCase(earlier, name))
                ++caseOnly;
            else if (sameIgnoringCase(withoutSurroundingBlanks(earlier.substr(0, nameCapacity - 1)), cut))
                ++cutOnly;
            else
                repeated = false;
            if (repeated) {
                longOnes += name.size() >= nameCapacity ? 1 : 0;
                break;
            }
        }
        seen.push_back(name);
    }
    return std::to_wstring(exact) + L" repeated exactly, " + std::to_wstring(caseOnly) + L" in another case, "
        + std::to_wstring(cutOnly) + L" equal only once cut to 259 characters (" + std::to_wstring(longOnes)
        + L" of these repeats longer than 259 characters)";
}

std::vector<std::wstring> sectionsNotTaken(const std::wstring& path, const std::vector<KeptEntry>& kept)
{
    std::vector<std::wstring> left;
    bool optionsSeen = false;
    size_t next = 0;
    for (const std::wstring& name : sectionNames(path)) {
        if (!optionsSeen && isOptions(name)) {
            optionsSeen = true;
            continue;
        }
        if (next < kept.size() && kept[next].readFrom == name) {
            ++next;
            continue;
        }
        left.push_back(name);
    }
    return left;
}

std::wstring differenceFromKept(
    const std::wstring& saved, const std::vector<KeptEntry>& kept, const std::vector<std::wstring>& notTaken)
{
    std::vector<std::wstring> names = sectionNames(saved);
    if (names.empty() || names.front() != L"Options")
        return L"the saved file doesn't start with [Options]";
    names.erase(names.begin());
    // The sections the load didn't take follow the entries, unchanged and in file order.
    if (names.size() < notTaken.size()
        || !std::equal(notTaken.begin(), notTaken.end(), names.end() - static_cast<ptrdiff_t>(notTaken.size())))
        return L"the " + std::to_wstring(notTaken.size()) + L" sections not loaded don't end the saved file";
    names.resize(names.size() - notTaken.size());
    std::wstring difference;
    size_t common = std::min(names.size(), kept.size());
    for (size_t i = 0; i < common && difference.empty(); ++i)
        if (names[i] != kept[i].name)
            difference = L"entry " + std::to_wstring(i) + L" is [" + names[i] + L"] instead of [" + kept[i].name + L"]";
    if (difference.empty() && names.size() != kept.size()) {
        difference = L"saved " + std::to_wstring(names.size()) + L" entries instead of " + std::to_wstring(kept.size());
        if (names.size() > kept.size())
            difference += L", first extra [" + names[common] + L"]";
        else
            difference += L", first missing [" + kept[common].name + L"]";
    }
    if (!difference.empty())
        return difference;
    for (const KeptEntry& entry : kept)
        for (const auto& value : entry.values) {
            std::wstring written = profileValue(saved, entry.name, value.first.c_str(), 65536);
            if (written != value.second)
                return L"[" + entry.name + L"] " + value.first + L" is \"" + written + L"\" instead of \""
                    + value.second + L"\"";
        }
    return L"";
}

std::string narrowForMessage(const std::wstring& text, size_t longest)
{
    std::wstring shown = withVisibleBreaks(text.substr(0, longest));
    if (text.size() > longest)
        shown += L"... (" + std::to_wstring(text.size()) + L" characters)";
    return narrow(shown);
}
