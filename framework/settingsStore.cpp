#include "settingsStore.h"

#include <algorithm>

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
