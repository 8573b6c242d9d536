#pragma once
// A new record: every field gets the default of its type, counters the next
// number of their field.
#include <string>

namespace quorvil {

class TJFILE;

// The text a new record holds in `field`: "0" for numbers and Booleans,
// "01/01/00" and "00:00:00" for dates and times (written in the form the
// field's values have, "01/01/2000" among four-digit years), "01 Jan 1980"
// for long dates, the first popup item of a list, the next counter value,
// else "".
std::string DefaultValue(const TJFILE& db, int field);
// One more than the largest number among the field's values (not numbers
// count as 0), zero-padded to the longest value when any value has leading
// zeros; "1" for a database without records.
std::string NextCounterValue(const TJFILE& db, int field);
// Appends one record of default values and returns its number. Throws
// ERangeError when the database already holds 65535 records.
int AppendDefaultRecord(TJFILE& db);

}  // namespace quorvil
