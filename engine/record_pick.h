#pragma once
// Records of one database written as those of another database with other
// fields, without copying them: the outputs of a split are written straight
// from the records of the database split.
#include "record_data.h"

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;

class TRecordPick {
public:
    // Output field k (from 1) shows source field fields[k - 1], or the text
    // fixed[k] where `fixed` holds one, as SetCell would store it in that
    // source field (a Boolean's TRUE and FALSE texts as "1" and "0"). At
    // most 50 fields.
    TRecordPick(const TJFILE& source, std::vector<int> fields, std::map<int, std::string> fixed = {});
    // The fixed texts are pointed at inside the pick's own map, which a
    // move keeps in place and a copy would not.
    TRecordPick(const TRecordPick&) = delete;
    TRecordPick& operator=(const TRecordPick&) = delete;
    TRecordPick(TRecordPick&&) = default;

    // The source record numbers, in output order.
    std::vector<int> Rows;

    int Count() const { return int(Rows.size()); }
    int FieldCount() const { return int(fields_.size()); }
    // The cells of output record i (from 1), field k in out[k - 1] (empty
    // beyond FieldCount). Returns the bytes that hold the source record's
    // texts (TDATA::TextSpan): with the fixed texts, they hold every cell.
    // `nulFree`, when given, tells whether no cell is known to hold a NUL.
    std::string_view Cells(int i, std::array<std::string_view, kMaxSlots>& out, bool* nulFree = nullptr) const;
    // Whether a fixed text holds a line feed.
    bool FixedLineFeeds() const { return fixedLineFeeds_; }

private:
    const TJFILE& source_;
    std::vector<int> fields_;
    std::array<const std::string*, kMaxSlots> fixed_{};
    std::map<int, std::string> fixedTexts_;
    bool fixedLineFeeds_ = false;
    bool fixedNul_ = false;
};

}  // namespace quorvil
