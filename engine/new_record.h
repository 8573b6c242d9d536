#pragma once
// A new record: every field gets the database's default for it, counters the
// next number of their field, and the automatic date and time fields the
// moment the record was made. An edit of a record stamps its modification
// date and time fields.
#include "field_types.h"
#include "local_clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// The text a new record made at `now` holds in `field`:
// - AUTODATE and MODDATE the date of `now`, AUTOTIME and MODTIME its time,
//   written in the form the field's values have (as a typed value is);
// - AUTOINC the next counter value;
// - else the field's stored default, where the layout keeps defaults (5.x):
//   a date or time in the field's form, a List field's default only when it
//   is one of its values;
// - else its type's (TFieldTypeFacts::NewValue): "0" for numbers and
//   Booleans, "01/01/00" and "00:00:00" for dates and times (in the field's
//   form, "01/01/2000" among four-digit years), "01 Jan 1980" for long
//   dates, the first popup item of a list, else "".
std::string DefaultValue(const TJFILE& db, int field, const TLocalMoment& now);
// One more than the largest number among the field's values (not numbers
// count as 0), zero-padded to the longest value when any value has leading
// zeros; "1" for a database without records.
std::string NextCounterValue(const TJFILE& db, int field);
// Appends one record of default values made at `now` and returns its
// number. Throws ERangeError when the database already holds 65535 records.
int AppendDefaultRecord(TJFILE& db, const TLocalMoment& now);

// MODDATE and MODTIME: the fields an edit of their record stamps.
bool IsEditStamped(TFieldType type);

// A field of a record and the text its cell held before a change.
struct TCellBefore {
    int Field;
    std::string Text;
};

// After the user changed the fields `edited` of `record`: every MODDATE and
// MODTIME field of the record gets the date or time of `now` in its form.
// Nothing is stamped when one of `edited` is such a field: the user then set
// the moment by hand. Returns the cells the stamp changed.
std::vector<TCellBefore> StampEdit(TJFILE& db, int record, const std::vector<int>& edited, const TLocalMoment& now);

}  // namespace quorvil
