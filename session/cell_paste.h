#pragma once
// A block of cells copied from a spreadsheet, checked against the fields it
// lands in and written as one change; and the clearing of a block. A paste
// stores what typing the same texts would store, or nothing at all.
#include "cell_block.h"
#include "local_clock.h"

#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// The copied rows as the cells of the database show them, in UTF-8 from the
// database's character set: a
// Boolean as TrueText or FalseText, every other value as stored. `fields`
// are field numbers (from 1); a first row of field names when `names`.
TCellRows CopiedCells(const TJFILE& db, const std::vector<int>& records, const std::vector<int>& fields, bool names);

// Where a paste lands: the records of the rows from the first one down, in
// the order the view shows them, and the field of the first column. A
// single copied value fills all of `Records` and `Fields` columns (a
// selected block); otherwise the block's own size counts.
struct TPasteTarget {
    std::vector<int> Records;  // at least the first row's record
    int Field = 1;
    int Fields = 1;  // the width of a selected block, for a single value
};

struct TPastePlan {
    int Field = 1;
    int Width = 0;                                 // the columns pasted
    std::vector<std::vector<std::string>> Stored;  // per row, the texts to store from Field on
    int NewRows = 0;         // rows past the last record of the target, that would need new records
    int RowsBeyondRoom = 0;  // of those, the ones the database has no room for
    int DroppedColumns = 0;  // columns past the last field, left out
    // The first value the fields refuse, in UTF-8: the record and field
    // named, the reason in the words typing uses; empty when every value is
    // taken.
    std::string Problem;
};

// Checks every value of `rows` for the fields it lands in, by the rules of
// typing (CellInput) and of the views' editors: a Boolean takes TrueText,
// FalseText, 1 or 0 (blank: the type's new value), a List field one of its
// popup values or nothing, and no value a character the database's set
// lacks (`rows` are UTF-8). A row shorter than the block leaves the cells past
// its end as they are.
TPastePlan PlanPaste(const TJFILE& db, const TPasteTarget& target, const TCellRows& rows);

// Writes the plan into the target's records, and into new records for the
// rows past them when `addRows` (else those rows are left out); each
// record changed gets its edit stamp (StampEdit). Returns the records
// written, in the rows' order.
std::vector<int> ApplyPaste(TJFILE& db, const TPasteTarget& target, const TPastePlan& plan, bool addRows,
                            const TLocalMoment& now);

// The value a cleared cell of `field` holds: a Boolean the type's new value
// (unticked), any other field nothing.
std::string ClearedValue(const TJFILE& db, int field);
// Clears fields `fields` of `records`, stamping each record changed.
void ClearCells(TJFILE& db, const std::vector<int>& records, const std::vector<int>& fields, const TLocalMoment& now);

}  // namespace quorvil
