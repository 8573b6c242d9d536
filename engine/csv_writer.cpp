// The CSV body, the date rewriting of its "DATE" cells and the .DEF settings.
#include "date_text.h"
#include "field_types.h"
#include "ini_file.h"
#include "jfile.h"
#include "progress.h"
#include "record_pick.h"
#include "text_output.h"
#include "text_utils.h"
#include "text_writers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

namespace quorvil {

namespace {

const char* const kSection = "JFilePro";
const std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::vector<int> UsedFields(const std::vector<int>& fields)
{
    std::vector<int> used;
    for (int f : fields)
        if (f != 0)
            used.push_back(f);
    return used;
}

template <class Text>
std::string JoinFields(const std::vector<int>& fields, Text text)
{
    std::string joined;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            joined += ',';
        joined += text(fields[i]);
    }
    return joined;
}

}  // namespace

namespace {

// Writes the CSV form of a "DATE" cell at `out` (at most max(11, size)
// bytes) and returns its end. The process reads short dates as "dd/mm/yy",
// so the parts are day, month and year in that order.
// The parts of the common date shapes, "d/m/yyyy" to "dd/mm/yyyy", found
// from where the slashes may stand rather than byte by byte: the number of
// digits varies from date to date, and a branch on each costs more than the
// reading. False for any other text (the general reading then decides).
bool CommonDateParts(std::string_view text, int parts[3])
{
    const size_t n = text.size();
    if (n < 8 || n > 10)
        return false;
    const char* p = text.data();
    const size_t slash1 = 1 + size_t(p[1] != '/');
    const size_t slash2 = slash1 + 2 + size_t(p[slash1 + 2] != '/');
    if (p[slash1] != '/' || p[slash2] != '/' || slash2 + 5 != n)
        return false;
    const auto digit = [&](size_t at) { return unsigned(p[at] - '0'); };
    const unsigned day0 = digit(0), day1 = digit(slash1 - 1), month0 = digit(slash1 + 1), month1 = digit(slash2 - 1);
    const unsigned y0 = digit(slash2 + 1), y1 = digit(slash2 + 2), y2 = digit(slash2 + 3), y3 = digit(slash2 + 4);
    if (std::max({day0, day1, month0, month1, y0, y1, y2, y3}) > 9)
        return false;
    // A one-digit part reads its digit twice: once as the tens is then nought.
    parts[0] = int(slash1 == 2 ? day0 * 10 + day1 : day1);
    parts[1] = int(slash2 - slash1 == 3 ? month0 * 10 + month1 : month1);
    parts[2] = int(y0 * 1000 + y1 * 100 + y2 * 10 + y3);
    return true;
}

// Exactly three parts of decimal digits, none empty, byte by byte. Large
// values saturate, as they are out of range for every part anyway.
bool DateParts(std::string_view text, int parts[3])
{
    if (CommonDateParts(text, parts))
        return true;
    parts[0] = parts[1] = parts[2] = 0;
    size_t part = 0;
    bool hasDigit = false;
    for (const char c : text) {
        if (c == '/') {
            if (!hasDigit || part == 2)
                return false;
            ++part;
            hasDigit = false;
        } else if (c >= '0' && c <= '9') {
            parts[part] = std::min(parts[part] * 10 + (c - '0'), 100000);
            hasDigit = true;
        } else {
            return false;
        }
    }
    return part == 2 && hasDigit;
}

char* CsvDateInto(std::string_view text, char* out)
{
    auto unchanged = [&] {
        if (!text.empty())
            std::memcpy(out, text.data(), text.size());
        return out + text.size();
    };
    // Anything but a date (an empty part, a third "/") leaves the text alone
    // rather than inventing one.
    int parts[3];
    if (!DateParts(text, parts))
        return unchanged();
    const int day = parts[0], month = parts[1];
    int year = parts[2];
    if (year < 100)
        year += year < 80 ? 2000 : 1900;
    if (month < 1 || month > 12 || year > 9999 || day < 1 || day > GregorianDaysInMonth(year, month))
        return unchanged();
    // "05 Mar 2003"
    const char digits[] = {char('0' + day / 10), char('0' + day % 10), ' '};
    std::memcpy(out, digits, 3);
    std::memcpy(out + 3, kMonths[size_t(month - 1)], 3);
    const char tail[] = {' ', char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                         char('0' + year % 10)};
    std::memcpy(out + 6, tail, 5);
    return out + 11;
}

}  // namespace

