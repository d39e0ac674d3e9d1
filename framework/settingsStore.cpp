#include "settingsStore.h"

#include "pluginIdentity.h"
#include "textBuffers.h"
#include "userMessages.h"

#include <algorithm>

namespace {
int& numberField(void* record, const SettingKey& key)
{
    return *reinterpret_cast<int*>(static_cast<char*>(record) + key.offset);
}

int numberField(const void* record, const SettingKey& key)
{
    return *reinterpret_cast<const int*>(static_cast<const char*>(record) + key.offset);
}

wchar_t* textField(void* record, const SettingKey& key)
{
    return reinterpret_cast<wchar_t*>(static_cast<char*>(record) + key.offset);
}

const wchar_t* textField(const void* record, const SettingKey& key)
{
    return reinterpret_cast<const wchar_t*>(static_cast<const char*>(record) + key.offset);
}

// The format takes the path, then the reason.
void reportSettingsProblem(const wchar_t* format, const wchar_t* path, DWORD error)
{
    wchar_t reason[textCapacity];
    describeSystemError(error, reason, _countof(reason));
    wchar_t text[textCapacity];
    StringCchPrintfW(text, _countof(text), format, path, reason);
    showMessage(text, pluginName().c_str(), MB_OK | MB_ICONWARNING);
}
} // namespace

void readKeys(const SettingsValues& values, const SettingKey* keys, size_t count, void* record)
{
    for (size_t i = 0; i < count; ++i) {
        const SettingKey& key = keys[i];
        if (key.kind == SettingKind::text)
            values.text(key.key, textField(record, key), key.capacity);
        else
            numberField(record, key) = values.number(key.key, key.whenMissing);
    }
}

void writeKey(SettingsWriter& writer, const wchar_t* section, const SettingKey& key, const void* record)
{
    switch (key.kind) {
    case SettingKind::text:
        writer.write(section, key.key, textField(record, key));
        break;
    case SettingKind::number:
        writer.writeNumber(section, key.key, numberField(record, key));
        break;
    case SettingKind::flag:
        writer.writeFlag(section, key.key, numberField(record, key));
        break;
    }
}

bool sameWrittenValue(const SettingKey& key, const void* left, const void* right)
{
    switch (key.kind) {
    case SettingKind::text:
        return wcscmp(textField(left, key), textField(right, key)) == 0;
    case SettingKind::number:
        return numberField(left, key) == numberField(right, key);
    case SettingKind::flag:
        return (numberField(left, key) != 0) == (numberField(right, key) != 0);
    }
    return false;
}

void reportSettingsNotSaved(const wchar_t* path, DWORD error)
{
    reportSettingsProblem(
        L"The settings could not be saved to\n%s\n\n%s\n\nThe file keeps the settings it had before.", path, error);
}

void reportSettingsNotRead(const wchar_t* path, DWORD error)
{
    reportSettingsProblem(L"The settings could not be read from\n%s\n\n%s\n\nThe plugin starts without them, and "
                          L"the file is left as it is until the editor is started again.",
        path, error);
}

void reportSettingsNotSavedUnread(const wchar_t* path, DWORD error)
{
    reportSettingsProblem(L"The settings cannot be saved to\n%s\n\nThe file could not be read when the editor "
                          L"started: %s\n\nIt is left as it is until the editor is started again.",
        path, error);
}

void orderMergedEntries(MergedEntry* entries, size_t count, bool tableLeads)
{
    auto lead = [tableLeads](const MergedEntry& entry) { return tableLeads ? entry.inTable : entry.inFile; };
    auto follow = [tableLeads](const MergedEntry& entry) { return tableLeads ? entry.inFile : entry.inTable; };
    for (size_t i = 0; i < count; ++i) {
        MergedEntry& entry = entries[i];
        if (lead(entry) >= 0) {
            entry.key[0] = lead(entry);
            entry.key[1] = 0;
            entry.key[2] = 0;
            continue;
        }
        // After the nearest entry before it in its own order that has a place in the leading one.
        int anchor = -1;
        int nearest = -1;
        for (size_t j = 0; j < count; ++j) {
            const MergedEntry& other = entries[j];
            if (lead(other) >= 0 && follow(other) >= 0 && follow(other) < follow(entry) && follow(other) > nearest) {
                nearest = follow(other);
                anchor = lead(other);
            }
        }
        entry.key[0] = anchor;
        entry.key[1] = 1;
        entry.key[2] = follow(entry);
    }
    std::sort(entries, entries + count, [](const MergedEntry& left, const MergedEntry& right) {
        return std::lexicographical_compare(left.key, left.key + 3, right.key, right.key + 3);
    });
}
