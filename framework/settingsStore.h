// A plug-in's settings for the life of its library: read once when it is loaded, and written only
// when the plug-in's own settings changed since they were read or last saved. A save then merges
// with the file as it is by then, entry by entry and option by option, so that what the user edited
// by hand meanwhile stays: what was changed in the plug-in replaces its counterpart in the file, and
// everything else is written as the file holds it now.
#pragma once

#include "keptSettings.h"
#include "settingsFile.h"

#include <cstring>
#include <new>
#include <type_traits>

// One key of the section "Options", named after the field it fills.
template <typename Options> struct OptionKey {
    const wchar_t* key;
    int Options::*field;
    int whenMissing;
    bool isFlag; // written as "1" or "0"; otherwise as the number it holds
};

// What differs between the plug-ins' files.
template <typename Entry, typename Options> struct SettingsLayout {
    const OptionKey<Options>* optionKeys; // in the order in which the file holds them
    size_t optionCount;
    const wchar_t* const* entryKeys; // the keys of an entry's section the entry takes
    size_t entryKeyCount;
    // Fills an entry from the values of its section, read under the section's full name.
    void (*readEntry)(const SettingsValues& values, const wchar_t* section, Entry& entry);
    // Writes the entry's keys; false when it has no section to go to.
    bool (*writeEntry)(SettingsWriter& writer, const Entry& entry);
};

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

// Whether a flag or number would be written the same.
inline bool sameOptionValue(int left, int right, bool isFlag)
{
    return isFlag ? (left != 0) == (right != 0) : left == right;
}

