#pragma once
// What the CSV import's readers share: the file's bytes, the rows read from
// them and the one way they fail. Not for use outside the import.
#include "charset.h"
#include "csv_import_settings.h"
#include "errors.h"
#include "file_image.h"
#include "layout.h"
#include "record_data.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

inline constexpr size_t kMaxCsvRecords = 65535;

// The bytes of the CSV file, changed in place while they are read.
struct TCsvBytes {
    TPageBuffer Buffer;
    size_t Size() const { return Buffer.Size(); }
    char* Begin() const { return reinterpret_cast<char*>(Buffer.Data()); }
    char* End() const { return Begin() + Size(); }
};

// The cells of the file: the names of the header line and the records, which
// may refer to `Image`.
struct TCsvRows {
    std::vector<std::string> Names;
    std::vector<TDATA> Records;
    std::unique_ptr<TFileImage> Image;
    int FieldCount = 0;
};

class TCsvFailure {
public:
    // `nulBytes`: the file holds a NUL byte somewhere, so every text is
    // searched for one.
    TCsvFailure(const std::string& csvName, bool nulBytes)
        : prefix_("Cannot import \"" + csvName + "\": "), nulBytes_(nulBytes)
    {
    }
    [[noreturn]] void operator()(const std::string& detail) const { throw EInOutError(prefix_ + detail); }
    [[noreturn]] void Line(int line, const std::string& detail) const
    {
        (*this)("line " + std::to_string(line) + " " + detail);
    }
    // `limits`: the facts of the chosen layout.
    [[noreturn]] void TooManyFields(int line, const TLayoutFacts& limits) const
    {
        Line(line, "holds more cells than the " + std::to_string(limits.MaxFields) + " fields a " + limits.Name +
                       " database can hold.");
    }
    void CheckCell(int line, size_t field, std::string_view cell, const TLayoutFacts& limits) const
    {
        if (cell.size() > limits.LongestValue)
            Line(line, "holds " + std::to_string(cell.size()) + " characters in field " + std::to_string(field) +
                           "; a cell holds at most " + std::to_string(limits.LongestValue) + ".");
        CheckNul(line, field, cell);
    }
    // A database's texts end at a NUL byte: one inside a cell or a field
    // name would cut it when the database is saved.
    void CheckNul(int line, size_t field, std::string_view text) const
    {
        if (nulBytes_ && text.find('\0') != std::string_view::npos)
            Line(line, "holds a NUL byte in field " + std::to_string(field) + "; a database cannot hold one.");
    }
    void CheckRecordCount(int line, size_t records) const
    {
        if (records >= kMaxCsvRecords)
            Line(line, "starts record 65536; a database holds at most 65535 records.");
    }

private:
    std::string prefix_;
    bool nulBytes_;
};

// The rows of `reader` (a class with Next(cells, maxCells), false at the
// end, and RowLine()): the header line first when `headerLine` or
// `settings` (whose field count it must have), then one record a row.
template <class Reader>
TCsvRows ReadCsvRows(Reader& reader, bool headerLine, const TCsvSettings* settings, const TLayoutFacts& limits,
                     const TCsvFailure& fail)
{
    TCsvRows rows;
    std::vector<std::string_view> cells;
    cells.reserve(kMaxSlots + 1);
    size_t maxCells = size_t(limits.MaxFields);
    headerLine = headerLine || settings;
    if (headerLine && reader.Next(cells, maxCells)) {
        if (cells.size() > maxCells)
            fail.TooManyFields(reader.RowLine(), limits);
        if (settings && cells.size() != settings->Types.size())
            fail.Line(reader.RowLine(), "names " + std::to_string(cells.size()) + " fields; its settings file \"" +
                                            settings->DefName + "\" describes " +
                                            std::to_string(settings->Types.size()) + ".");
        for (size_t i = 0; i < cells.size(); ++i) {
            fail.CheckNul(reader.RowLine(), i + 1, cells[i]);
            rows.Names.emplace_back(cells[i]);
        }
        maxCells = cells.size();
    }
    size_t widest = rows.Names.size();
    while (reader.Next(cells, maxCells)) {
        const int line = reader.RowLine();
        if (cells.size() > maxCells) {
            if (headerLine)
                fail.Line(line,
                          "holds more cells than the " + std::to_string(maxCells) + " fields of the header line.");
            fail.TooManyFields(line, limits);
        }
        fail.CheckRecordCount(line, rows.Records.size());
        for (size_t i = 0; i < cells.size(); ++i)
            fail.CheckCell(line, i + 1, cells[i], limits);
        widest = std::max(widest, cells.size());
        rows.Records.emplace_back(cells.data(), int(cells.size()));
    }
    rows.FieldCount = int(widest);
    for (size_t f = rows.Names.size(); f < widest; ++f)
        rows.Names.push_back("Field " + std::to_string(f + 1));
    return rows;
}

// How far the reading is, in thousandths of the file: its lines differ too
// much in length to count them.
void ReportCsvPosition(const char* at, const char* end, size_t size);

// True when the file starts with the UTF-8 byte-order mark.
bool StartsWithUtf8Mark(const TCsvBytes& data);

// Reads standard CSV in UTF-8 (RFC 4180; after the byte-order mark, if any)
// with `separator`, or with the one the file uses when it is 0. Cells are
// taken as they are and converted to `set`; a header line names the fields
// (always with `settings`, whose field count it must have).
TCsvRows ReadUtf8Rows(TCsvBytes& data, char separator, TCharset set, bool headerLine, const TCsvSettings* settings,
                      const TLayoutFacts& limits, const TCsvFailure& fail);

// The separator of a UTF-8 file whose cells start at `from`: ',' or ';',
// whichever the first line holds more often outside quotes; on a tie the
// lines after it count too, and ',' where they never differ.
char DetectCsvSeparator(const char* from, const char* end);

}  // namespace quorvil