std::string CsvDateText(std::string_view text)
{
    std::string out(std::max<size_t>(text.size(), 11), '\0');
    out.resize(size_t(CsvDateInto(text, out.data()) - out.data()));
    return out;
}

namespace {

// Writes one record's line straight into the output buffer when `textBytes`
// (an upper bound of its cell texts) fits; false when it does not.
bool WriteRecordLine(TTextOutput& out, const std::array<std::string_view, kMaxSlots>& cells,
                     const std::vector<int>& used, const std::vector<char>& exists, const std::vector<char>& isDate,
                     size_t textBytes, bool lineFeeds, std::string_view span)
{
    char* to = out.Reserve(textBytes + 3 * used.size() + 2 + kCopySlack);
    if (!to)
        return false;
    for (size_t i = 0; i < used.size(); ++i) {
        if (i > 0)
            *to++ = ',';
        *to++ = '"';
        std::string_view cell = exists[i] ? cells[size_t(used[i] - 1)] : std::string_view();
        if (isDate[i]) {
            to = CsvDateInto(cell, to);
        } else {
            char* const end = CopyText(to, cell, span);
            if (lineFeeds)
                std::replace(to, end, '\n', '\xCF');
            to = end;
        }
        *to++ = '"';
    }
    *to++ = '\r';
    *to++ = '\n';
    out.Commit(to);
    return true;
}

// What the line writer needs of a record beside its cells: a bound of their
// text bytes, and whether any of them may hold a line feed.
struct TLineFacts {
    size_t TextBytes;
    bool LineFeeds;
    std::string_view Span;  // holds the cells, or is empty
};

// The CSV body of `count` records; cellsOf(r, cells) fills record r's cells
// and returns its facts.
template <class CellsOf>
void WriteCSVBody(const TJFILE& db, const std::vector<int>& fields, int count, CellsOf cellsOf, TStream& stream)
{
    const std::vector<int> used = UsedFields(fields);
    // Per column: whether the field exists (others give empty cells) and
    // whether it is a "DATE" field, decided once for all records.
    std::vector<char> exists, isDate;
    for (int f : used) {
        exists.push_back(f >= 1 && f <= db.FieldCount());
        isDate.push_back(db.GetFieldType(f) == TFieldType::Date);
    }

    TTextOutput out(stream);
    for (size_t i = 0; i < used.size(); ++i) {
        if (i > 0)
            out.Put(',');
        out.Put('"');
        out.Put(db.GetFieldName(used[i]));
        out.Put('"');
    }
    out.EndLine();
    // Quotes inside a value stay as they are: this CSV dialect does not
    // double them.
    const bool distinct = std::set<int>(used.begin(), used.end()).size() == used.size();
    const size_t dates = size_t(std::count(isDate.begin(), isDate.end(), char(1)));
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= count; ++r) {
        ReportProgress(r, count);
        const TLineFacts facts = cellsOf(r, cells);
        const bool lineFeeds = facts.LineFeeds;
        if (distinct &&
            WriteRecordLine(out, cells, used, exists, isDate, facts.TextBytes + 11 * dates, lineFeeds, facts.Span))
            continue;
        for (size_t i = 0; i < used.size(); ++i) {
            std::string_view cell = exists[i] ? cells[size_t(used[i] - 1)] : std::string_view();
            if (isDate[i])
                out.PutQuotedCell(CsvDateText(cell), i == 0);
            else
                out.PutQuotedCell(cell, i == 0, lineFeeds);
        }
        out.EndLine();
    }
    out.Flush();
}

}  // namespace

void WriteCSVTo(const TJFILE& db, const std::vector<int>& fields, TStream& stream)
{
    WriteCSVBody(
        db, fields, db.RecordCount(),
        [&](int r, std::array<std::string_view, kMaxSlots>& cells) {
            const TDATA& record = db.Record(r);
            record.Texts(cells);
            // One search of the whole record spares one per cell: line feeds are rare.
            const std::string_view all = record.TextSpan();
            return TLineFacts{all.size(), all.find('\n') != std::string_view::npos, all};
        },
        stream);
}

