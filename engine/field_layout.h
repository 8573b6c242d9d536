#pragma once
// Fields added, deleted and put in another order in a database that holds
// records. The cells and everything kept per field (name, type, width,
// popup list, default) move with their field, and what names fields by
// number follows them: the view's sort, find and filter fields, the first
// column and the saved sorts.
#include "field_definition.h"
#include "local_clock.h"

#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// For each field of a new order (position p at index p - 1), the field of
// the database it was (from 1), or 0 for a field added.
using TFieldSources = std::vector<int>;

// The order that keeps the `count` fields of a database as they are.
TFieldSources SameFields(int count);

// The field the new order puts field `old` at (from 1); 0 when it drops it.
int NewPosition(const TFieldSources& sources, int old);

// The saved sorts (1..5) that sort by a field the new order drops.
std::vector<int> SavedSortsLost(const TJFILE& db, const TFieldSources& sources);

// How many records hold a value (any text) in field `f`.
int RecordsWithValues(const TJFILE& db, int f);

// The cells of a change of the fields: the new order, the number of fields
// it starts from, and the cells of the fields it adds (one text per record,
// in the order of the 0s of Sources; a missing one is empty).
struct TFieldCells {
    TFieldSources Sources;
    int From = 0;
    std::vector<std::vector<std::string>> Added;
};

// Puts every record's cells in the order of `change`. Returns the change
// that puts them back: the inverse order, which adds the dropped fields with
// their cells.
TFieldCells RearrangeCells(TJFILE& db, const TFieldCells& change);

// Gives the database the fields of the new order `sources` with the names,
// types and popup lists of `fields` (one per position): each kept field
// takes its cells, width and default along; an added one gets width 100,
// no default and, in every record, the value a new record made at `now`
// would have in it (AutoInc fields count the records). A saved sort on a
// dropped field is removed; the view's sort, find and filter fields and
// the first column follow their fields (to field 1 when theirs is
// dropped). Returns the change that puts the cells back.
TFieldCells RearrangeFields(TJFILE& db, const TFieldSources& sources, const std::vector<TFieldDefinition>& fields,
                            const TLocalMoment& now);

}  // namespace quorvil
