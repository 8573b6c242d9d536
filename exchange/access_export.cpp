#include "access_export.h"

#include "charset.h"
#include "date_arith.h"
#include "errors.h"
#include "jfile.h"
#include "numbers.h"
#include "progress.h"
#include "text_case.h"
#include "text_utils.h"
#include "text_writers.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

namespace quorvil {

namespace {

namespace fs = std::filesystem;

bool IsAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string AsciiAlnumOnly(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (IsAsciiAlnum(c))
            out += c;
    return out;
}

std::string ColumnNameOf(std::string name, int field)
{
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 32 || std::strchr(".!`[]", c))
            c = '_';
    name.erase(0, std::min(name.find_first_not_of(' '), name.size()));
    return name.empty() ? "Field" + std::to_string(field) : name;
}

bool Taken(const std::vector<TAccessColumn>& columns, const std::string& name)
{
    if (SameTextIgnoringCase(name, "ID"))
        return true;
    for (const TAccessColumn& column : columns)
        if (SameTextIgnoringCase(column.Name, name))
            return true;
    return false;
}

std::string TwoDigits(int n)
{
    return {char('0' + n / 10 % 10), char('0' + n % 10)};
}

// The colon doubling of the statements' dialect: "::" stands for one colon.
std::string DoubleColons(std::string_view text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == ':')
            out += ':';
    }
    return out;
}

// A cell's text as the database file takes every text, in UTF-8 from the
// database's set, with the line break mark '¤' as CR LF: only a character of
// its own is the mark, never a byte of a two-byte one. ASCII stays as it is.
std::string_view CellUtf8(std::string_view cell, TCharset set, std::string& buffer)
{
    if (std::all_of(cell.begin(), cell.end(), [](char c) { return uint8_t(c) < 0x80; }))
        return cell;
    const TCodec& codec = TCodec::Of(set);
    buffer.clear();
    size_t plain = 0;
    for (size_t i = 0; i < cell.size();) {
        const size_t length = codec.CharLength(cell, i);
        if (length == 1 && cell[i] == '\xA4') {
            buffer += CharsetToUtf8(set, cell.substr(plain, i - plain));
            buffer += "\r\n";
            plain = i + 1;
        }
        i += length;
    }
    buffer += CharsetToUtf8(set, cell.substr(plain));
    return buffer;
}

// `text` (UTF-8) as the statements' quoted text.
void AppendTextValue(std::string& out, std::string_view text)
{
    out += '"';
    while (!text.empty()) {
        // A plain loop: find_first_of searches the set once per character.
        size_t special = 0;
        while (special < text.size() && text[special] != '"' && text[special] != ':')
            ++special;
        if (special == text.size())
            special = std::string_view::npos;
        out.append(text.substr(0, special));
        if (special == std::string_view::npos)
            break;
        out += text[special] == '"' ? "\"\"" : "::";
        text.remove_prefix(special + 1);
    }
    out += '"';
}

// The date value 0 of the database, which a column shows as a time alone.
constexpr TCivilDate kDateZero{1899, 12, 30};

bool HasDate(const TCivilDate& date)
{
    return !(date == TCivilDate{}) && !(date == kDateZero);
}

// The seconds of the day a Time cell holds, read as every place reads a
// time; a time that mixes ':' and '.' this export has always read too.
std::optional<int> CellSeconds(std::string_view cell)
{
    std::optional<TClockTime> time = ParseTimeText(cell);
    if (!time && cell.find('.') != std::string_view::npos) {
        std::string colons(cell);
        std::replace(colons.begin(), colons.end(), '.', ':');
        time = ParseTimeText(colons);
    }
    if (!time)
        return std::nullopt;
    return time->Hour * 3600 + time->Minute * 60 + time->Second;
}

// The date a Date cell holds, read as every place reads a date; beyond that,
// a day/month/year the CSV export rewrites as a date (parts padded with
// zeros, a year before 1000), which this export has always read too.
std::optional<TCivilDate> CellDate(std::string_view cell)
{
    if (std::optional<TCivilDate> date = ParseDateText(cell))
        return date;
    return ParseLongDateText(CsvDateText(cell));
}

// Empty Date, Time, Integer and Float cells are NULL, not a made-up
// midnight or 0.
bool IsNullCell(TAccessKind kind, std::string_view cell)
{
    return cell.empty() && (kind == TAccessKind::Date || kind == TAccessKind::Time || kind == TAccessKind::Integer ||
                            kind == TAccessKind::Float);
}

