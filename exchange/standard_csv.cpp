#include "standard_csv.h"

#include "byte_io.h"
#include "charset.h"
#include "field_types.h"
#include "jfile.h"
#include "numbers.h"
#include "progress.h"
#include "streams.h"
#include "text_output.h"
#include "text_writers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace quorvil {

namespace {

// The UTF-8 form of each byte of a single-byte set, made once a set: a cell
// is written straight into the output's buffer, without a string of its
// own. A byte the set leaves undefined takes four.
struct TUtf8Form {
    uint8_t Length;
    char Bytes[4];
};
using TUtf8Forms = std::array<TUtf8Form, 256>;

TUtf8Forms MakeForms(TCharset set)
{
    TUtf8Forms table{};
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const std::string utf8 = CharsetToUtf8(set, std::string_view(&byte, 1));
        table[size_t(b)].Length = uint8_t(std::min<size_t>(utf8.size(), 4));
        std::memcpy(table[size_t(b)].Bytes, utf8.data(), table[size_t(b)].Length);
    }
    return table;
}

// The forms of a single-byte set; null for a multi-byte one, whose cells go
// through a string, character by character.
const TUtf8Forms* Utf8Forms(TCharset set)
{
    if (IsMultiByte(set))
        return nullptr;
    static const std::vector<TUtf8Forms> all = [] {
        std::vector<TUtf8Forms> forms;
        for (const TCharset each : AllCharsets())
            forms.push_back(IsMultiByte(each) ? TUtf8Forms{} : MakeForms(each));
        return forms;
    }();
    return &all[size_t(set)];
}

// What a cell's bytes call for: kQuote for the separator, a quote or a line
// break, kConvert for a byte beyond ASCII.
enum : uint8_t { kPlain = 0, kQuote = 1, kConvert = 2 };

// A byte's high bit marks a byte beyond ASCII.
uint8_t NeedsOf(std::string_view bytes, char separator)
{
    uint8_t needs = kPlain;
#if QUORVIL_BYTE_VECTORS
    if (bytes.size() >= 16) {
        TByteLanes highs = {}, marks = {};
        const auto look = [&](const char* at) {
            const TByteLanes v = LoadLanes(at);
            highs |= v;
            marks |= reinterpret_cast<TByteLanes>((v == uint8_t(separator)) | (v == '"') | (v == '\r') | (v == '\n'));
        };
        for (size_t i = 0; i + 16 <= bytes.size(); i += 16)
            look(bytes.data() + i);
        // The last lanes may overlap the ones before them.
        look(bytes.data() + bytes.size() - 16);
        return uint8_t((AnyLane(highs & 0x80) ? kConvert : kPlain) | (AnyLane(marks) ? kQuote : kPlain));
    }
#endif
    const auto look = [&](uint64_t word) {
        if (word & kLaneHighs)
            needs |= kConvert;
        if (LanesEqual(word, separator) | LanesEqual(word, '"') | LanesEqual(word, '\r') | LanesEqual(word, '\n'))
            needs |= kQuote;
    };
    size_t i = 0;
    for (; i + 8 <= bytes.size() && needs != (kQuote | kConvert); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        look(word);
    }
    // The last bytes padded with NUL, which is neither ASCII's high half nor
    // a mark (the separator is never NUL).
    if (i < bytes.size() && needs != (kQuote | kConvert)) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, bytes.size() - i);
        look(word);
    }
    return needs;
}

void PutCell(TTextOutput& out, std::string_view bytes, char separator, bool first, TCharset set,
             const TUtf8Forms* forms)
{
    const uint8_t needs = NeedsOf(bytes, separator);
    const bool quoted = (needs & kQuote) != 0;
    // At most four bytes for each byte (a doubled quote takes two), the
    // separator and the quotes.
    char* to = out.Reserve(bytes.size() * 4 + 3);
    if (!to || ((needs & kConvert) && !forms)) {
        // Larger than the buffer, or of two-byte characters: through a
        // string, in pieces.
        if (!first)
            out.Put(separator);
        const std::string text = CharsetToUtf8(set, bytes);
        if (!quoted)
            return out.Put(text);
        out.Put('"');
        for (const char c : text) {
            out.Put(c);
            if (c == '"')
                out.Put('"');
        }
        out.Put('"');
        return;
    }
    if (!first)
        *to++ = separator;
    if (needs == kPlain) {  // most cells: copied as they are
        if (!bytes.empty())
            std::memcpy(to, bytes.data(), bytes.size());
        out.Commit(to + bytes.size());
        return;
    }
    if (quoted)
        *to++ = '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            *to++ = c;
            if (c == '"')
                *to++ = '"';
        } else {
            std::memcpy(to, (*forms)[byte].Bytes, 4);
            to += (*forms)[byte].Length;
        }
    }
    if (quoted)
        *to++ = '"';
    out.Commit(to);
}

