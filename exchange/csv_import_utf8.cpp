// Standard CSV in UTF-8, as spreadsheets write it. Cells are cut out of the
// file's buffer and turned into the database's character set in place:
// neither a doubled quote nor a character of more than one byte grows on
// the way (no set takes more than two bytes for one).
#include "charset.h"
#include "csv_import_rows.h"
#include "progress.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quorvil {

namespace {

// "hex C3 28", the bytes of a broken sequence as a message names them.
std::string HexBytes(std::string_view bytes)
{
    std::string text = "hex";
    for (const char c : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", unsigned(uint8_t(c)));
        text += hex;
    }
    return text;
}

// What stopped the conversion of a cell: a character the set has no byte
// for, or bytes that are not UTF-8. `stop` holds the file's bytes.
std::string StopText(char32_t missing, std::string_view stop, size_t field, TCharset set)
{
    const std::string in = " in field " + std::to_string(field);
    if (missing == 0)
        return "holds the " + std::string(stop.size() == 1 ? "byte " : "bytes ") + HexBytes(stop) + in + ", which " +
               (stop.size() == 1 ? "is" : "are") + " not UTF-8.";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(missing));
    // A control character shows nothing between quotes.
    const std::string shown = missing >= 0xA0 ? " \"" + std::string(stop) + "\"" : "";
    return "holds the character " + std::string(code) + shown + in + ", which " + std::string(CharsetCaption(set)) +
           " has no byte for.";
}

// Where the UTF-8 cell at `start` stopped going into `set`, written over
// its own bytes.
struct TCellStop {
    size_t Size;  // the bytes written
    size_t StopAt, StopLength;
    char32_t Missing;
    bool Whole() const { return StopAt == std::string_view::npos; }
};

TCellStop ToSetInPlace(char* start, size_t size, TCharset set)
{
    const std::string_view utf8(start, size);
    // The common sets' fast way; every other set through a string, which
    // is never longer than the UTF-8 it came from.
    if (set == TCharset::Windows1252) {
        const TUtf8ToCp1252 result = Utf8ToCp1252(utf8, start);
        return {result.Size, result.StopAt, result.StopLength, result.Missing};
    }
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return uint8_t(c) < 0x80; }))
        return {size, std::string_view::npos, 0, 0};
    const TToCharset result = Utf8ToCharset(set, utf8);
    std::memcpy(start, result.Bytes.data(), result.Bytes.size());
    return {result.Bytes.size(), result.StopAt, result.StopLength, result.Missing};
}

// The rows of the file, one at a time; cells may be quoted (a doubled quote
// is one quote, the separator and line breaks stay inside) or not; rows end
// with CR LF or LF.
class TUtf8RowReader {
public:
    TUtf8RowReader(TCsvBytes& data, char separator, TCharset set, const TCsvFailure& fail)
        : p_(data.Begin() + (StartsWithUtf8Mark(data) ? 3 : 0)), end_(data.End()), size_(data.Size()), set_(set),
          fail_(fail)
    {
        separator_ = separator ? separator : DetectCsvSeparator(p_, end_);
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
            cells.push_back(Cell(cells.size() + 1));
            if (p_ == end_)
                return true;
            if (*p_ == separator_) {
                ++p_;
                continue;
            }
            // The row's end: LF, CR LF, or a CR that ends the file.
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
        return p_ == end_ || *p_ == separator_ || *p_ == '\n' || (*p_ == '\r' && (p_ + 1 == end_ || p_[1] == '\n'));
    }

    // The cell at p_, in the set; p_ stops at what follows it.
    std::string_view Cell(size_t field)
    {
        const int firstLine = line_;
        char* const start = p_;
        char* out = p_;
        if (p_ < end_ && *p_ == '"') {
            for (++p_;;) {
                if (p_ == end_)
                    fail_.Line(firstLine, "opens a quoted cell that is never closed.");
                const char c = *p_++;
                if (c == '"' && (p_ == end_ || *p_ != '"'))
                    break;
                if (c == '"')
                    ++p_;
                // Line breaks stay as the file holds them: a cell the
                // database held with LF or CR LF comes back the same.
                if (c == '\n')
                    ++line_;
                *out++ = c;
            }
            if (!AtCellEnd())
                fail_.Line(line_, "holds text after the closing quote of field " + std::to_string(field) +
                                      "; a quote inside a quoted cell is written twice.");
        } else {
            while (p_ < end_ && *p_ != separator_ && *p_ != '\n')
                ++p_;
            out = p_;
            if (out > start && out[-1] == '\r' && (p_ == end_ || *p_ == '\n'))
                --out;
        }
        // What the conversion wrote ends before where it stopped: the
        // stopping bytes are still the file's.
        const TCellStop result = ToSetInPlace(start, size_t(out - start), set_);
        if (!result.Whole())
            fail_.Line(
                firstLine + int(std::count(start, start + result.Size, '\n')),
                StopText(result.Missing, std::string_view(start + result.StopAt, result.StopLength), field, set_));
        return {start, result.Size};
    }

    char* p_;
    char* end_;
    size_t size_;
    TCharset set_;
    const TCsvFailure& fail_;
    char separator_ = ',';
    int line_ = 1;
    int rowLine_ = 1;
};

}  // namespace

void ReportCsvPosition(const char* at, const char* end, size_t size)
{
    ReportProgress(int(1000 - size_t(end - at) * 1000 / std::max<size_t>(size, 1)), 1000);
}

bool StartsWithUtf8Mark(const TCsvBytes& data)
{
    return data.Size() >= 3 && std::memcmp(data.Begin(), "\xEF\xBB\xBF", 3) == 0;
}

char DetectCsvSeparator(const char* p, const char* end)
{
    size_t commas = 0, semicolons = 0;
    bool quoted = false;
    for (; p < end; ++p) {
        if (*p == '"')
            quoted = !quoted;  // a doubled quote turns it twice
        else if (quoted)
            continue;
        else if (*p == ',')
            ++commas;
        else if (*p == ';')
            ++semicolons;
        else if (*p == '\n' && commas != semicolons)
            return commas > semicolons ? ',' : ';';
    }
    return semicolons > commas ? ';' : ',';
}

TCsvRows ReadUtf8Rows(TCsvBytes& data, char separator, TCharset set, bool headerLine, const TCsvSettings* settings,
                      const TLayoutFacts& limits, const TCsvFailure& fail)
{
    TUtf8RowReader reader(data, separator, set, fail);
    return ReadCsvRows(reader, headerLine, settings, limits, fail);
}

}  // namespace quorvil