template <typename Table, typename Options> class SettingsStore {
public:
    using Entry = std::remove_extent_t<decltype(Table::Entries)>;
    using Layout = SettingsLayout<Entry, Options>;
    static constexpr unsigned capacity = std::extent_v<decltype(Table::Entries)>;

    SettingsStore(Table& table, Options& options, const Layout& layout)
        : table_(table)
        , options_(options)
        , layout_(layout)
    {
    }
    ~SettingsStore() { delete loaded_; }
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Reads the file into the table and the options. A file that can't be read (held by another
    // program past the retries) gives the defaults and is never replaced while the library lives.
    void load(const wchar_t* path)
    {
        kept_.read(path);
        take(kept_, path, table_, options_, optionsLoadedFrom_, entriesNotShown_);
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
        KeptSettings* now = new (std::nothrow) KeptSettings;
        DWORD error = now == nullptr ? ERROR_NOT_ENOUGH_MEMORY : now->read(path);
        if (error == ERROR_SUCCESS)
            error = merge(path, *now);
        delete now;
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

    // Takes the file's sections, in file order, as the options and the entries: the first section
    // named "Options" (in any case) gives the options, its other lines are kept; every other named
    // section not already in the table becomes the next entry while the table has room, its lines of
    // keys the entry doesn't take kept for it. Later sections of a name already taken, and those past
    // the table's capacity, stay in the file as they are.
    void take(KeptSettings& kept, const wchar_t* path, Table& table, Options& options, unsigned& optionsLoadedFrom,
        unsigned& notShown) const
    {
        const wchar_t* optionKeyNames[64];
        size_t optionCount = layout_.optionCount < _countof(optionKeyNames) ? layout_.optionCount : 0;
        for (size_t i = 0; i < optionCount; ++i)
            optionKeyNames[i] = layout_.optionKeys[i].key;
        table.Count = 0;
        optionsLoadedFrom = 0;
        notShown = 0;
        bool optionsRead = false;
        for (unsigned section = 0; section < kept.sectionCount(); ++section) {
            const wchar_t* name = kept.sectionName(section);
            // The profile functions read the first section of a name; any later one is kept as it is.
            if (equalIgnoringAsciiCase(name, optionsSection)) {
                if (!optionsRead) {
                    readOptions(SettingsValues(kept, section, path, optionsSection), options);
                    kept.markLoaded(section, optionKeyNames, optionCount);
                    optionsLoadedFrom = section + 1;
                }
                optionsRead = true;
                continue;
            }
            if (name[0] == L'\0' || isSectionLoaded(table, name))
                continue;
            if (table.Count >= capacity) {
                ++notShown;
                continue;
            }
            Entry& entry = table.Entries[table.Count];
            entry = Entry{};
            layout_.readEntry(SettingsValues(kept, section, path, name), name, entry);
            entry.LoadedFrom = section + 1;
            kept.markLoaded(section, layout_.entryKeys, layout_.entryKeyCount);
            ++table.Count;
        }
        if (!optionsRead)
            readOptions(SettingsValues(kept, SettingsValues::noSection, path, optionsSection), options);
    }

    void readOptions(const SettingsValues& values, Options& options) const
    {
        for (size_t i = 0; i < layout_.optionCount; ++i) {
            const OptionKey<Options>& option = layout_.optionKeys[i];
            options.*option.field = values.number(option.key, option.whenMissing);
        }
    }

    void remember()
    {
        if (loaded_ == nullptr)
            loaded_ = new (std::nothrow) Loaded;
        if (loaded_ == nullptr)
            return;
        loaded_->options = options_;
        loaded_->table.Count = table_.Count;
        for (unsigned i = 0; i < table_.Count && i < capacity; ++i)
            loaded_->table.Entries[i] = table_.Entries[i];
    }

    bool sameWritten(const Entry& left, const Entry& right) const
    {
        SettingsWriter leftText;
        SettingsWriter rightText;
        layout_.writeEntry(leftText, left);
        layout_.writeEntry(rightText, right);
        return !leftText.failed() && !rightText.failed() && leftText.length() == rightText.length()
            && memcmp(leftText.text(), rightText.text(), leftText.length() * sizeof(wchar_t)) == 0;
    }

    bool optionChanged(size_t key) const
    {
        const OptionKey<Options>& option = layout_.optionKeys[key];
        return loaded_ == nullptr
            || !sameOptionValue(options_.*option.field, loaded_->options.*option.field, option.isFlag);
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
    DWORD merge(const wchar_t* path, KeptSettings& now)
    {
        // A file that is as it was read, or went missing, holds nothing the user added by hand: what
        // was kept of it at the load is written again.
        bool asRead = !now.fileExisted() || now.fingerprint() == kept_.fingerprint();
        KeptSettings& file = asRead ? kept_ : now;
        Loaded* fromFile = nullptr;
        unsigned fileOptionsLoadedFrom = optionsLoadedFrom_;
        if (!asRead) {
            fromFile = new (std::nothrow) Loaded;
            if (fromFile == nullptr)
                return ERROR_NOT_ENOUGH_MEMORY;
            unsigned notShown = 0;
            take(now, path, fromFile->table, fromFile->options, fileOptionsLoadedFrom, notShown);
        }
        const Table& fileTable = fromFile != nullptr ? fromFile->table : loaded_ != nullptr ? loaded_->table : table_;
        const Options& fileOptions = fromFile != nullptr ? fromFile->options
            : loaded_ != nullptr                         ? loaded_->options
                                                         : options_;

        SettingsWriter writer;
        file.writeLeadingLines(writer);
        for (size_t key = 0; key < layout_.optionCount; ++key) {
            const OptionKey<Options>& option = layout_.optionKeys[key];
            int value = optionChanged(key) ? options_.*option.field : fileOptions.*option.field;
            if (option.isFlag)
                writer.writeFlag(optionsSection, option.key, value);
            else
                writer.writeNumber(optionsSection, option.key, value);
        }
        file.writeKeptLines(writer, fileOptionsLoadedFrom);

        MergedEntry entries[2 * capacity];
        size_t count = mergeEntries(fileTable, entries);
        for (size_t i = 0; i < count; ++i) {
            const MergedEntry& merged = entries[i];
            const Entry& entry = merged.fromTable ? table_.Entries[merged.inTable] : fileTable.Entries[merged.inFile];
            if (!layout_.writeEntry(writer, entry))
                continue;
            // The keys the plug-in doesn't know stay with their entry, from the file as it is now.
            if (merged.inFile >= 0)
                file.writeKeptLines(writer, fileTable.Entries[merged.inFile].LoadedFrom);
            else if (merged.inTable >= 0)
                kept_.writeKeptLines(writer, table_.Entries[merged.inTable].LoadedFrom);
        }
        file.writeUnloadedSections(writer);
        delete fromFile;

        // The new file is complete before it replaces the old one, so a failed save keeps the old settings.
        DWORD error = file.save(path, writer);
        if (error == ERROR_SUCCESS && kept_.takeText(writer.text(), writer.length())) {
            take(kept_, path, table_, options_, optionsLoadedFrom_, entriesNotShown_);
            remember();
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
    Loaded* loaded_ = nullptr;
    unsigned optionsLoadedFrom_ = 0;
    unsigned entriesNotShown_ = 0;
    bool toldUnread_ = false;
};