// A Float cell's number as the statements write it: digits and a point,
// whatever the locale, and nothing that reads back as another number.
void PutReal(std::string& out, double value)
{
    char buffer[400];  // the longest double written without an exponent
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    out.append(buffer, error == std::errc() ? end : buffer);
}

// The temporary file the export writes, beside the target and with its
// extension (drivers go by it), created empty so that a directory that
// cannot be written is reported before anything else.
std::string CreateTemporaryBeside(const std::string& target)
{
    const fs::path path(target);
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = "." + path.stem().string() + "." + std::to_string(random() % 1000000) +
                                 path.extension().string();
        const std::string temp = (path.parent_path() / name).string();
        if (std::FILE* file = std::fopen(temp.c_str(), "wbx")) {
            std::fclose(file);
            return temp;
        }
        if (errno != EEXIST)
            break;
    }
    throw EStreamError("Cannot create file \"" + target + "\". " + std::strerror(errno));
}

// Removes the temporary file unless it has become the target.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::string name) : name_(std::move(name)) {}
    ~TTemporaryFile()
    {
        if (!name_.empty()) {
            std::error_code ec;
            fs::remove(name_, ec);
        }
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    const std::string& Name() const { return name_; }
    void MoveOver(const std::string& target)
    {
        std::error_code ec;
        fs::rename(name_, target, ec);
        if (ec)
            throw EStreamError("Cannot create file \"" + target + "\". " + ec.message());
        name_.clear();
    }

private:
    std::string name_;
};

void AddColumns(TAccessDB& adb, const std::vector<TAccessColumn>& columns)
{
    for (const TAccessColumn& column : columns) {
        switch (column.Kind) {
        case TAccessKind::Text: adb.AddTextColumn(column.Name); break;
        case TAccessKind::Integer: adb.AddIntegerColumn(column.Name); break;
        case TAccessKind::Float: adb.AddFloatColumn(column.Name); break;
        case TAccessKind::Date: adb.AddDateColumn(column.Name); break;
        case TAccessKind::Time: adb.AddTimeColumn(column.Name); break;
        case TAccessKind::Boolean: adb.AddBooleanColumn(column.Name); break;
        case TAccessKind::Unsupported: break;
        }
    }
}

// One row's statements as the log shows them: the failed statement on one
// line, its error on the next. A date or time that could not be read is
// logged and counted the same way, after the statement that wrote NULL for
// it, so that its text is not lost without a word.
int WriteRowStatements(TJFILE& db, TAccessDB& adb, int r, const std::vector<std::string>& starts,
                       const std::vector<TAccessColumn>& columns, std::ostream& log)
{
    int errors = 0;
    const std::string where = " WHERE ID=" + std::to_string(adb.AppendRecord());
    std::string statement;
    for (size_t c = 0; c < columns.size(); ++c) {
        statement = starts[c];
        const bool read = AppendAccessValue(statement, db, r, columns[c]);
        statement += where;
        try {
            adb.ExecuteSQL(statement);
        } catch (const ESqlError& e) {
            log << statement << '\n' << "Exception ESqlError: " << e.what() << '\n';
            ++errors;
            continue;
        }
        if (!read) {
            log << statement << '\n'
                << UnreadableMessage(columns[c].Kind, CharsetToUtf8(db.Charset(), db.CellView(r, columns[c].Field)))
                << '\n';
            ++errors;
        }
    }
    return errors;
}

