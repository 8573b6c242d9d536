#pragma once
// What opening a database checks and repairs, and the small texts it reads
// and writes (column widths, tab caption). No user interface here.
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// Number of the last field named exactly "DBID", 0 when there is none.
int FindDbidField(const TJFILE& db);

// A first field of type INTEGER named "No." or "#" becomes AUTOINC, so new
// records number themselves. True when it changed.
bool MakeCounterField(TJFILE& db);

// One report line per non-empty value of a LIST field that is not one of the
// field's popup items; empty when every value is in its list.
std::vector<std::string> CheckPopupValues(const TJFILE& db);
// Appends each missing value to its field's popup list once, in record
// order. A list that is full (50 items) takes no more.
void FixPopupValues(TJFILE& db);

// When at least one FLOAT cell begins with '$' and every non-empty cell of
// every FLOAT field does, all FLOAT fields become STRING. True when changed.
bool ApplyCurrencyRule(TJFILE& db);

// Widths from "64,120,40": taken one by one until the first piece that is
// not a decimal number, the end of the text, or `columns` widths.
std::vector<int> ParseColumnWidths(const std::string& text, int columns);
std::string JoinColumnWidths(const std::vector<int>& widths);

// The file name without directory and extension, '_' shown as a space.
std::string TabCaption(const std::string& path);

}  // namespace quorvil
