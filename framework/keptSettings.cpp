#include "keptSettings.h"

#include "iniText.h"
#include "scopedWin.h"

#include <cwchar>
#include <new>

namespace {
// A settings file larger than this is not one the plug-in could keep in memory; it is read through
// the profile functions alone and its unknown parts are not kept.
constexpr unsigned long long largestKeptFile = 1ull << 30;
} // namespace

void KeptSettings::forgetText()
{
    text_.clear();
    sections_.clear();
}

DWORD KeptSettings::read(const wchar_t* path)
{
    // A file cut short while read is being written by another program, which soon lets go.
    tryWhileHeld(
        [&] {
            *this = KeptSettings();
            try {
                readError_ = readOnce(path);
            } catch (const std::bad_alloc&) {
                // A file there is no memory to keep is read as one too large to keep.
                forgetText();
            }
            return readError_;
        },
        [](DWORD error) { return isTransientRefusal(error) || error == ERROR_HANDLE_EOF; });
    if (readError_ != ERROR_SUCCESS) {
        DWORD error = readError_;
        *this = KeptSettings();
        // Known to be there, with its contents unknown.
        fileExisted_ = true;
        readError_ = error;
    }
    return readError_;
}

DWORD KeptSettings::readOnce(const wchar_t* path)
{
    UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    fileExisted_ = true;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return GetLastError();
    // Too large to keep: readable still, through the profile functions alone.
    if (static_cast<unsigned long long>(size.QuadPart) > largestKeptFile)
        return ERROR_SUCCESS;
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    for (size_t done = 0; done < bytes.size();) {
        DWORD chunk = 0;
        size_t left = bytes.size() - done;
        if (!ReadFile(file.get(), bytes.data() + done, left > (1u << 24) ? (1u << 24) : static_cast<DWORD>(left),
                &chunk, nullptr))
            return GetLastError();
        if (chunk == 0)
            return ERROR_HANDLE_EOF;
        done += chunk;
    }
    fingerprint_ = bytesFingerprint(bytes.data(), bytes.size());
    text_ = decodeIniBytes(bytes.data(), bytes.size());
    parse();
    return ERROR_SUCCESS;
}

void KeptSettings::takeText(const std::wstring& text)
{
    // Made whole before it replaces what is kept.
    KeptSettings taken;
    taken.text_ = text;
    taken.fileExisted_ = true;
    taken.fingerprint_ = settingsFingerprint(text);
    taken.parse();
    *this = std::move(taken);
}

void KeptSettings::parse()
{
    std::vector<Section> sections(1, Section{0, 0, text_.size(), L"", L"", false});
    for (size_t at = 0; at < text_.size();) {
        IniLine line = iniLineAt(text_, at);
        std::wstring_view name;
        if (isSectionHeader(text_, line, &name)) {
            sections.back().end = line.start;
            sections.push_back(Section{line.start, line.next, text_.size(), std::wstring(name), L"", false});
        }
        at = line.next;
    }
    sections_ = std::move(sections);
}

std::wstring_view KeptSettings::body(const Section& section) const
{
    return std::wstring_view(text_).substr(section.bodyStart, section.end - section.bodyStart);
}

const wchar_t* KeptSettings::sectionName(unsigned section) const
{
    return section < sectionCount() ? sections_[section + 1].name.c_str() : L"";
}

bool KeptSettings::findValue(unsigned section, const wchar_t* key, std::wstring_view* value) const
{
    return section < sectionCount() && findIniValue(body(sections_[section + 1]), key, value);
}

void KeptSettings::markLoaded(unsigned section, const wchar_t* const* keys, size_t keyCount)
{
    if (section >= sectionCount())
        return;
    Section& loaded = sections_[section + 1];
    // Every line of a key the table reads is the table's: the profile reader sees only the first, so a
    // later one holds nothing any reader gets, and keeping it would make it the first at the next load.
    std::wstring_view text = std::wstring_view(text_).substr(0, loaded.end);
    std::wstring kept;
    for (size_t at = loaded.bodyStart; at < loaded.end;) {
        IniLine line = iniLineAt(text, at);
        std::wstring_view key = keyOf(text, line);
        bool tableKey = false;
        for (size_t k = 0; k < keyCount && !tableKey && !key.empty(); ++k)
            tableKey = CompareStringOrdinal(key.data(), static_cast<int>(key.size()), keys[k], -1, TRUE) == CSTR_EQUAL;
        if (!tableKey)
            kept += text.substr(line.start, line.next - line.start);
        at = line.next;
    }
    loaded.keptLines = std::move(kept);
    loaded.loaded = true;
}

void KeptSettings::writeLeadingLines(SettingsWriter& writer) const
{
    if (holdsText())
        writer.writeKept(std::wstring_view(text_).substr(0, sections_[0].end));
}

void KeptSettings::writeKeptLines(SettingsWriter& writer, unsigned loadedFrom) const
{
    if (loadedFrom == 0 || loadedFrom > sectionCount())
        return;
    const Section& section = sections_[loadedFrom];
    if (section.loaded)
        writer.writeKept(section.keptLines);
}

void KeptSettings::writeUnloadedSections(SettingsWriter& writer) const
{
    for (unsigned i = 1; i <= sectionCount(); ++i)
        if (!sections_[i].loaded)
            writer.writeKeptSection(
                std::wstring_view(text_).substr(sections_[i].start, sections_[i].end - sections_[i].start));
}

DWORD KeptSettings::save(const wchar_t* path, const SettingsWriter& writer)
{
    const std::wstring& text = writer.text();
    unsigned long long fingerprint = settingsFingerprint(text);
    // A file that went missing meanwhile (or was replaced by another of a different size) is written again.
    WIN32_FILE_ATTRIBUTE_DATA present;
    if (fileExisted_ && fingerprint == fingerprint_ && GetFileAttributesExW(path, GetFileExInfoStandard, &present)
        && (static_cast<unsigned long long>(present.nFileSizeHigh) << 32 | present.nFileSizeLow)
            == 2 + text.size() * sizeof(wchar_t))
        return ERROR_SUCCESS;
    DWORD error = replaceSettingsFile(path, text.c_str(), text.size());
    if (error == ERROR_SUCCESS) {
        fileExisted_ = true;
        fingerprint_ = fingerprint;
    }
    return error;
}

void SettingsValues::text(const wchar_t* key, wchar_t* buffer, size_t capacity) const
{
    if (kept_.valuesFromFile()) {
        readSetting(path_, name_, key, buffer, capacity);
        return;
    }
    if (capacity == 0)
        return;
    buffer[0] = L'\0';
    std::wstring_view value;
    if (!kept_.findValue(section_, key, &value))
        return;
    if (isQuoted(value))
        value = value.substr(1, value.size() - 2);
    size_t copied = value.size() < capacity - 1 ? value.size() : capacity - 1;
    wmemcpy(buffer, value.data(), copied);
    buffer[copied] = L'\0';
}

int SettingsValues::number(const wchar_t* key, int whenMissing) const
{
    if (kept_.valuesFromFile())
        return static_cast<int>(GetPrivateProfileIntW(name_, key, whenMissing, path_));
    std::wstring_view value;
    if (!kept_.findValue(section_, key, &value) || value.empty() || (value.size() == 2 && isQuoted(value)))
        return whenMissing;
    return profileNumber(value);
}
