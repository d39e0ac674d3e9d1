// A plug-in's settings for the life of its library: read once when it is loaded, and written only
// when the plug-in's own settings changed since they were read or last saved. A save then merges
// with the file as it is by then, entry by entry and option by option, so that what the user edited
// by hand meanwhile stays: what was changed in the plug-in replaces its counterpart in the file, and
// everything else is written as the file holds it now.
#pragma once

#include "editorCalls.h"
#include "iniText.h"
#include "keptSettings.h"
#include "settingsFile.h"
#include "textHelpers.h"

#include <strsafe.h>

#include <memory>
#include <type_traits>
#include <vector>

// How a key's value goes between the file and its field.
enum class SettingKind {
    text,   // as it is, cut to the field
    number, // read as the profile reader reads a number, written as the number the field holds
    flag,   // read as a number, written as "1" or "0"
};

// One key of a section, described plainly: its name, its kind, where its field lies in the record
// it fills (a text field's capacity in characters) and what the field gets when the key is missing
// (a text field: the empty text).
struct SettingKey {
    const wchar_t* key;
    SettingKind kind;
    size_t offset;
    size_t capacity;
    int whenMissing;
};

// Reads the described keys of a section into the record's fields.
void readKeys(const SettingsValues& values, const SettingKey* keys, size_t count, void* record);
// Writes one described key of the record under section.
void writeKey(SettingsWriter& writer, const wchar_t* section, const SettingKey& key, const void* record);
// Whether the key's field of two records would be written the same.
bool sameWrittenValue(const SettingKey& key, const void* left, const void* right);

// A key that older files used for an entry: taken from the file (so it is not kept as unknown) and
// read after the entry's own keys, but never written again.
template <typename Entry> struct OlderKey {
    const wchar_t* key;
    void (*read)(const SettingsValues& values, Entry& entry);
};

// What differs between the plug-ins' files: the keys of the section "Options", then those of an
// entry's section (whose name is the entry's Name), in the order in which the file holds them.
template <typename Entry> struct SettingsLayout {
    const SettingKey* optionKeys;
    size_t optionCount;
    const SettingKey* entryKeys;
    size_t entryKeyCount;
    const OlderKey<Entry>* olderKey; // null: none
};

// Whether a failed save tells the user: not at detach, where the loader lock forbids a message box.
enum class SaveMode { tellUser, silently };

// Tells the user, in a box owned by the editor's main window, that the settings could not be
// written to the file and the system's reason.
void reportSettingsNotSaved(const wchar_t* path, DWORD error);
// That the file could not be read when the library was loaded, and the system's reason: the plug-in
// starts without its settings and leaves the file alone.
void reportSettingsNotRead(const wchar_t* path, DWORD error);
// That a save is refused because the file could not be read when the library was loaded.
void reportSettingsNotSavedUnread(const wchar_t* path, DWORD error);

// Whether a section of the file already gave one of the table's entries. The profile functions
// read the first of several sections whose names differ only in case, so a later one would come
// back as a copy of it; a name cut to fit the entry is the one the next save writes, so two names
// alike up to the cut are one too.
template <typename EntryTable> bool isSectionLoaded(const EntryTable& table, const wchar_t* sectionName)
{
    constexpr size_t nameCapacity = sizeof(table.Entries[0].Name) / sizeof(wchar_t);
    wchar_t stored[nameCapacity];
    lstrcpynW(stored, sectionName, static_cast<int>(nameCapacity));
    for (unsigned i = 0; i < table.Count; ++i)
        if (sameSectionName(stored, table.Entries[i].Name))
            return true;
    return false;
}

// One entry of a merged save: its place in the plug-in's table and in the file as it is now (-1
// where it has none), and which of the two gives its values.
struct MergedEntry {
    int inTable;
    int inFile;
    bool fromTable;
    int key[3]; // its place in the merged order, set by orderMergedEntries
};

// Puts the entries of a merge in order. One order leads: the table's when the plug-in moved
// entries since the load, else the file's as it is now; an entry the leading order lacks follows
// the entry it follows in its own order (at the front when none).
void orderMergedEntries(MergedEntry* entries, size_t count, bool tableLeads);

