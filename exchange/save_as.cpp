#include "save_as.h"

#include "errors.h"
#include "field_types.h"
#include "jfile.h"
#include "status_scope.h"

#include <filesystem>

namespace quorvil {

size_t LongestValue(int layout)
{
    return layout == 3 ? 32000 : 4000;
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

void WriteInLayout(TJFILE& db, int layout, const std::string& fileName)
{
    db.ConvertLayout(layout);
    TFileStream::ReplaceFile(fileName, [&](TFileStream& file) {
        db.Save(file);
        file.Flush();
    });
}

TSaveAs::TSaveAs(TJFILE& db, int layout, std::string fileName) : db_(db), fileName_(std::move(fileName))
{
    CheckNotOwnFile(db_, fileName_);
    copy_ = CopyDatabase(db_);
    copy_->ConvertLayout(layout);
}

TSaveAs::~TSaveAs() = default;

bool TSaveAs::CheckLengths(const TLengthQuestion& ask) const
{
    const TJFILE& db = *copy_;
    const size_t longest = LongestValue(db.Layout);
    for (int r = 1; r <= db.RecordCount(); ++r) {
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

bool SaveAs(TJFILE& db, int layout, const std::string& fileName, const TLengthQuestion& ask)
{
    TSaveAs saveAs(db, layout, fileName);
    if (!saveAs.CheckLengths(ask))
        return false;
    saveAs.Write();
    return true;
}

}  // namespace quorvil
