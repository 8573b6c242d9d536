#include "xlsx_export.h"

#include "charset.h"
#include "date_text.h"
#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "numbers.h"
#include "progress.h"
#include "streams.h"
#include "system_paths.h"
#include "text_case.h"
#include "text_writers.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace quorvil {

namespace {

namespace fs = std::filesystem;

// Days from 1 January of year 0 (proleptic Gregorian) to the date.
long DayNumber(int y, int m, int d)
{
    y -= m <= 2;
    const long era = y / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}

// The date's number in the 1900 date system, which counts a 29 February
// 1900 that never was; nothing before 1 January 1900, which it cannot hold.
std::optional<double> DateNumber(int y, int m, int d)
{
    const long serial = DayNumber(y, m, d) - DayNumber(1899, 12, 30);
    if (serial < 2)
        return std::nullopt;
    return double(serial <= 60 ? serial - 1 : serial);
}

// UTF-8 text for a cell: CR LF and a lone CR become the LF a cell breaks
// lines at; a literal "_xHHHH_" gets its underscore escaped, since readers
// take that form for an escaped character. Control characters are left to
// the library, which writes them escaped in that same form.
std::string CellText(std::string_view bytes, TCharset set)
{
    std::string text = CharsetToUtf8(set, bytes);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            continue;
        }
        if (c == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_' &&
            std::all_of(text.begin() + long(i) + 2, text.begin() + long(i) + 6,
                        [](char h) { return std::isxdigit(static_cast<unsigned char>(h)) != 0; }))
            out += "_x005F";
        out += c;
    }
    return out;
}

// The system's temporary directory, or the target's own where there is none.
std::string ScratchDirectory(const std::string& target)
{
    std::error_code ec;
    const fs::path system = fs::temp_directory_path(ec);
    if (!ec && fs::is_directory(system, ec))
        return system.string();
    const fs::path beside = fs::path(target).parent_path();
    return beside.empty() ? "." : beside.string();
}

// A file of the scratch directory that libxlsxwriter writes, removed when
// this goes out of scope.
class TScratchFile {
public:
    explicit TScratchFile(const std::string& target) : directory_(ScratchDirectory(target))
    {
        int err = 0;
        const sys::FileHandle file = sys::CreateTemporary(
            sys::Utf8FromPath(sys::PathFromUtf8(directory_) / "quorvil-xlsx-"), std::string(), name_, err);
        if (file == sys::kNoFile)
            throw EStreamError("Cannot create file \"" + target + "\". No temporary file can be made in " + directory_ +
                               ".");
        sys::CloseFile(file);
    }
    ~TScratchFile() { sys::RemoveFile(name_); }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;
    const std::string& Name() const { return name_; }
    const std::string& Directory() const { return directory_; }

private:
    std::string directory_;
    std::string name_;
};

struct TWorkbookFree {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

// One sheet of a workbook being written, row by row (constant memory mode
// keeps only the current row).
class TSheetWriter {
public:
    TSheetWriter(const TScratchFile& scratch, const std::string& target, const std::string& title, TCharset set)
        : target_(target), tmpdir_(scratch.Directory()), set_(set)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir_.data();
        book_.reset(workbook_new_opt(scratch.Name().c_str(), &options));
        if (!book_)
            Fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        sheet_ = workbook_add_worksheet(book_.get(), XlsxSheetName(title, set).c_str());
        bold_ = workbook_add_format(book_.get());
        date_ = workbook_add_format(book_.get());
        time_ = workbook_add_format(book_.get());
        wrap_ = workbook_add_format(book_.get());
        if (!sheet_ || !bold_ || !date_ || !time_ || !wrap_)
            Fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        format_set_bold(bold_);
        format_set_num_format(date_, "dd/mm/yyyy");
        format_set_num_format(time_, "hh:mm:ss");
        format_set_text_wrap(wrap_);
        worksheet_freeze_panes(sheet_, 1, 0);
    }
    // A workbook left unfinished (cancelled, failed) is freed without its
    // rows' temporary file, which only closing it would close otherwise.
    ~TSheetWriter()
    {
        if (book_ && sheet_ && sheet_->optimize_tmpfile) {
            std::fclose(sheet_->optimize_tmpfile);
            sheet_->optimize_tmpfile = nullptr;
        }
    }
    TSheetWriter(const TSheetWriter&) = delete;
    TSheetWriter& operator=(const TSheetWriter&) = delete;

    void Column(int col, double width)
    {
        Check(worksheet_set_column(sheet_, lxw_col_t(col), lxw_col_t(col), width, nullptr));
    }
    void Header(int col, std::string_view name) { Text(0, col, name, bold_); }

    // The cell of a record's value; nothing for an empty or unreadable one.
    void Cell(int row, int col, TWorkbookKind kind, std::string_view value, const TJFILE& db)
    {
        if (value.empty())
            return;
        switch (kind) {
        case TWorkbookKind::Number:
            if (const std::optional<double> number = DecimalValue(value))
                Check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(col), *number, nullptr));
            return;
        case TWorkbookKind::Boolean: {
            const bool yes = value == "1" || SameTextIgnoringCase(value, db.TrueText());
            if (yes || value == "0" || SameTextIgnoringCase(value, db.FalseText()))
                Check(worksheet_write_boolean(sheet_, lxw_row_t(row), lxw_col_t(col), yes, nullptr));
            return;
        }
        case TWorkbookKind::Date:
            if (const std::optional<TCivilDate> date = ParseDateText(value))
                DateCell(row, col, DateNumber(date->Year, date->Month, date->Day), value);
            return;
        case TWorkbookKind::LongDate:
            if (const std::optional<TCivilDate> date = ParseLongDateText(value))
                DateCell(row, col, DateNumber(date->Year, date->Month, date->Day), value);
            return;
        case TWorkbookKind::Time:
            if (const std::optional<TClockTime> time = ParseTimeText(value)) {
                const double day = (time->Hour * 3600 + time->Minute * 60 + time->Second) / 86400.0;
                Check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(col), day, time_));
            }
            return;
        case TWorkbookKind::Text: Text(row, col, value, nullptr); return;
        }
    }

    // Finishes the file; the workbook is gone afterwards, whatever happened.
    void Close() { Check(workbook_close(book_.release())); }

