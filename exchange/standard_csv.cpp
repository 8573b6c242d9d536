#include "standard_csv.h"

#include "charset.h"
#include "jfile.h"
#include "progress.h"
#include "streams.h"
#include "text_output.h"
#include "text_writers.h"

#include <string_view>

namespace quorvil {

namespace {

void PutCell(TTextOutput& out, std::string_view bytes, char separator, bool first)
{
    if (!first)
        out.Put(separator);
    const std::string text = Cp1252ToUtf8(bytes);
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    if (text.find_first_of(special) == std::string::npos) {
        out.Put(text);
        return;
    }
    out.Put('"');
    size_t from = 0;
    for (size_t at = text.find('"'); at != std::string::npos; at = text.find('"', from)) {
        out.Put(std::string_view(text).substr(from, at + 1 - from));
        out.Put('"');
        from = at + 1;
    }
    out.Put(std::string_view(text).substr(from));
    out.Put('"');
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
