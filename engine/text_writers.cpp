// The text exports as files, and the HTML and fixed-width text bodies.
#include "text_writers.h"

#include "errors.h"
#include "field_types.h"
#include "file_names.h"
#include "jfile.h"
#include "progress.h"
#include "status_scope.h"
#include "text_case.h"
#include "text_output.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace quorvil {

namespace {

constexpr size_t kMaxTextColumns = 50;

// Replacing the database's own file with an export would destroy it; the
// file lock that prevents this elsewhere is only advisory here.
void CheckNotDatabaseFile(const TJFILE& db, const std::string& fileName)
{
    std::error_code ec;
    if (!db.FileName.empty() && std::filesystem::equivalent(fileName, db.FileName, ec))
        throw EStreamError("Cannot create file \"" + fileName + "\". It is the database being exported.");
}

}  // namespace

void ReplaceWithText(TJFILE& db, const std::string& fileName, const std::function<void(TStream&)>& body)
{
    CheckNotDatabaseFile(db, fileName);
    TStatusScope status(db, fileName);
    // An export can always be written again from the database, so it is not
    // forced to the disk; replacing it stays all-or-nothing.
    TFileStream::ReplaceFile(
        fileName, [&](TFileStream& file) { body(file); }, TFileStream::Durability::Unsynced);
}

namespace {

// Per output column: the field, whether it exists (others give empty
// cells) and whether it is a Boolean one, shown as TrueText / FalseText.
struct TColumn {
    int Field;
    bool Exists;
    bool Boolean;
};

std::vector<TColumn> Columns(const TJFILE& db, const std::vector<int>& fields)
{
    std::vector<TColumn> columns;
    for (int f : fields) {
        const bool exists = f >= 1 && f <= db.FieldCount();
        columns.push_back({f, exists, exists && db.GetFieldType(f) == TFieldType::Boolean});
    }
    return columns;
}

// A record's cell as the table shows it, without copying it.
std::string_view DisplayView(const TJFILE& db, const std::array<std::string_view, kMaxSlots>& cells,
                             const TColumn& column)
{
    if (!column.Exists)
        return {};
    const std::string_view text = cells[size_t(column.Field - 1)];
    return column.Boolean ? db.BooleanShown(text) : text;
}

bool HasLineFeed(std::string_view text)
{
    return text.find('\n') != std::string_view::npos;
}

// Whether the text holds " - ". Found from its hyphens, which are rare,
// rather than from its spaces, which are not.
bool HasSpacedHyphen(std::string_view text)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin; p < end;) {
        const auto* hyphen = static_cast<const char*>(std::memchr(p, '-', size_t(end - p)));
        if (!hyphen)
            return false;
        if (hyphen > begin && hyphen + 1 < end && hyphen[-1] == ' ' && hyphen[1] == ' ')
            return true;
        p = hyphen + 1;
    }
    return false;
}

// Writes the cell's HTML at `to` (at most 5 bytes a byte of it) and returns
// its end: line feeds become <BR> and a " - " stays unbroken.
char* HtmlCellInto(std::string_view text, char* to)
{
    static constexpr std::string_view kBreak = "<BR>", kDash = "&nbsp;-&nbsp;";
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            to = std::copy(kBreak.begin(), kBreak.end(), to);
            ++i;
        } else if (c == ' ' && text.substr(i, 3) == " - ") {
            to = std::copy(kDash.begin(), kDash.end(), to);
            i += 3;
        } else {
            *to++ = c;
            ++i;
        }
    }
    return to;
}

// Bytes of an HTML cell line beside its text, and the most each text byte
// can grow to (" - " becomes 13 bytes).
constexpr size_t kHtmlCellFrame = 19;
constexpr size_t kHtmlGrowth = 5;

