#include "standard_csv.h"

#include "charset.h"
#include "jfile.h"
#include "progress.h"
#include "streams.h"
#include "text_output.h"
#include "text_writers.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorvil {

namespace {

// The UTF-8 form of each Windows-1252 byte, made once: a cell is written
// straight into the output's buffer, without a string of its own.
struct TUtf8Form {
    uint8_t Length;
    char Bytes[3];
};

const std::array<TUtf8Form, 256>& Utf8Forms()
{
    static const std::array<TUtf8Form, 256> forms = [] {
        std::array<TUtf8Form, 256> table{};
        for (int b = 0; b < 256; ++b) {
            const std::string utf8 = Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(&b), 1));
            table[b].Length = uint8_t(utf8.size());
            std::memcpy(table[b].Bytes, utf8.data(), utf8.size());
        }
        return table;
    }();
    return forms;
}

bool NeedsQuotes(std::string_view bytes, char separator)
{
    for (const char c : bytes)
        if (c == separator || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

void PutCell(TTextOutput& out, std::string_view bytes, char separator, bool first)
{
    const bool quoted = NeedsQuotes(bytes, separator);
    // At most three bytes for each byte (a doubled quote takes two), the
    // separator and the quotes.
    char* to = out.Reserve(bytes.size() * 3 + 3);
    if (!to) {
        // Larger than the buffer: through a string, in pieces.
        if (!first)
            out.Put(separator);
        const std::string text = Cp1252ToUtf8(bytes);
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
    if (quoted)
        *to++ = '"';
    const std::array<TUtf8Form, 256>& forms = Utf8Forms();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            *to++ = c;
            if (c == '"')
                *to++ = '"';
        } else {
            std::memcpy(to, forms[byte].Bytes, 3);
            to += forms[byte].Length;
        }
    }
    if (quoted)
        *to++ = '"';
    out.Commit(to);
}

}  // namespace

void WriteStandardCsvTo(const TJFILE& db, const std::vector<int>& fields, const TStandardCsvOptions& options,
                        TStream& stream)
{
    TTextOutput out(stream);
    if (options.ByteOrderMark)
        out.Put("\xEF\xBB\xBF");
    const auto row = [&](auto cell) {
        bool first = true;
        for (const int f : fields) {
            if (f < 1 || f > db.FieldCount())
                continue;
            PutCell(out, cell(f), options.Separator, first);
            first = false;
        }
        out.Put("\r\n");
    };
    row([&](int f) { return db.GetFieldName(f); });
    for (int r = 1; r <= db.RecordCount(); ++r) {
        row([&](int f) { return db.CellView(r, f); });
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