private:
    void Text(int row, int col, std::string_view bytes, lxw_format* format)
    {
        if (bytes.empty())
            return;
        const std::string text = CellText(bytes, set_);
        if (!format && text.find('\n') != std::string::npos)
            format = wrap_;
        const lxw_error error = worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(col), text.c_str(), format);
        if (error != LXW_NO_ERROR)
            throw EStreamError("Cannot write file \"" + target_ + "\". " + lxw_strerror(error) + " (record " +
                               std::to_string(row) + ", column " + std::to_string(col + 1) + ")");
    }

    // A date the 1900 system cannot hold stays the text it is.
    void DateCell(int row, int col, std::optional<double> number, std::string_view text)
    {
        if (number)
            Check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(col), *number, date_));
        else
            Text(row, col, text, nullptr);
    }

    void Check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            Fail(error);
    }
    [[noreturn]] void Fail(lxw_error error) const
    {
        throw EStreamError("Cannot write file \"" + target_ + "\". " + lxw_strerror(error));
    }

    std::string target_;
    std::string tmpdir_;
    TCharset set_;
    std::unique_ptr<lxw_workbook, TWorkbookFree> book_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* time_ = nullptr;
    lxw_format* wrap_ = nullptr;
};

void WriteSheet(const TJFILE& db, const std::vector<int>& fields, const TScratchFile& scratch,
                const std::string& target)
{
    TSheetWriter sheet(scratch, target, db.PdbHeader.Name, db.Charset());
    std::vector<int> used;
    std::vector<TWorkbookKind> kinds;
    for (const int f : fields) {
        if (f < 1 || f > db.FieldCount())
            continue;
        const int col = int(used.size());
        sheet.Column(col, XlsxColumnWidth(db.GetColumnWidth(f)));
        sheet.Header(col, db.GetFieldName(f));
        used.push_back(f);
        kinds.push_back(FactsOf(db.GetFieldType(f)).Workbook);
    }
    // Closing compresses the workbook, which takes about as long as writing
    // the rows and reports nothing: it has half the steps, all at its end.
    const int steps = 2 * db.RecordCount() + 1;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        for (size_t c = 0; c < used.size(); ++c)
            sheet.Cell(r, int(c), kinds[c], db.CellView(r, used[c]), db);
        ReportProgress(r, steps);
    }
    sheet.Close();
    // A cancel while it closed stops the export here.
    ReportProgress(steps, steps);
}

// Copies the finished scratch file into the stream that replaces the target.
void CopyInto(const std::string& scratch, const std::string& target, TStream& out)
{
    std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(scratch.c_str(), "rb"), &std::fclose);
    if (!in)
        throw EStreamError("Cannot write file \"" + target + "\". The workbook written in " + scratch +
                           " cannot be read back.");
    std::vector<char> buffer(1 << 20);
    while (const size_t n = std::fread(buffer.data(), 1, buffer.size(), in.get()))
        out.Write(buffer.data(), n);
    if (std::ferror(in.get()))
        throw EStreamError("Cannot write file \"" + target + "\". The workbook written in " + scratch +
                           " cannot be read back.");
}

}  // namespace

void WriteXlsx(TJFILE& db, const std::vector<int>& fields, const std::string& fileName)
{
    // libxlsxwriter writes to a file name of its own; the workbook is made in
    // a scratch file and then goes through the same all-or-nothing
    // replacement as every export.
    ReplaceWithText(db, fileName, [&](TStream& out) {
        const TScratchFile scratch(fileName);
        WriteSheet(db, fields, scratch, fileName);
        CopyInto(scratch.Name(), fileName, out);
    });
}

std::string XlsxSheetName(std::string_view title, TCharset set)
{
    // Characters, not bytes, are left out and counted: a two-byte character
    // may have a trail byte equal to '\\' or '['.
    const std::string utf8 = CharsetToUtf8(set, title);
    std::string kept;
    size_t units = 0;  // UTF-16 units, as the limit counts them
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view character = std::string_view(utf8).substr(i, length);
        i += length;
        if (length == 1 &&
            (lead < 0x20 || lead == 0x7F || std::string_view("[]:*?/\\").find(char(lead)) != std::string_view::npos))
            continue;
        const size_t needs = length == 4 ? 2 : 1;
        if (units + needs > LXW_SHEETNAME_MAX)
            break;
        units += needs;
        kept += character;
    }
    const size_t first = kept.find_first_not_of("' ");
    const size_t last = kept.find_last_not_of("' ");
    kept = first == std::string::npos ? std::string() : kept.substr(first, last + 1 - first);
    // Excel keeps "History" for a sheet of its own.
    if (kept.empty() || SameTextIgnoringCase(kept, "History"))
        return "Sheet1";
    return kept;
}

double XlsxColumnWidth(int pixels)
{
    // About seven pixels a character of the default font.
    if (pixels <= 0)
        return LXW_DEF_COL_WIDTH;
    return std::clamp(pixels / 7.0, 1.0, 255.0);
}

}  // namespace quorvil