template <typename Table, typename Options> class SettingsStore {
public:
    using Entry = std::remove_extent_t<decltype(Table::Entries)>;
    using Layout = SettingsLayout<Entry>;
    static constexpr unsigned capacity = std::extent_v<decltype(Table::Entries)>;
    static_assert(std::is_standard_layout_v<Entry> && std::is_standard_layout_v<Options>,
        "the keys describe their fields by offset");

    SettingsStore(Table& table, Options& options, const Layout& layout)
        : table_(table)
        , options_(options)
        , layout_(layout)
    {
    }
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Reads the file into the table and the options. A file that can't be read (held by another
    // program past the retries) gives the defaults and is never replaced while the library lives.
    void load(const wchar_t* path)
    {
        kept_.read(path);
        Taken taken = take(kept_, path, table_, options_);
        optionsLoadedFrom_ = taken.optionsLoadedFrom;
        entriesNotShown_ = taken.notShown;
        remember();
        toldUnread_ = false;
    }

    // Writes the table and the options when they changed since the load or the last save, merged
    // with the file as it is now; a failure is told when the mode asks.
    void save(const wchar_t* path, SaveMode mode)
    {
        if (!changedSinceLoaded())
            return;
        if (kept_.readError() != ERROR_SUCCESS) {
            if (mode == SaveMode::tellUser) {
                reportSettingsNotSavedUnread(path, kept_.readError());
                // Told once for these changes, not again at the end of the session.
                remember();
            }
            return;
        }
        DWORD error = callGuarded(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), [&] {
            auto now = std::make_unique<FromFile>();
            DWORD read = now->kept.read(path);
            return read == ERROR_SUCCESS ? merge(path, *now) : read;
        });
        if (error != ERROR_SUCCESS && mode == SaveMode::tellUser)
            reportSettingsNotSaved(path, error);
    }

    // Tells the user, once, that the file could not be read; called where a message box may be
    // shown, which the load, under the loader lock, can't.
    void tellIfUnread(const wchar_t* path)
    {
        if (kept_.readError() == ERROR_SUCCESS || toldUnread_)
            return;
        toldUnread_ = true;
        reportSettingsNotRead(path, kept_.readError());
    }

    // How many of the file's sections were left out of the table because it was full.
    unsigned entriesNotShown() const { return entriesNotShown_; }

