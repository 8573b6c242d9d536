// Reading a CSV file back into a database. The whole file is checked before
// the database is touched; cells are cut out of the file's buffer in place
// (every change a cell needs makes it shorter). The records of the export's
// own CSV stay in that buffer, which the database takes as its file image,
// so a large file costs one read and one pass, as loading a .PDB does.
#include "csv_import.h"

#include "byte_io.h"
#include "charset.h"
#include "csv_import_rows.h"
#include "csv_import_settings.h"
#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "progress.h"
#include "record_data.h"
#include "streams.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace quorvil {

namespace {

const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";

// Nothing but blanks and line ends, after the byte-order mark some
// spreadsheets put first.
bool HoldsNothing(const TCsvBytes& data)
{
    const char* p = data.Begin() + (StartsWithUtf8Mark(data) ? 3 : 0);
    return std::all_of(p, static_cast<const char*>(data.End()),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

TCsvBytes ReadWholeFile(const std::string& name)
{
    // The file stream names what went wrong (a folder, no permission, ...).
    TFileStream in(name, TFileStream::Mode::ReadOnly);
    TCsvBytes data;
    // Left uninitialised: the read fills it, so each page is touched once.
    data.Buffer = TPageBuffer(size_t(in.Size()));
    if (in.Read(data.Begin(), data.Size()) != data.Size())
        throw EStreamError("Cannot read file \"" + name + "\". It changed while it was read.");
    return data;
}

// --- The export's own dialect ------------------------------------------------
// Every cell is quoted and quotes inside are not doubled, so a cell ends only
// at "," between quotes or at the end of its line; a line is one record.

// Undoes the export's date rewriting: "05 Mar 2003" back to 05/03/2003, in
// place. Other texts stay as they are.
std::string_view UndoDate(char* cell, size_t size)
{
    auto digits = [&](size_t from, size_t count) {
        return std::all_of(cell + from, cell + from + count, [](char c) { return c >= '0' && c <= '9'; });
    };
    if (size != 11 || cell[2] != ' ' || cell[6] != ' ' || !digits(0, 2) || !digits(7, 4))
        return {cell, size};
    for (size_t m = 0; m < 12; ++m) {
        const char* name = kMonths + 3 * m;
        if (cell[3] != name[0] || cell[4] != name[1] || cell[5] != name[2])
            continue;
        const char month[] = {'/', char('0' + (m + 1) / 10), char('0' + (m + 1) % 10), '/'};
        std::memmove(cell + 6, cell + 7, 4);
        std::memcpy(cell + 2, month, 4);
        return {cell, 10};
    }
    return {cell, size};
}

// The first ',' in [p, stop), or stop. Eight bytes at a time: cells are
// short, and a call to memchr a cell costs more than the search itself.
char* FindComma(char* p, char* stop)
{
    for (; stop - p >= 8; p += 8) {
        // The lowest bit set marks the first comma.
        const uint64_t zeros = LanesEqual(LoadWord(p), ',');
        if (zeros == 0)
            continue;
        if constexpr (std::endian::native == std::endian::little)
            return p + std::countr_zero(zeros) / 8;
        break;
    }
    while (p < stop && *p != ',')
        ++p;
    return p;
}

// Splits one line (without its line end) into its cells; returns their
// number, or size_t(-1) for a line that is not a line of quoted cells.
size_t SplitExportLine(char* begin, char* end, std::vector<std::string_view>& cells)
{
    cells.clear();
    if (begin == end)
        return 0;
    if (end - begin < 2 || *begin != '"' || end[-1] != '"')
        return size_t(-1);
    char* cell = begin + 1;
    char* const stop = end - 1;
    for (char* p = cell; p < stop;) {
        p = FindComma(p, stop);
        if (p == stop)
            break;
        if (p - 1 >= cell && p[-1] == '"' && p + 1 < stop && p[1] == '"') {
            cells.emplace_back(cell, size_t(p - 1 - cell));
            cell = p + 2;
            p = cell;
        } else {
            ++p;
        }
    }
    cells.emplace_back(cell, size_t(stop - cell));
    return cells.size();
}

// Moves the cells of one line (in order, within [line, next)) to the end of
// the line's bytes as a record of the length-table layout: the lengths, then
// the texts. Besides its n texts a line holds 3n - 1 bytes or more (quotes
// and separators), the record's table 2n, and no text moves left, so no text
// is overwritten before it has moved.
TDATA PackedRecord(char* line, char* next, const std::vector<std::string_view>& cells)
{
    char* text = next;
    for (size_t i = cells.size(); i-- > 0;) {
        text -= cells[i].size();
        std::memmove(text, cells[i].data(), cells[i].size());
    }
    auto* table = reinterpret_cast<uint8_t*>(text) - 2 * cells.size();
    if (reinterpret_cast<char*>(table) < line)
        return TDATA(cells.data(), int(cells.size()));  // cannot happen with quoted cells
    for (size_t i = 0; i < cells.size(); ++i) {
        table[2 * i] = uint8_t(cells[i].size() >> 8);
        table[2 * i + 1] = uint8_t(cells[i].size());
    }
    return TDATA::InFile(table, size_t(reinterpret_cast<uint8_t*>(next) - table), int(cells.size()),
                         TDATA::TFileFormat::Packed);
}

// Reads the export's CSV: a header line naming the fields, then one line per
// record of exactly as many cells.
TCsvRows ReadExportRows(TCsvBytes& data, const TCsvSettings& settings, const TLayoutFacts& limits,
                        const TCsvFailure& fail)
{
    TCsvRows rows;
    const size_t count = settings.Types.size();
    rows.FieldCount = int(count);
    if (count > size_t(limits.MaxFields))
        fail.TooManyFields(1, limits);
    std::vector<char> isDate(count);
    for (size_t i = 0; i < count; ++i)
        isDate[i] = settings.Types[i] == TFieldType::Date;

    std::vector<std::string_view> cells;
    cells.reserve(kMaxSlots + 1);
    char* p = data.Begin();
    char* const end = data.End();
    for (int line = 1; p < end; ++line) {
        ReportCsvPosition(p, end, data.Size());
        char* lineEnd = static_cast<char*>(std::memchr(p, '\n', size_t(end - p)));
        char* next = lineEnd ? lineEnd + 1 : end;
        if (!lineEnd)
            lineEnd = end;
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        const size_t got = SplitExportLine(p, lineEnd, cells);
        if (got == size_t(-1))
            fail.Line(line, "is not a line of quoted cells: a quote is missing at its start or end.");
        if (line == 1 && got != count)
            fail.Line(line, "names " + std::to_string(got) + " fields; its settings file \"" + settings.DefName +
                                "\" describes " + std::to_string(count) + ".");
        if (got > count)
            fail.Line(line, "holds " + std::to_string(got) + " cells, more than the " + std::to_string(count) +
                                " fields of the header line.");
        if (got < count)
            fail.Line(line, "holds " + std::to_string(got) + " cells, fewer than the " + std::to_string(count) +
                                " fields of the header line.");
        if (line == 1) {
            for (size_t i = 0; i < count; ++i) {
                fail.CheckNul(line, i + 1, cells[i]);
                rows.Names.emplace_back(cells[i]);
            }
        } else {
            fail.CheckRecordCount(line, rows.Records.size());
            // One search of the line spares one a cell: line breaks are rare.
            const bool lineBreaks = std::memchr(p, '\xCF', size_t(lineEnd - p)) != nullptr;
            for (size_t i = 0; i < count; ++i) {
                char* text = const_cast<char*>(cells[i].data());
                if (lineBreaks)
                    std::replace(text, text + cells[i].size(), '\xCF', '\n');
                if (isDate[i])
                    cells[i] = UndoDate(text, cells[i].size());
                fail.CheckCell(line, i + 1, cells[i], limits);
            }
            // No cell holds a NUL byte, which would end its text in the image.
            rows.Records.push_back(PackedRecord(p, next, cells));
        }
        p = next;
    }
    if (rows.Names.size() != count)
        fail("the file has no header line with the " + std::to_string(count) + " fields of its settings file.");
    rows.Image = TFileImage::Adopt(std::move(data.Buffer));
    return rows;
}

// --- Spreadsheet CSV ---------------------------------------------------------
// Cells may be quoted (a doubled quote is one quote, line breaks stay inside)
// or not; lines end with CR LF or LF.

class TRowReader {
public:
    TRowReader(TCsvBytes& data, const TCsvFailure& fail)
        : p_(data.Begin()), end_(data.End()), size_(data.Size()), fail_(fail)
    {
        // A byte-order mark some spreadsheets put first is no part of a name.
        if (StartsWithUtf8Mark(data))
            p_ += 3;
    }

    // Reads the next row into `cells` (at most `maxCells` + 1 of them);
    // false at the end of the file.
    bool Next(std::vector<std::string_view>& cells, size_t maxCells)
    {
        if (p_ == end_)
            return false;
        ReportCsvPosition(p_, end_, size_);
        cells.clear();
        rowLine_ = line_;
        while (cells.size() <= maxCells) {
            char* start = p_;
            char* out = p_;
            if (p_ < end_ && *p_ == '"') {
                ReadQuoted(out);
            } else {
                while (p_ < end_ && *p_ != ',' && *p_ != '\n')
                    *out++ = *p_++;
                if ((p_ == end_ || *p_ == '\n') && out > start && out[-1] == '\r')
                    --out;  // CR LF, or a CR that ends the file
            }
            cells.emplace_back(start, size_t(out - start));
            if (p_ == end_)
                return true;
            if (*p_ == ',') {
                ++p_;
                continue;
            }
            // The line's end: LF, CR LF, or a CR that ends the file.
            if (*p_ == '\r')
                ++p_;
            if (p_ < end_ && *p_ == '\n')
                ++p_;
            ++line_;
            return true;
        }
        return true;
    }
    int RowLine() const { return rowLine_; }

private:
    bool AtCellEnd() const
    {
        return p_ == end_ || *p_ == ',' || *p_ == '\n' || (*p_ == '\r' && (p_ + 1 == end_ || p_[1] == '\n'));
    }

    // A quoted cell from its opening quote, written to `out`; p_ stops at
    // what follows the closing quote.
    void ReadQuoted(char*& out)
    {
        ++p_;
        while (true) {
            if (p_ == end_)
                fail_.Line(rowLine_, "opens a quoted cell that is never closed.");
            const char c = *p_++;
            if (c == '"') {
                if (p_ < end_ && *p_ == '"') {
                    *out++ = '"';
                    ++p_;
                    // A doubled quote that ends the cell: the export's way
                    // of writing a text that ends in a quote.
                    if (AtCellEnd())
                        return;
                    continue;
                }
                if (AtCellEnd())
                    return;
                *out++ = '"';  // a lone quote inside a cell stays, as the export writes it
                continue;
            }
            if (c == '\n')
                ++line_;
            // A line break inside a cell is a line feed in the database.
            if (c == '\r' && p_ < end_ && *p_ == '\n')
                continue;
            *out++ = c;
        }
    }

    char* p_;
    char* end_;
    size_t size_;
    const TCsvFailure& fail_;
    int line_ = 1;
    int rowLine_ = 1;
};

TCsvRows ReadSpreadsheetRows(TCsvBytes& data, bool headerLine, const TLayoutFacts& limits, const TCsvFailure& fail)
{
    TRowReader reader(data, fail);
    return ReadCsvRows(reader, headerLine, nullptr, limits, fail);
}

// --- Into the database -------------------------------------------------------

void ApplyRows(TJFILE& db, TCsvRows& rows, const TCsvSettings* settings)
{
    db.SetFieldCount(rows.FieldCount);
    for (int f = 1; f <= rows.FieldCount; ++f) {
        db.SetFieldName(f, rows.Names[size_t(f - 1)]);
        db.SetFieldType(f, settings ? settings->Types[size_t(f - 1)] : TFieldType::String);
        if (settings)
            db.SetColumnWidth(f, settings->Widths[size_t(f - 1)]);
    }
    db.AdoptRecords(std::move(rows.Records), std::move(rows.Image));
}

// The records were made without SetCell: a Boolean cell that holds the TRUE
// or FALSE text (a hand-edited CSV) gets the "1" or "0" SetCell would store.
void StoreBooleanTexts(TJFILE& db)
{
    std::vector<int> booleans;
    for (int f = 1; f <= db.FieldCount(); ++f)
        if (db.GetFieldType(f) == TFieldType::Boolean)
            booleans.push_back(f);
    if (booleans.empty())
        return;
    // All cells of a record at once: the import's records find a cell by
    // stepping over the ones before it.
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        db.Record(r).Texts(cells);
        std::optional<TDATA> record;  // made only for a record that changes
        for (int f : booleans) {
            const std::string_view stored = db.StoredText(f, cells[size_t(f - 1)]);
            if (stored != cells[size_t(f - 1)]) {
                if (!record)
                    record = db.Record(r);
                record->SetField(f, stored);
            }
        }
        if (record)
            db.SetRecord(r, std::move(*record));
    }
}

}  // namespace

std::string ImportTitle(const std::string& csvName)
{
    return std::filesystem::path(csvName).stem().string().substr(0, 31);
}

struct TCsvImport::TState {
    TLayout Layout = TLayout::JFile55;
    std::string Title;
    std::unique_ptr<TCsvSettings> Settings;
    TCsvRows Rows;
    bool Guessed = false;  // read as UTF-8 without being told
    TCharset Charset = TCharset::Windows1252;
};

TCsvImport::TCsvImport(const std::string& csvName, const TCsvImportOptions& options)
    : state_(std::make_unique<TState>())
{
    state_->Charset = options.Charset;
    TCsvBytes data = ReadWholeFile(csvName);
    const TCsvFailure fail(csvName, data.Size() > 0 && std::memchr(data.Begin(), 0, data.Size()) != nullptr);
    // Such a file would become a database without fields.
    if (HoldsNothing(data))
        fail(kNothingToImport);
    state_->Settings = ReadCsvSettings(csvName);
    const TCsvSettings* settings = state_->Settings.get();
    state_->Layout = options.Layout ? *options.Layout : settings ? settings->Layout : TLayout::JFile55;
    state_->Title = settings ? settings->Title : ImportTitle(csvName);
    const TLayoutFacts& limits = Facts(state_->Layout);
    if (settings)
        CheckCsvSettings(csvName, *settings, state_->Layout);
    // The mark says UTF-8 as clearly as the option does. Without either, a
    // file whose bytes beyond ASCII all form UTF-8 characters is UTF-8: in
    // Windows-1252 text such pairs ("Ã©") hardly ever occur.
    const bool marked = options.Utf8 || StartsWithUtf8Mark(data);
    state_->Guessed = !marked && ClassifyBytes({data.Begin(), data.Size()}) == TTextBytes::Utf8;
    if (marked || state_->Guessed)
        state_->Rows = ReadUtf8Rows(data, options.Separator, options.Charset, options.HeaderLine, settings, limits,
                                    fail);
    else
        state_->Rows = settings ? ReadExportRows(data, *settings, limits, fail)
                                : ReadSpreadsheetRows(data, options.HeaderLine, limits, fail);
    // Nor does a header line of empty names with no record under it (",").
    const TCsvRows& rows = state_->Rows;
    if (rows.Records.empty() && std::all_of(rows.Names.begin(), rows.Names.end(), [](const std::string& name) {
            return name.find_first_not_of(" \t") == std::string::npos;
        }))
        fail(kNothingToImport);
}

TCsvImport::~TCsvImport() = default;

std::string TCsvImport::ReadingNote() const
{
    return state_->Guessed ? "Read as UTF-8 (no byte-order mark)." : "";
}

void TCsvImport::ApplyTo(TJFILE& db)
{
    db.BeginUpdate();
    db.ConvertLayout(state_->Layout);
    db.PdbHeader.Name = state_->Title;
    db.SetCharset(state_->Charset);
    ApplyRows(db, state_->Rows, state_->Settings.get());
    if (state_->Settings)
        ApplyCsvSettings(db, *state_->Settings);
    StoreBooleanTexts(db);
    db.EndUpdate();
    db.SetModified();
}

std::string ImportCSV(const std::string& csvName, const TCsvImportOptions& options, TJFILE& db)
{
    TCsvImport import(csvName, options);
    import.ApplyTo(db);
    return import.ReadingNote();
}

}  // namespace quorvil
