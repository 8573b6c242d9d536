#pragma once
// Sorting the records of a database by key fields. A record's key is built
// once, at most 255 bytes compared byte by byte: text fields by their bytes,
// numbers by value, dates and times in time order (empty and unreadable
// values of those first), List fields by popup position or the order
// dialog's choice. The records are ordered by a quicksort with Hoare
// partitioning (not stable: equal keys end where that algorithm puts them).
#include "field_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;

struct TSortOrder {
    // Field names in key order; a name matches the first field with exactly
    // that name.
    std::vector<std::string> SortList;
    // Choices of the order dialog, one per List field among the keys; empty
    // when the dialog has not run (List fields then key by popup position).
    std::vector<int> OrderModes;  // 0 alphabetically, 1 user-defined
    std::vector<std::vector<std::string>> OrderLists;
    // One flag per entry of SortList: that key sorts descending. Missing
    // flags are ascending; the saved sorts of a file know no direction.
    std::vector<bool> Descending = {};
};

// The value of a Number, Date, LongDate or Time text as bits whose unsigned
// order is the values' order; nothing when the text holds no such value.
std::optional<uint64_t> OrderedValue(TOrderKind kind, std::string_view text);

// The key of a record: bytes whose order is the sort order, not text to show.
std::string SortKey(const TJFILE& db, int record, const TSortOrder& order);

// Sorts records lo..hi by their keys (each key ascending unless marked
// descending).
void SortRecords(TJFILE& db, const TSortOrder& order, int lo, int hi);

}  // namespace quorvil
