#pragma once
// The .DEF settings file beside a CSV file, read back for the import: the
// "JFilePro" section the CSV export writes.
#include "field_types.h"
#include "layout.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvil {

class TIniFile;
class TJFILE;

struct TCsvSettings {
    std::string DefName;
    std::vector<TFieldType> Types;  // one per column
    std::vector<int> Widths;        // one per column
    std::string Title;
    // The layout the keys point to: 5.5 with an international date or the
    // 5.x keys (5.x and 5.5 cannot be told apart), else Pro 4.x (3.x cannot
    // be told apart either).
    TLayout Layout = TLayout::JFile55;
    std::unique_ptr<TIniFile> Ini;

    TCsvSettings();
    ~TCsvSettings();
};

// The settings of `csvName` (its name with ".DEF", or ".def"); null when
// there is no such file or it holds no field types. Throws EInOutError for
// a type name no field type has.
std::unique_ptr<TCsvSettings> ReadCsvSettings(const std::string& csvName);

// Throws EInOutError, naming the file, for settings an import into `layout`
// would not keep: a popup value that reads back as a chunk header, a default
// longer than a cell of that layout.
void CheckCsvSettings(const std::string& csvName, const TCsvSettings& settings, TLayout layout);

// Gives `db` (with its fields and layout set) the popup lists, view
// settings, defaults, saved sorts and saved filters of `settings`. The keys
// numbered by field ("Popup4") are taken as the column's number: true of an
// export of all fields in their order.
void ApplyCsvSettings(TJFILE& db, const TCsvSettings& settings);

}  // namespace quorvil