void WriteCSVTo(const TJFILE& db, const TRecordPick& records, const std::vector<int>& fields, TStream& stream)
{
    WriteCSVBody(
        db, fields, records.Count(),
        [&](int i, std::array<std::string_view, kMaxSlots>& cells) {
            const std::string_view all = records.Cells(i, cells);
            // The exact total, as a record holding just these cells has it, so
            // that each line is written the same way as from such a record.
            size_t bytes = 0;
            for (int k = 0; k < records.FieldCount(); ++k)
                bytes += cells[size_t(k)].size();
            return TLineFacts{bytes, records.FixedLineFeeds() || all.find('\n') != std::string_view::npos, {}};
        },
        stream);
}

namespace {

// Whether the key of the settings section holds a value, read as a single
// key of the file would be: up to its first NUL.
bool HoldsText(const TIniFile& ini, const std::string& key)
{
    const std::string value = ini.ReadString(kSection, key, "");
    return !value.empty() && value[0] != '\0';
}

// The settings keys of an export, in the order they are written.
std::vector<TIniEntry> SettingsEntries(const TJFILE& db, const std::vector<int>& fields, const std::string& defName)
{
    const std::vector<int> used = UsedFields(fields);
    // The keys go to the file in one replacement, in the order written here.
    std::vector<TIniEntry> entries;
    auto put = [&](const std::string& key, std::string value) {
        // A line break would end the value early; shown as in the CSV instead.
        std::replace(value.begin(), value.end(), '\n', '\xCF');
        std::replace(value.begin(), value.end(), '\r', '\xCF');
        entries.push_back({kSection, key, value});
    };
    put("Widths", JoinFields(used, [&](int f) { return std::to_string(db.GetColumnWidth(f)); }));
    put("Types", JoinFields(used, [&](int f) { return db.GetFieldTypeName(f); }));
    put("Title", db.PdbHeader.Name);
    put("Sort", JoinFields({1, 2, 3}, [&](int k) { return std::to_string(db.GetSortField(k)); }));
    put("Find", std::to_string(db.FindField()) + "," + db.FindText());
    put("Filter", std::to_string(db.FilterField()) + "," + db.FilterText());
    put("FirstCol", std::to_string(db.FirstColumn()));
    put("Category", std::to_string(db.Category()));
    put("ReadOnly", db.ReadOnly() ? "TRUE" : "FALSE");
    for (int f : used) {
        if (db.GetFieldType(f) != TFieldType::List)
            continue;
        std::string values;
        for (int k = 1; k <= db.PopupCount(f); ++k)
            values += (k > 1 ? "," : "") + db.GetPopupItem(f, k);
        put("Popup" + std::to_string(f), values);
    }
    if (!Facts(db.Layout()).SavedSettings)
        return entries;
    for (int s = 1; s <= 5; ++s) {
        FilterRec filter = db.GetFilter(s);
        std::string value = Quoted(filter.FilterName);
        for (const std::string& v : filter.FilterValues)
            value += "," + Quoted(v);
        value += "," + std::to_string(filter.FilterWord);
        for (int8_t code : filter.FilterCodes)
            value += "," + std::to_string(int(code));
        put("Filter" + std::to_string(s), value);
    }
    for (int s = 1; s <= 5; ++s)
        put("Sort" + std::to_string(s), JoinFields({0, 1, 2, 3}, [&](int k) {
                return k == 0 ? Quoted(db.GetSavedSortName(s)) : std::to_string(db.GetSavedSortField(s, k));
            }));
    // The file as it is, read once for all the fields (a nameless one is
    // "none", as for a single key).
    const TIniFile existing(defName.empty() ? std::string("none") : defName);
    for (int f : used) {
        std::string key = "Default" + std::to_string(f);
        std::string value = db.GetDefault(f);
        // An empty default clears a stale one but adds no key of its own.
        if (!value.empty() || HoldsText(existing, key))
            put(key, value);
    }
    return entries;
}

}  // namespace

void WriteCSVSettings(const TJFILE& db, const std::vector<int>& fields, const std::string& defName)
{
    // Like the CSV itself, the settings are not forced to the disk.
    TIniFile(defName).WriteStrings(SettingsEntries(db, fields, defName), false);
}

}  // namespace quorvil
