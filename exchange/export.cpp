#include "export.h"

#include "file_names.h"
#include "jfile.h"
#include "text_writers.h"

#include <filesystem>

namespace quorvil {

namespace {

const TExportKind kKinds[] = {
    {"CSV", "Export to CSV file", "CSV files|*.CSV|All Files|*.*", true},
    {"HTM", "Export to HTML table", "HTML files|*.HTM;*.HTML|All Files|*.*", false},
    {"TXT", "Export to Text file", "Text files|*.TXT|All Files|*.*", false},
};

// Every field counts as chosen when the list has as many entries, whatever
// their order.
bool AllChosen(const TJFILE& db, const std::vector<int>& fields)
{
    return fields.size() == size_t(db.FieldCount());
}

}  // namespace

const TExportKind& ExportKind(TExportFormat format)
{
    return kKinds[static_cast<int>(format)];
}

std::vector<int> AllFields(const TJFILE& db)
{
    std::vector<int> fields;
    for (int f = 1; f <= db.FieldCount(); ++f)
        fields.push_back(f);
    return fields;
}

std::string DirectExportName(const TJFILE& db, TExportFormat format, const std::vector<int>& fields)
{
    const TExportKind& kind = ExportKind(format);
    if (db.FileName.empty() || (kind.DirectNeedsAllFields && !AllChosen(db, fields)))
        return {};
    return ForceExtension(db.FileName, kind.Extension);
}

std::string OfferedExportName(const TJFILE& db, TExportFormat format, const std::vector<int>& fields)
{
    const TExportKind& kind = ExportKind(format);
    if (!AllChosen(db, fields) || db.FileName.empty())
        return std::string("*.") + kind.Extension;
    return ForceExtension(std::filesystem::path(db.FileName).filename().string(), kind.Extension);
}

void Export(TJFILE& db, TExportFormat format, const std::vector<int>& fields, const std::string& fileName)
{
    switch (format) {
    case TExportFormat::CSV:
        WriteCSV(db, fields, fileName);
        break;
    case TExportFormat::HTML:
        WriteHTML(db, fileName, fields);
        break;
    case TExportFormat::TXT:
        WriteTXT(db, fileName, fields);
        break;
    }
}

}  // namespace quorvil