bool IsWholeNumber(std::string_view text)
{
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    return !digits.empty() && digits.size() <= 18 &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void PutDigits(std::string& out, int n, int digits)
{
    char buffer[8];
    for (int i = digits - 1; i >= 0; --i, n /= 10)
        buffer[i] = char('0' + n % 10);
    out.append(buffer, size_t(digits));
}

void PutTime(std::string& out, int seconds)
{
    PutDigits(out, seconds / 3600, 2);
    out += ':';
    PutDigits(out, seconds / 60 % 60, 2);
    out += ':';
    PutDigits(out, seconds % 60, 2);
}

// `date` as the #date# literal reads it, in ISO 8601 in place of `text`:
// the zero date is the time 00:00:00. False for a date no column holds.
bool PutIsoDate(std::string& text, const TCivilDate& date)
{
    text.clear();
    if (!HasDate(date)) {
        PutTime(text, 0);
        return true;
    }
    if (date.Year < 0 || date.Year > 9999 || !IsValidDate(date.Year, date.Month, date.Day))
        return false;
    PutDigits(text, date.Year, 4);
    text += '-';
    PutDigits(text, date.Month, 2);
    text += '-';
    PutDigits(text, date.Day, 2);
    return true;
}

// The value a cell's statement would store, handed over without the
// statement: false for a cell whose statement fails or is not a plain value
// (an Integer cell that is no whole number) and for a date or time that is
// to be logged, which then go the statements' way. `text` holds what a text
// value refers to.
bool DirectValue(const TJFILE& db, int record, std::string_view cell, const TAccessColumn& column, std::string& text,
                 TSqlCell& value)
{
    value = TSqlCell{};
    if (IsNullCell(column.Kind, cell)) {
        value.IsNull = true;
        return true;
    }
    switch (column.Kind) {
    case TAccessKind::Text: value.Text = CellUtf8(cell, db.Charset(), text); return true;
    case TAccessKind::Integer:
        if (!IsWholeNumber(cell))
            return false;
        value.IsText = false;
        value.Number = std::stoll(std::string(cell));
        return true;
    case TAccessKind::Float: {
        const std::optional<double> number = DecimalValue(cell);
        if (!number)
            return false;
        value.IsText = false;
        value.IsReal = true;
        value.Real = *number;
        return true;
    }
    case TAccessKind::Boolean:
        value.IsText = false;
        value.Number = cell.empty() || db.GetDisplayCell(record, column.Field) == db.FalseText() ? 0 : 1;
        return true;
    case TAccessKind::Date: {
        const std::optional<TCivilDate> date = CellDate(cell);
        if (!date || !PutIsoDate(text, *date))
            return false;
        value.Text = text;
        return true;
    }
    case TAccessKind::Time: {
        const std::optional<int> seconds = CellSeconds(cell);
        if (!seconds)
            return false;
        text.clear();
        PutTime(text, *seconds);
        value.Text = text;
        return true;
    }
    case TAccessKind::Unsupported: return false;
    }
    return false;
}

// Every record, with the failed statements logged and counted. Without a
// hook, a row whose values are all plain goes to the file directly; the file
// ends up the same as through the statements.
int WriteRows(TJFILE& db, TAccessDB& adb, const std::vector<TAccessColumn>& columns, std::ostream& log,
              const TAccessEvents& events)
{
    int errors = 0;
    const int count = db.RecordCount();
    std::vector<std::string> starts;  // UPDATE [table] SET [column]=
    std::vector<std::string> names;
    for (const TAccessColumn& column : columns) {
        starts.push_back("UPDATE [" + adb.Table() + "] SET [" + column.Name + "]=");
        names.push_back(column.Name);
    }
    const bool direct = adb.PrepareRows(names);
    std::vector<std::string> texts(columns.size());
    std::vector<TSqlCell> values(columns.size());
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= count; ++r) {
        if (events.Progress && !events.Progress(r, count))
            throw ECancelled();  // the temporary file goes; an old file stays
        bool plain = direct;
        if (plain)
            db.Record(r).Texts(cells);  // one pass over the record
        for (size_t c = 0; plain && c < columns.size(); ++c)
            plain = DirectValue(db, r, cells[size_t(columns[c].Field - 1)], columns[c], texts[c], values[c]);
        if (plain)
            adb.AppendValues(values.data());
        else
            errors += WriteRowStatements(db, adb, r, starts, columns, log);
    }
    return errors;
}

}  // namespace

std::string AccessTableName(const TJFILE& db)
{
    std::string name = AsciiAlnumOnly(db.PdbHeader.Name);
    if (name.empty())
        name = AsciiAlnumOnly(fs::path(db.FileName).stem().string());
    return name.empty() ? "TABLE" : name;
}

std::vector<TAccessColumn> AccessColumns(const TJFILE& db)
{
    std::vector<TAccessColumn> columns;
    for (int f = 1; f <= db.FieldCount(); ++f) {
        const TAccessKind kind = FactsOf(db.GetFieldType(f)).Access;
        if (kind == TAccessKind::Unsupported)
            continue;
        const std::string base = ColumnNameOf(CharsetToUtf8(db.Charset(), db.GetFieldName(f)), f);
        std::string name = base;
        for (int n = 2; Taken(columns, name); ++n)
            name = base + "_" + std::to_string(n);
        columns.push_back({f, name, kind});
    }
    return columns;
}

std::string SqlDateTime(const TCivilDate& date, int seconds)
{
    std::string out = "#";
    // Every real date is written, those before the zero date too.
    const bool hasDate = HasDate(date);
    if (hasDate)
        out += std::to_string(date.Year) + "-" + std::to_string(date.Month) + "-" + std::to_string(date.Day);
    if (seconds > 0 || !hasDate) {
        if (hasDate)
            out += ' ';
        out += TwoDigits(seconds / 3600) + ":" + TwoDigits(seconds / 60 % 60) + ":" + TwoDigits(seconds % 60);
    }
    return out + "#";
}