// `span` holds the record's texts (see CopyText).
void PutHtmlCell(TTextOutput& out, std::string_view text, bool plain, std::string_view span)
{
    static constexpr std::string_view kOpen = "  <TD>", kClose = "</TD>\r\n", kEmpty = "&nbsp;";
    char* to = out.Reserve(kHtmlCellFrame + text.size() * (plain ? 1 : kHtmlGrowth) + kCopySlack);
    if (!to) {
        // A cell larger than the whole buffer: made apart, then written in pieces.
        std::string html(text.size() * kHtmlGrowth, '\0');
        html.resize(size_t(HtmlCellInto(text, html.data()) - html.data()));
        out.Put(kOpen);
        out.Put(html);
        out.Put(kClose);
        return;
    }
    to = std::copy(kOpen.begin(), kOpen.end(), to);
    if (text.empty())
        to = std::copy(kEmpty.begin(), kEmpty.end(), to);
    else if (plain)
        to = CopyText(to, text, span);
    else
        to = HtmlCellInto(text, to);
    out.Commit(std::copy(kClose.begin(), kClose.end(), to));
}

// One line of the text table straight into the output buffer: every column
// but the last padded to its width plus one, line feeds shown as hex CF
// (none when `lineFeeds` is false), no spaces at the end. `bound` is at
// least the line's length; `span` holds the record's texts (see CopyText).
void PutTextLine(TTextOutput& out, const std::vector<std::string_view>& texts, const std::vector<size_t>& widths,
                 size_t bound, bool lineFeeds = true, std::string_view span = {})
{
    // Padding goes in whole blocks of spaces, the last one past the column,
    // where the next text or the line end overwrites it: room for one more.
    static constexpr char kSpaces[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                         ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    char* const start = out.Reserve(bound + 2 + std::max(sizeof kSpaces, kCopySlack));
    if (!start) {
        // A line larger than the whole buffer: made apart, then written in pieces.
        std::string line;
        for (size_t i = 0; i < texts.size(); ++i) {
            line += texts[i];
            if (i + 1 < texts.size())
                line.append(widths[i] + 1 - texts[i].size(), ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out.PutWithoutLineFeeds(line);
        out.EndLine();
        return;
    }
    char* to = start;
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string_view text = texts[i];
        char* const cell = to;
        to = CopyText(to, text, span);
        if (lineFeeds && HasLineFeed(text))
            std::replace(cell, to, '\n', '\xCF');
        if (i + 1 < texts.size()) {
            char* const padded = to + (widths[i] + 1 - text.size());
            for (; to < padded; to += sizeof kSpaces)
                std::memcpy(to, kSpaces, sizeof kSpaces);
            to = padded;
        }
    }
    while (to > start && to[-1] == ' ')
        --to;
    *to++ = '\r';
    *to++ = '\n';
    out.Commit(to);
}

// The CSV file and then its settings file; `body` writes the CSV.
template <class Body>
void WriteCSVFiles(TJFILE& db, const std::vector<int>& fields, const std::string& fileName, Body body)
{
    std::string csvName = DefaultExtension(fileName, "CSV");
    std::string defName = ForceExtension(csvName, "DEF");
    if (SameTextIgnoringCase(csvName, defName))
        throw EStreamError("Cannot create file \"" + csvName + "\". Its settings file would be written into it.");
    CheckNotDatabaseFile(db, defName);
    ReplaceWithText(db, csvName, body);
    TStatusScope status(db, defName);
    WriteCSVSettings(db, fields, defName);
}

}  // namespace

void WriteCSV(TJFILE& db, const std::vector<int>& fields, const std::string& fileName)
{
    WriteCSVFiles(db, fields, fileName, [&](TStream& out) { WriteCSVTo(db, fields, out); });
}

void WriteCSV(TJFILE& db, const TRecordPick& records, const std::vector<int>& fields, const std::string& fileName)
{
    WriteCSVFiles(db, fields, fileName, [&](TStream& out) { WriteCSVTo(db, records, fields, out); });
}

void WriteHTML(TJFILE& db, const std::string& fileName, const std::vector<int>& fields)
{
    ReplaceWithText(db, DefaultExtension(fileName, "HTM"), [&](TStream& out) { WriteHTMLTo(db, fields, out); });
}

void WriteTXT(TJFILE& db, const std::string& fileName, const std::vector<int>& fields)
{
    ReplaceWithText(db, DefaultExtension(fileName, "TXT"), [&](TStream& out) { WriteTXTTo(db, fields, out); });
}

void WriteHTMLTo(const TJFILE& db, const std::vector<int>& fields, TStream& stream)
{
    TTextOutput out(stream);
    auto line = [&](const std::string& text) {
        out.Put(text);
        out.EndLine();
    };
    line("<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>");
    line("<TR>");
    line("  <TD COLSPAN=" + std::to_string(fields.size()) + " ALIGN=CENTER><CENTER><H1>" + db.PdbHeader.Name +
         "</H1></CENTER></TD>");
    line("</TR>");
    line("<TR>");
    // Every entry gets a heading, as the title spans them all; an entry 0
    // has an empty one.
    for (int f : fields)
        line("  <TD>" + (f != 0 ? db.GetFieldName(f) : std::string()) + "</TD>");
    line("</TR>");
    std::vector<TColumn> columns;
    for (const TColumn& column : Columns(db, fields))
        if (column.Field != 0)
            columns.push_back(column);
    // Whether the Boolean texts need escaping, decided once.
    auto plainText = [](std::string_view text) { return !HasLineFeed(text) && !HasSpacedHyphen(text); };
    const bool plainBooleans = plainText(db.TrueText()) && plainText(db.FalseText());
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        ReportProgress(r, db.RecordCount());
        const TDATA& record = db.Record(r);
        record.Texts(cells);
        // One search of the whole record spares one per cell: both are rare.
        const std::string_view all = record.TextSpan();
        const bool plainRecord = !HasLineFeed(all) && !HasSpacedHyphen(all);
        out.Put(std::string_view("<TR>\r\n"));
        for (const TColumn& column : columns) {
            const std::string_view text = DisplayView(db, cells, column);
            const bool plain = column.Boolean &&
                                       (text.data() == db.TrueText().data() || text.data() == db.FalseText().data())
                                   ? plainBooleans
                                   : plainRecord;
            PutHtmlCell(out, text, plain, all);
        }
        out.Put(std::string_view("</TR>\r\n"));
    }
    line("</TABLE>");
    out.Flush();
}

