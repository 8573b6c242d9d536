#include "save_as.h"

#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "status_scope.h"

#include <filesystem>

namespace quorvil {

namespace {

// More names than this make the line too long to read: the rest are "...".
constexpr size_t kNamesShown = 5;

std::string DroppedMessage(const std::vector<TDroppedField>& fields, TLayout layout)
{
    const std::string first = std::to_string(fields.front().Number);
    const std::string last = std::to_string(fields.back().Number);
    std::string text = fields.size() == 1   ? "Field " + first
                       : fields.size() == 2 ? "Fields " + first + " and " + last
                                            : "Fields " + first + " to " + last;
    text += " (";
    for (size_t i = 0; i < fields.size() && i < kNamesShown; ++i)
        text += (i > 0 ? ", " : "") + (fields[i].Name.empty() ? std::string("\"\"") : fields[i].Name);
    if (fields.size() > kNamesShown)
        text += ", ...";
    return text + (fields.size() == 1 ? ") is" : ") are") + " not kept by " + Facts(layout).Name;
}

}  // namespace

TDroppedFields DroppedFields(const TJFILE& db, TLayout layout)
{
    TDroppedFields dropped;
    for (int f = Facts(layout).MaxFields + 1; f <= db.FieldCount(); ++f)
        dropped.Fields.push_back({f, db.GetFieldName(f)});
    if (!dropped.Fields.empty())
        dropped.Message = DroppedMessage(dropped.Fields, layout);
    return dropped;
}

std::string LongValueQuestion(const TLongValue& value)
{
    return "Record #" + std::to_string(value.Record) + "'s field \"" + value.FieldName + "\" is too long\r\n" +
           "(Length=" + std::to_string(value.Length) + ", Max=" + std::to_string(value.Max) + ")";
}

void CheckNotOwnFile(const TJFILE& db, const std::string& fileName)
{
    std::error_code ec;
    if (!db.FileName.empty() && std::filesystem::equivalent(fileName, db.FileName, ec))
        throw EStreamError("Cannot save as \"" + fileName + "\": it is the open database's own file. Use Save to " +
                           "write it.");
}

void WriteInLayout(TJFILE& db, TLayout layout, const std::string& fileName)
{
    db.ConvertLayout(layout);
    TFileStream::ReplaceFile(fileName, [&](TFileStream& file) {
        db.Save(file);
        file.Flush();
    });
}

TSaveAs::TSaveAs(TJFILE& db, TLayout layout, std::string fileName) : db_(db), fileName_(std::move(fileName))
{
    CheckNotOwnFile(db_, fileName_);
    dropped_ = quorvil::DroppedFields(db_, layout);
    // The copy lives only as long as this command, inside the database's.
    copy_ = CopyDatabase(db_, TRecordCopy::Borrow);
    copy_->ConvertLayout(layout);
}

TSaveAs::~TSaveAs() = default;

bool TSaveAs::CheckLengths(const TLengthQuestion& ask) const
{
    const TJFILE& db = *copy_;
    const size_t longest = Facts(db.Layout).LongestValue;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        // No value is longer than all of a record's texts together.
        if (size_t(r) <= db.Records.size() && db.Records[size_t(r - 1)].TextSpan().size() <= longest)
            continue;
        for (int f = 1; f <= db.FieldCount(); ++f) {
            // A new field becomes a String field when it is saved.
            const uint16_t type = db.GetFieldType(f);
            if (type != kTypeString && type != kTypeNew)
                continue;
            const size_t length = db.CellView(r, f).size();
            if (length <= longest)
                continue;
            const TLengthAnswer answer = ask({r, f, db.GetFieldName(f), length, longest});
            if (answer == TLengthAnswer::Cancel)
                return false;
            if (answer == TLengthAnswer::TruncateAll)
                break;
        }
    }
    return true;
}

void TSaveAs::Write()
{
    TStatusScope status(db_, fileName_);
    WriteInLayout(*copy_, copy_->Layout, fileName_);
}

bool SaveAs(TJFILE& db, TLayout layout, const std::string& fileName, const TLengthQuestion& ask)
{
    TSaveAs saveAs(db, layout, fileName);
    if (!saveAs.CheckLengths(ask))
        return false;
    saveAs.Write();
    return true;
}

}  // namespace quorvil
