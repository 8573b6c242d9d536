#include "browser_html.h"

#include "charset.h"
#include "jfile.h"
#include "progress.h"
#include "streams.h"
#include "text_output.h"
#include "text_writers.h"

#include <string_view>

namespace quorvil {

namespace {

// Borders and kept spaces only; without it the page reads the same.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html>\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<style>\n"
    "table { border-collapse: collapse; }\n"
    "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; vertical-align: top;"
    " white-space: pre-wrap; }\n"
    "</style>\n";

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// HTML allows no control characters in text but tab, line feed, form feed
// and carriage return; a byte may also stand for a C1 control. U+FFFD in
// their place, rather than nothing, shows that the cell holds more.
bool IsForbiddenControl(char32_t cp)
{
    if (cp < 0x20)
        return cp != '\t' && cp != '\n' && cp != '\f' && cp != '\r';
    return cp >= 0x7F && cp <= 0x9F;
}

// `bytes` (of `codec`'s set) as UTF-8 page text; a line break (LF, CR LF or
// CR) becomes `lineBreak`. Walked by characters: a trail byte is never
// taken for a character of its own.
void PutText(TTextOutput& out, std::string_view bytes, std::string_view lineBreak, const TCodec& codec)
{
    size_t plain = 0;
    for (size_t i = 0; i < bytes.size();) {
        size_t length = 1;
        const char32_t cp = codec.Decode(bytes, i, &length);
        const size_t at = i;
        i += length;
        std::string_view shown;
        if (cp == '&')
            shown = "&amp;";
        else if (cp == '<')
            shown = "&lt;";
        else if (cp == '>')
            shown = "&gt;";
        else if (cp == '\n' || (cp == '\r' && bytes.substr(i, 1) != "\n"))
            shown = lineBreak;  // HTML reads CR LF and a lone CR as LF, so they break lines too
        else if (cp == '\r')
            shown = "";
        else if (IsForbiddenControl(cp))
            shown = kReplacement;
        else
            continue;
        out.Put(CharsetToUtf8(codec.Set(), bytes.substr(plain, at - plain)));
        out.Put(shown);
        plain = i;
    }
    out.Put(CharsetToUtf8(codec.Set(), bytes.substr(plain)));
}

}  // namespace

void WriteBrowserHtmlTo(const TJFILE& db, const std::vector<int>& fields, TStream& stream)
{
    TTextOutput out(stream);
    const TCodec& codec = TCodec::Of(db.Charset());
    // A page needs a title; a database without one gets a new database's.
    const std::string title = db.PdbHeader.Name.empty() ? std::string("Untitled") : db.PdbHeader.Name;
    out.Put(kHead);
    out.Put("<title>");
    PutText(out, title, " ", codec);
    out.Put("</title>\n</head>\n<body>\n<h1>");
    PutText(out, title, " ", codec);
    out.Put("</h1>\n<table>\n<thead>\n");
    const auto row = [&](std::string_view cellTag, auto cell) {
        out.Put("<tr>");
        for (const int f : fields) {
            if (f < 1 || f > db.FieldCount())
                continue;
            out.Put('<');
            out.Put(cellTag);
            out.Put('>');
            PutText(out, cell(f), "<br>", codec);
            out.Put("</");
            out.Put(cellTag);
            out.Put('>');
        }
        out.Put("</tr>\n");
    };
    row("th", [&](int f) { return db.GetFieldName(f); });
    out.Put("</thead>\n<tbody>\n");
    for (int r = 1; r <= db.RecordCount(); ++r) {
        row("td", [&](int f) { return db.CellView(r, f); });
        ReportProgress(r, db.RecordCount());
    }
    out.Put("</tbody>\n</table>\n</body>\n</html>\n");
    out.Flush();
}

void WriteBrowserHtml(TJFILE& db, const std::vector<int>& fields, const std::string& fileName)
{
    ReplaceWithText(db, fileName, [&](TStream& out) { WriteBrowserHtmlTo(db, fields, out); });
}

}  // namespace quorvil
