#pragma once
// What a printout of a database shows: its layout, orientation, fields and
// font size, remembered under the database's title like its column widths.
// The editor's dialog and quorvil-cli fill it; the pages follow it.
#include <string>
#include <vector>

namespace quorvil {

class TIniFile;

enum class TPrintLayout {
    Table,  // a header row of field names, a row per record, columns in proportion to the grid's
    Cards,  // a block of "Field: value" lines per record, as the record view shows them
};

inline constexpr int kMinPrintFontPoints = 6;
inline constexpr int kMaxPrintFontPoints = 24;

struct TPrintOptions {
    TPrintLayout Layout = TPrintLayout::Table;
    bool Landscape = false;
    std::vector<int> Fields;  // field numbers from 1, in print order; empty: every field
    int FontPoints = 9;       // kMinPrintFontPoints..kMaxPrintFontPoints
    bool operator==(const TPrintOptions&) const = default;
};

// The options remembered under the section `title`, defaults where none
// are; fields past `fieldCount` (the definition changed since) are left out,
// and a font size out of range is brought into it.
TPrintOptions ReadPrintOptions(const TIniFile& ini, const std::string& title, int fieldCount);
// False when the settings file cannot be written.
bool StorePrintOptions(TIniFile& ini, const std::string& title, const TPrintOptions& options);

}  // namespace quorvil