private:
    // The table and the options as read or last saved.
    struct Loaded {
        Table table;
        Options options;
    };

    // Where a file's options were and how many of its entries the table had no room for.
    struct Taken {
        unsigned optionsLoadedFrom = 0; // 1 + the section of the options, 0 for none
        unsigned notShown = 0;
    };

    // What a file gives: its text as kept, the table and the options read from it.
    struct FromFile {
        KeptSettings kept;
        Table table{};
        Options options{};
        Taken taken;
    };

    // Takes the file's sections, in file order, as the options and the entries: the first section
    // named "Options" (in any case) gives the options, its other lines are kept; every other named
    // section not already in the table becomes the next entry while the table has room, its lines of
    // keys the entry doesn't take kept for it. Later sections of a name already taken, and those past
    // the table's capacity, stay in the file as they are.
    Taken take(KeptSettings& kept, const wchar_t* path, Table& table, Options& options) const
    {
        std::vector<const wchar_t*> optionKeys;
        for (size_t i = 0; i < layout_.optionCount; ++i)
            optionKeys.push_back(layout_.optionKeys[i].key);
        std::vector<const wchar_t*> entryKeys;
        for (size_t i = 0; i < layout_.entryKeyCount; ++i)
            entryKeys.push_back(layout_.entryKeys[i].key);
        if (layout_.olderKey != nullptr)
            entryKeys.push_back(layout_.olderKey->key);

        Taken taken;
        table.Count = 0;
        bool optionsRead = false;
        for (unsigned section = 0; section < kept.sectionCount(); ++section) {
            const wchar_t* name = kept.sectionName(section);
            // The profile functions read the first section of a name; any later one is kept as it is.
            if (equalIgnoringAsciiCase(name, optionsSection)) {
                if (!optionsRead) {
                    readOptions(SettingsValues(kept, section, path, optionsSection), options);
                    kept.markLoaded(section, optionKeys.data(), optionKeys.size());
                    taken.optionsLoadedFrom = section + 1;
                }
                optionsRead = true;
                continue;
            }
            if (name[0] == L'\0' || isSectionLoaded(table, name))
                continue;
            if (table.Count >= capacity) {
                ++taken.notShown;
                continue;
            }
            Entry& entry = table.Entries[table.Count];
            entry = Entry{};
            readEntry(SettingsValues(kept, section, path, name), name, entry);
            entry.LoadedFrom = section + 1;
            kept.markLoaded(section, entryKeys.data(), entryKeys.size());
            ++table.Count;
        }
        if (!optionsRead)
            readOptions(SettingsValues(kept, SettingsValues::noSection, path, optionsSection), options);
        return taken;
    }

    void readOptions(const SettingsValues& values, Options& options) const
    {
        readKeys(values, layout_.optionKeys, layout_.optionCount, &options);
    }

    void readEntry(const SettingsValues& values, const wchar_t* section, Entry& entry) const
    {
        // The keys are read under the section's full name; only the stored name is cut to fit.
        StringCchCopyW(entry.Name, _countof(entry.Name), section);
        readKeys(values, layout_.entryKeys, layout_.entryKeyCount, &entry);
        if (layout_.olderKey != nullptr)
            layout_.olderKey->read(values, entry);
    }

    // Writes the entry's keys; false for an entry without a name, whose section couldn't be read
    // back as an entry, and whose keys would land outside any section or hide the sections after it.
    bool writeEntry(SettingsWriter& writer, const Entry& entry) const
    {
        if (entry.Name[0] == L'\0')
            return false;
        for (size_t i = 0; i < layout_.entryKeyCount; ++i)
            writeKey(writer, entry.Name, layout_.entryKeys[i], &entry);
        return true;
    }

    // What the file gave becomes what the plug-in holds and remembers as read or saved.
    void adopt(FromFile& from)
    {
        kept_ = std::move(from.kept);
        table_ = from.table;
        options_ = from.options;
        optionsLoadedFrom_ = from.taken.optionsLoadedFrom;
        entriesNotShown_ = from.taken.notShown;
        remember();
    }

    void remember()
    {
        // Not zeroed: only the entries in use are copied in, so the pages of a large table's free
        // slots are never touched while the library loads.
        if (loaded_ == nullptr)
            loaded_.reset(new Loaded);
        loaded_->options = options_;
        loaded_->table.Count = table_.Count;
        for (unsigned i = 0; i < table_.Count && i < capacity; ++i)
            loaded_->table.Entries[i] = table_.Entries[i];
    }

    bool sameWritten(const Entry& left, const Entry& right) const
    {
        SettingsWriter leftText;
        SettingsWriter rightText;
        writeEntry(leftText, left);
        writeEntry(rightText, right);
        return leftText.text() == rightText.text();
    }

    bool optionChanged(size_t key) const
    {
        return loaded_ == nullptr || !sameWrittenValue(layout_.optionKeys[key], &options_, &loaded_->options);
    }

    // The entry as read or last saved, of which a table entry is the plug-in's version; none for an
    // entry added since (or when nothing could be remembered).
    const Entry* loadedVersion(const Entry& entry) const
    {
        if (loaded_ == nullptr || entry.LoadedFrom == 0)
            return nullptr;
        for (unsigned i = 0; i < loaded_->table.Count; ++i)
            if (loaded_->table.Entries[i].LoadedFrom == entry.LoadedFrom)
                return &loaded_->table.Entries[i];
        return nullptr;
    }

    bool changedSinceLoaded() const
    {
        if (loaded_ == nullptr || table_.Count != loaded_->table.Count)
            return true;
        for (size_t key = 0; key < layout_.optionCount; ++key)
            if (optionChanged(key))
                return true;
        for (unsigned i = 0; i < table_.Count && i < capacity; ++i)
            if (table_.Entries[i].LoadedFrom != loaded_->table.Entries[i].LoadedFrom
                || !sameWritten(table_.Entries[i], loaded_->table.Entries[i]))
                return true;
        return false;
    }

    // The first entry of the file's table, not yet taken, that is the section of the name.
    static int findInFile(const Table& file, const wchar_t* name, const bool* taken)
    {
        for (unsigned i = 0; i < file.Count; ++i)
            if (!taken[i] && sameSectionName(file.Entries[i].Name, name))
                return static_cast<int>(i);
        return -1;
    }

    // Writes the table and options merged with now, the file as it is at the save; then the written
    // text is what the file holds and what the plug-in holds.
    DWORD merge(const wchar_t* path, FromFile& now)
    {
        // A file that is as it was read, or went missing, holds nothing the user added by hand: what
        // was kept of it at the load is written again.
        bool asRead = !now.kept.fileExisted() || now.kept.fingerprint() == kept_.fingerprint();
        if (!asRead)
            now.taken = take(now.kept, path, now.table, now.options);
        KeptSettings& file = asRead ? kept_ : now.kept;
        unsigned fileOptionsLoadedFrom = asRead ? optionsLoadedFrom_ : now.taken.optionsLoadedFrom;
        const Table& fileTable = !asRead ? now.table : loaded_ != nullptr ? loaded_->table : table_;
        const Options& fileOptions = !asRead ? now.options : loaded_ != nullptr ? loaded_->options : options_;

        SettingsWriter writer;
        file.writeLeadingLines(writer);
        for (size_t key = 0; key < layout_.optionCount; ++key)
            writeKey(writer, optionsSection, layout_.optionKeys[key], optionChanged(key) ? &options_ : &fileOptions);
        file.writeKeptLines(writer, fileOptionsLoadedFrom);

        MergedEntry entries[2 * capacity];
        size_t count = mergeEntries(fileTable, entries);
        for (size_t i = 0; i < count; ++i) {
            const MergedEntry& merged = entries[i];
            const Entry& entry = merged.fromTable ? table_.Entries[merged.inTable] : fileTable.Entries[merged.inFile];
            if (!writeEntry(writer, entry))
                continue;
            // The keys the plug-in doesn't know stay with their entry, from the file as it is now.
            if (merged.inFile >= 0)
                file.writeKeptLines(writer, fileTable.Entries[merged.inFile].LoadedFrom);
            else if (merged.inTable >= 0)
                kept_.writeKeptLines(writer, table_.Entries[merged.inTable].LoadedFrom);
        }
        file.writeUnloadedSections(writer);

        // The new file is complete before it replaces the old one, so a failed save keeps the old settings.
        DWORD error = file.save(path, writer);
        if (error == ERROR_SUCCESS) {
            // Without the memory to take in what was written, the plug-in keeps what it held.
            callGuarded([&] {
                auto written = std::make_unique<FromFile>();
                written->kept.takeText(writer.text());
                written->taken = take(written->kept, path, written->table, written->options);
                adopt(*written);
            });
        }
        return error;
    }

    // Which entries a merged save writes, and from where. An entry the plug-in changed, added, or
    // renamed is the table's, and takes the place of its counterpart in the file (the section of its
    // name when read, or of its name now when added); one it left as it was is the file's as it is
    // now, and gone when the user removed it by hand; one it removed takes its counterpart with it;
    // an entry the user added by hand is the file's.
    size_t mergeEntries(const Table& file, MergedEntry* entries) const
    {
        bool taken[capacity] = {};
        if (loaded_ != nullptr) {
            for (unsigned i = 0; i < loaded_->table.Count; ++i) {
                bool kept = false;
                for (unsigned j = 0; j < table_.Count && !kept; ++j)
                    kept = table_.Entries[j].LoadedFrom == loaded_->table.Entries[i].LoadedFrom;
                int inFile = kept ? -1 : findInFile(file, loaded_->table.Entries[i].Name, taken);
                if (inFile >= 0)
                    taken[inFile] = true;
            }
        }
        size_t count = 0;
        bool tableLeads = false;
        int lastLoaded = -1;
        // Entries of the file first, then new ones, so a new entry meets only a section added by hand.
        for (int pass = 0; pass < 2; ++pass) {
            for (unsigned i = 0; i < table_.Count && i < capacity; ++i) {
                const Entry& entry = table_.Entries[i];
                const Entry* loaded = loadedVersion(entry);
                if ((loaded != nullptr) != (pass == 0))
                    continue;
                if (loaded != nullptr) {
                    int place = static_cast<int>(loaded - loaded_->table.Entries);
                    tableLeads = tableLeads || place < lastLoaded;
                    lastLoaded = place;
                }
                int inFile = findInFile(file, loaded != nullptr ? loaded->Name : entry.Name, taken);
                if (inFile >= 0)
                    taken[inFile] = true;
                bool changed = loaded == nullptr || !sameWritten(entry, *loaded);
                if (changed || inFile >= 0)
                    entries[count++] = MergedEntry{static_cast<int>(i), inFile, changed, {}};
            }
        }
        for (unsigned i = 0; i < file.Count && i < capacity; ++i)
            if (!taken[i])
                entries[count++] = MergedEntry{-1, static_cast<int>(i), false, {}};
        orderMergedEntries(entries, count, tableLeads);
        return count;
    }

    static constexpr const wchar_t* optionsSection = L"Options";

    Table& table_;
    Options& options_;
    const Layout& layout_;
    KeptSettings kept_; // the file as read or last saved
    std::unique_ptr<Loaded> loaded_;
    unsigned optionsLoadedFrom_ = 0;
    unsigned entriesNotShown_ = 0;
    bool toldUnread_ = false;
};