// A record none of whose bytes calls for quotes or conversion, as one run of
// copies straight into the buffer; false when it needs more than that or
// its line does not fit.
bool PutPlainRow(TTextOutput& out, const TDATA& record, const std::array<std::string_view, kMaxSlots>& cells,
                 const std::vector<int>& columns, char separator)
{
    // One look at the whole record spares one per cell: marks are rare.
    if (NeedsOf(record.TextSpan(), separator) != kPlain)
        return false;
    size_t bytes = columns.size() + 2;
    for (const int f : columns)
        bytes += cells[size_t(f - 1)].size();
    char* to = out.Reserve(bytes);
    if (!to)
        return false;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            *to++ = separator;
        const std::string_view cell = cells[size_t(columns[i] - 1)];
        if (!cell.empty())
            to = static_cast<char*>(std::memcpy(to, cell.data(), cell.size())) + cell.size();
    }
    *to++ = '\r';
    *to++ = '\n';
    out.Commit(to);
    return true;
}

// Where the comma is the decimal mark, a Float value's point becomes a comma
// ("9.25" gives "9,25"), in `buffer`; no thousands separators are added, and
// a text that is no number stays as it is.
std::string_view WithDecimalComma(std::string_view cell, std::string& buffer)
{
    const size_t point = cell.find('.');
    if (point == std::string_view::npos || !DecimalValue(cell))
        return cell;
    buffer.assign(cell);
    buffer[point] = ',';
    return buffer;
}

}  // namespace

void WriteStandardCsvTo(const TJFILE& db, const std::vector<int>& fields, const TStandardCsvOptions& options,
                        TStream& stream)
{
    TTextOutput out(stream);
    if (options.ByteOrderMark)
        out.Put("\xEF\xBB\xBF");
    // Entries that are no field are left out, decided once for all records.
    std::vector<int> columns;
    for (const int f : fields)
        if (f >= 1 && f <= db.FieldCount())
            columns.push_back(f);
    const TCharset set = db.Charset();
    const TUtf8Forms* forms = Utf8Forms(set);
    const auto row = [&](auto cell) {
        for (size_t i = 0; i < columns.size(); ++i)
            PutCell(out, cell(columns[i]), options.Separator, i == 0, set, forms);
        out.Put(std::string_view("\r\n"));
    };
    row([&](int f) { return db.GetFieldName(f); });
    // The semicolon is the separator where the comma is the decimal mark.
    std::vector<int> decimalComma;
    if (options.Separator == ';')
        for (int f = 1; f <= db.FieldCount(); ++f)
            if (db.GetFieldType(f) == TFieldType::Float &&
                std::find(columns.begin(), columns.end(), f) != columns.end())
                decimalComma.push_back(f);
    std::vector<std::string> buffers(decimalComma.size());
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        const TDATA& record = db.Record(r);
        record.Texts(cells);
        // A comma needs no quotes beside ';': the row may still go plain.
        for (size_t i = 0; i < decimalComma.size(); ++i)
            cells[size_t(decimalComma[i] - 1)] = WithDecimalComma(cells[size_t(decimalComma[i] - 1)], buffers[i]);
        if (!PutPlainRow(out, record, cells, columns, options.Separator))
            row([&](int f) { return cells[size_t(f - 1)]; });
        ReportProgress(r, db.RecordCount());
    }
    out.Flush();
}

void WriteStandardCsv(TJFILE& db, const std::vector<int>& fields, const TStandardCsvOptions& options,
                      const std::string& fileName)
{
    ReplaceWithText(db, fileName, [&](TStream& out) { WriteStandardCsvTo(db, fields, options, out); });
}

}  // namespace quorvil
