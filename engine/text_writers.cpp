// The text exports as files, and the HTML and fixed-width text bodies.
#include "text_writers.h"

#include "errors.h"
#include "file_names.h"
#include "jfile.h"
#include "progress.h"
#include "status_scope.h"
#include "text_case.h"
#include "text_output.h"

#include <algorithm>
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

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    size_t at = text.find(from);
    while (at != std::string::npos) {
        text.replace(at, from.size(), to);
        at = text.find(from, at + to.size());
    }
}

void PutHtmlCell(TTextOutput& out, std::string text)
{
    if (text.empty()) {
        out.Put("&nbsp;");
        return;
    }
    ReplaceAll(text, "\n", "<BR>");
    ReplaceAll(text, " - ", "&nbsp;-&nbsp;");
    out.Put(text);
}

// One line of the text table: every column but the last padded to its width
// plus one, line feeds shown as hex CF, no spaces at the end.
void PutTextLine(TTextOutput& out, const std::vector<std::string>& texts, const std::vector<size_t>& widths,
                 std::string& line)
{
    line.clear();
    for (size_t i = 0; i < texts.size(); ++i) {
        line += texts[i];
        if (i + 1 < texts.size())
            line.append(widths[i] + 1 - texts[i].size(), ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out.PutWithoutLineFeeds(line);
    out.EndLine();
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
    for (int r = 1; r <= db.RecordCount(); ++r) {
        ReportProgress(r, db.RecordCount());
        line("<TR>");
        for (int f : fields) {
            if (f == 0)
                continue;
            out.Put("  <TD>");
            PutHtmlCell(out, db.GetDisplayCell(r, f));
            out.Put("</TD>");
            out.EndLine();
        }
        line("</TR>");
    }
    line("</TABLE>");
    out.Flush();
}

void WriteTXTTo(const TJFILE& db, const std::vector<int>& fields, TStream& stream)
{
    std::vector<int> used;
    for (size_t i = 0; i < fields.size() && i < kMaxTextColumns; ++i)
        if (fields[i] != 0)
            used.push_back(fields[i]);

    std::vector<std::string> texts(used.size());
    std::vector<size_t> widths(used.size());
    for (size_t i = 0; i < used.size(); ++i) {
        texts[i] = db.GetFieldName(used[i]);
        widths[i] = texts[i].size();
        for (int r = 1; r <= db.RecordCount(); ++r)
            widths[i] = std::max(widths[i], db.GetDisplayCell(r, used[i]).size());
    }

    TTextOutput out(stream);
    std::string line;
    PutTextLine(out, texts, widths, line);
    for (int r = 1; r <= db.RecordCount(); ++r) {
        ReportProgress(r, db.RecordCount());
        for (size_t i = 0; i < used.size(); ++i)
            texts[i] = db.GetDisplayCell(r, used[i]);
        PutTextLine(out, texts, widths, line);
    }
    out.Flush();
}

}  // namespace quorvil