int TimeTextToTime(std::string_view text)
{
    return CellSeconds(text).value_or(0);
}

std::string AccessValue(const TJFILE& db, int record, const TAccessColumn& column)
{
    std::string value;
    AppendAccessValue(value, db, record, column);
    return value;
}

bool AppendAccessValue(std::string& out, const TJFILE& db, int record, const TAccessColumn& column)
{
    const std::string_view cell = db.CellView(record, column.Field);
    if (IsNullCell(column.Kind, cell)) {
        out += "NULL";
        return true;
    }
    switch (column.Kind) {
    case TAccessKind::Text: {
        std::string buffer;
        AppendTextValue(out, CellUtf8(cell, db.Charset(), buffer));
        return true;
    }
    case TAccessKind::Boolean:
        // An empty cell is an empty box, as the grid shows it.
        out += cell.empty() || db.GetDisplayCell(record, column.Field) == db.FalseText() ? "FALSE" : "TRUE";
        return true;
    case TAccessKind::Date: {
        const std::optional<TCivilDate> date = CellDate(cell);
        out += date ? DoubleColons(SqlDateTime(*date, 0)) : "NULL";
        return date.has_value();
    }
    case TAccessKind::Time: {
        const std::optional<int> seconds = CellSeconds(cell);
        out += seconds ? DoubleColons(SqlDateTime(TCivilDate{}, *seconds)) : "NULL";
        return seconds.has_value();
    }
    case TAccessKind::Float: {
        const std::optional<double> number = DecimalValue(cell);
        if (number)
            PutReal(out, *number);
        else
            out += "NULL";
        return number.has_value();
    }
    case TAccessKind::Integer:
    case TAccessKind::Unsupported: out += CharsetToUtf8(db.Charset(), cell); return true;
    }
    return true;
}

std::string UnreadableMessage(TAccessKind kind, std::string_view cell)
{
    const char* const what = kind == TAccessKind::Time    ? "Not a time: \""
                             : kind == TAccessKind::Float ? "Not a number: \""
                                                          : "Not a date: \"";
    return what + std::string(cell) + "\"; NULL written";
}

std::string LeftOutFieldsMessage(const TJFILE& db)
{
    std::vector<std::string> named;
    for (int f = 1; f <= db.FieldCount(); ++f)
        if (FactsOf(db.GetFieldType(f)).Access == TAccessKind::Unsupported)
            named.push_back(Quoted(db.GetFieldName(f)) + " (" + db.GetFieldTypeName(f) + ")");
    if (named.empty())
        return {};
    return (named.size() == 1 ? "Field " : "Fields ") + Listed(named) +
           (named.size() == 1 ? " cannot be written to the database; it is left out."
                              : " cannot be written to the database; they are left out.");
}

std::string ErrorCountMessage(int count)
{
    return std::to_string(count) + (count == 1 ? " error" : " errors") + " encountered";
}

std::string AccessLogName(const std::string& fileName)
{
    return (fs::path(fileName).parent_path() / "Quorvil.LOG").string();
}

int ExportToAccess(TJFILE& db, const std::string& fileName, const TAccessOpener& open, const TAccessEvents& events)
{
    TTemporaryFile temp(CreateTemporaryBeside(fileName));
    std::unique_ptr<TAccessDB> adb = open(temp.Name());
    adb->BeginTransaction();
    adb->CreateTable(AccessTableName(db));
    if (const std::string leftOut = LeftOutFieldsMessage(db); !leftOut.empty() && events.Warning)
        events.Warning(leftOut);
    const std::vector<TAccessColumn> columns = AccessColumns(db);
    AddColumns(*adb, columns);

    const std::string logName = AccessLogName(fileName);
    int errors = 0;
    {
        std::ofstream log(logName, std::ios::binary | std::ios::trunc);
        try {
            errors = WriteRows(db, *adb, columns, log, events);
        } catch (const ECancelled&) {
            // The log of an export that did not happen would only mislead.
            log.close();
            std::error_code ec;
            fs::remove(logName, ec);
            throw;
        }
    }
    if (errors == 0) {
        std::error_code ec;
        fs::remove(logName, ec);
    }
    try {
        adb->CommitTransaction();
    } catch (const ESqlError& e) {
        throw EStreamError("Cannot write file \"" + fileName + "\". " + e.what());
    }
    adb.reset();  // closes the file
    temp.MoveOver(fileName);
    if (errors > 0 && events.Warning)
        events.Warning(ErrorCountMessage(errors));
    return errors;
}

}  // namespace quorvil