void WriteTXTTo(const TJFILE& db, const std::vector<int>& fields, TStream& stream)
{
    std::vector<int> firstFields;
    for (size_t i = 0; i < fields.size() && i < kMaxTextColumns; ++i)
        if (fields[i] != 0)
            firstFields.push_back(fields[i]);
    const std::vector<TColumn> columns = Columns(db, firstFields);

    std::vector<std::string> names(columns.size());
    std::vector<std::string_view> texts(columns.size());
    std::vector<size_t> widths(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        names[i] = db.GetFieldName(columns[i].Field);
        texts[i] = names[i];
        widths[i] = names[i].size();
    }
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        db.Record(r).Texts(cells);
        for (size_t i = 0; i < columns.size(); ++i)
            widths[i] = std::max(widths[i], DisplayView(db, cells, columns[i]).size());
    }
    // Every line is at most the padded widths long.
    size_t bound = 0;
    for (size_t width : widths)
        bound += width + 1;

    TTextOutput out(stream);
    PutTextLine(out, texts, widths, bound);
    const bool booleanLineFeeds = HasLineFeed(db.TrueText()) || HasLineFeed(db.FalseText());
    for (int r = 1; r <= db.RecordCount(); ++r) {
        ReportProgress(r, db.RecordCount());
        const TDATA& record = db.Record(r);
        record.Texts(cells);
        for (size_t i = 0; i < columns.size(); ++i)
            texts[i] = DisplayView(db, cells, columns[i]);
        // One search of the whole record spares one per cell: line feeds
        // are rare.
        const std::string_view span = record.TextSpan();
        PutTextLine(out, texts, widths, bound, booleanLineFeeds || HasLineFeed(span), span);
    }
    out.Flush();
}

}  // namespace quorvil
