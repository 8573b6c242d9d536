#include "export.h"

#include "config_settings.h"
#include "field_types.h"
#include "file_names.h"
#include "jfile.h"
#include "system_file.h"
#include "text_utils.h"
#include "text_writers.h"

#include <algorithm>
#include <filesystem>

namespace quorvil {

namespace {

const TExportKind kKinds[] = {
    {"CSV", &settings::CsvDirectory, "Export to CSV file", "CSV files|*.CSV|All Files|*.*", true},
    {"HTM", &settings::HtmlDirectory, "Export to HTML table", "HTML files|*.HTM;*.HTML|All Files|*.*", false},
    {"TXT", &settings::TextDirectory, "Export to Text file", "Text files|*.TXT|All Files|*.*", false},
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

std::vector<std::string> ExportFiles(TExportFormat format, const std::string& fileName)
{
    const std::string name = DefaultExtension(fileName, ExportKind(format).Extension);
    if (format == TExportFormat::CSV)
        return {name, ForceExtension(name, "DEF")};
    return {name};
}

bool FolderTakesFiles(const std::string& fileName)
{
    const std::string folder = std::filesystem::path(fileName).parent_path().string();
    return sys::CanCreateIn(folder.empty() ? std::string(".") : folder);
}

std::string PopupCommaMessage(const TJFILE& db, const std::vector<int>& fields)
{
    std::vector<int> seen;
    std::vector<std::string> values;
    for (int f : fields) {
        if (f < 1 || f > db.FieldCount() || db.GetFieldType(f) != TFieldType::List ||
            std::find(seen.begin(), seen.end(), f) != seen.end())
            continue;
        seen.push_back(f);
        for (int k = 1; k <= db.PopupCount(f); ++k)
            if (const std::string value = db.GetPopupItem(f, k); value.find(',') != std::string::npos)
                values.push_back(Quoted(value) + " (field " + db.GetFieldName(f) + ")");
    }
    if (values.empty())
        return {};
    const bool one = values.size() == 1;
    return std::string(one ? "The popup value " : "The popup values ") + Listed(values, kItemsShown) +
           (one ? " holds" : " hold") +
           " a comma, which separates the values in the .DEF settings file: importing the CSV would split " +
           (one ? "it. Change it in the popup list to keep it whole."
                : "them. Change them in the popup list to keep them whole.");
}

void Export(TJFILE& db, TExportFormat format, const std::vector<int>& fields, const std::string& fileName)
{
    switch (format) {
    case TExportFormat::CSV: WriteCSV(db, fields, fileName); break;
    case TExportFormat::HTML: WriteHTML(db, fileName, fields); break;
    case TExportFormat::TXT: WriteTXT(db, fileName, fields); break;
    }
}

}  // namespace quorvil
