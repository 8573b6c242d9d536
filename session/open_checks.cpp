#include "open_checks.h"

#include "field_types.h"
#include "jfile.h"
#include "system_paths.h"
#include "text_utils.h"

#include <charconv>
#include <iterator>
#include <string_view>
#include <unordered_set>

namespace quorvil {

namespace {

std::unordered_set<std::string> PopupItems(const TJFILE& db, int field)
{
    std::unordered_set<std::string> items;
    for (int k = 1; k <= db.PopupCount(field); ++k)
        items.insert(db.GetPopupItem(field, k));
    return items;
}

}  // namespace

int FindDbidField(const TJFILE& db)
{
    int found = 0;
    for (int f = 1; f <= db.FieldCount(); ++f)
        if (db.GetFieldName(f) == "DBID")
            found = f;
    return found;
}

bool MakeCounterField(TJFILE& db)
{
    if (db.FieldCount() < 1 || db.GetFieldType(1) != TFieldType::Integer)
        return false;
    const std::string name = db.GetFieldName(1);
    if (name != "No." && name != "#")
        return false;
    db.SetFieldType(1, TFieldType::AutoInc);
    return true;
}

std::vector<std::string> CheckPopupValues(const TJFILE& db)
{
    // One pass over the records for all List fields at once, reading cells
    // as views: a large database is checked on every open.
    struct TListField {
        int Field;
        std::unordered_set<std::string> Items;
        std::unordered_set<std::string_view> Known;  // views of Items
        std::vector<std::string> Report;
    };
    std::vector<TListField> lists;
    for (int f = 1; f <= db.FieldCount(); ++f) {
        if (db.GetFieldType(f) != TFieldType::List)
            continue;
        TListField& list = lists.emplace_back(TListField{f, PopupItems(db, f), {}, {}});
        list.Known.insert(list.Items.begin(), list.Items.end());
    }
    std::array<std::string_view, kMaxSlots> cells;
    for (int r = 1; r <= db.RecordCount() && !lists.empty(); ++r) {
        // All cells in one pass over the record's lengths.
        db.Record(r).Texts(cells);
        for (TListField& list : lists) {
            const std::string_view value = cells[size_t(list.Field - 1)];
            if (value.empty() || list.Known.count(value))
                continue;
            list.Report.push_back("In field #" + std::to_string(list.Field) + " (" + db.GetFieldName(list.Field) +
                                  "), record #" + std::to_string(r) + " (" + db.GetCell(r, 1) +
                                  ") has the following value: " + QuotedIfSpaced(std::string(value)));
        }
    }
    std::vector<std::string> report;
    for (TListField& list : lists)
        report.insert(report.end(), std::make_move_iterator(list.Report.begin()),
                      std::make_move_iterator(list.Report.end()));
    return report;
}

void FixPopupValues(TJFILE& db)
{
    for (int f = 1; f <= db.FieldCount(); ++f) {
        if (db.GetFieldType(f) != TFieldType::List)
            continue;
        std::unordered_set<std::string> items = PopupItems(db, f);
        int count = db.PopupCount(f);
        for (int r = 1; r <= db.RecordCount() && count < kMaxSlots; ++r) {
            const std::string value = db.GetCell(r, f);
            if (value.empty() || items.count(value))
                continue;
            db.SetPopupItem(f, ++count, value);
            items.insert(value);
        }
    }
}

bool ApplyCurrencyRule(TJFILE& db)
{
    bool anyDollar = false;
    for (int f = 1; f <= db.FieldCount(); ++f) {
        if (db.GetFieldType(f) != TFieldType::Float)
            continue;
        for (int r = 1; r <= db.RecordCount(); ++r) {
            const std::string_view value = db.CellView(r, f);
            if (value.empty())
                continue;
            if (value.front() != '$')
                return false;
            anyDollar = true;
        }
    }
    if (!anyDollar)
        return false;
    for (int f = 1; f <= db.FieldCount(); ++f)
        if (db.GetFieldType(f) == TFieldType::Float)
            db.SetFieldType(f, TFieldType::String);
    return true;
}

std::vector<int> ParseColumnWidths(const std::string& text, int columns)
{
    std::vector<int> widths;
    size_t pos = 0;
    while (!text.empty() && int(widths.size()) < columns && pos <= text.size()) {
        size_t comma = text.find(',', pos);
        if (comma == std::string::npos)
            comma = text.size();
        int value = 0;
        const char* first = text.data() + pos;
        const char* last = text.data() + comma;
        auto [end, error] = std::from_chars(first, last, value);
        // A negative width is as unusable as a word.
        if (first == last || error != std::errc() || end != last || value < 0)
            break;
        widths.push_back(value);
        pos = comma + 1;
    }
    return widths;
}

std::string JoinColumnWidths(const std::vector<int>& widths)
{
    std::string text;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(widths[i]);
    }
    return text;
}

std::string TabCaption(const std::string& path)
{
    // Windows names come with either separator (a command line gives "Z:\\d\\x.pdb").
    std::string name = path.substr(path.find_last_of(sys::kPathSeparators) + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    for (char& c : name)
        if (c == '_')
            c = ' ';
    return name;
}

}  // namespace quorvil
