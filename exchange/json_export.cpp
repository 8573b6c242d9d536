#include "json_export.h"

#include "export.h"
#include "jfile.h"
#include "latin1.h"
#include "layout.h"
#include "progress.h"
#include "streams.h"
#include "text_writers.h"

namespace quorvil {

using nlohmann::ordered_json;

namespace {

// The fields to write, and where each field of the database lands among
// them (0 for one left out, the first place for one listed twice).
struct TFieldPlaces {
    std::vector<int> Fields;
    std::vector<int> PlaceOf;  // index: field number
    bool Identity = true;      // every field, in field order

    TFieldPlaces(const TJFILE& db, const std::vector<int>& fields) : PlaceOf(size_t(db.FieldCount()) + 1, 0)
    {
        for (const int f : fields) {
            if (f < 1 || f > db.FieldCount())
                continue;
            Fields.push_back(f);
            if (PlaceOf[size_t(f)] == 0)
                PlaceOf[size_t(f)] = int(Fields.size());
            Identity = Identity && f == int(Fields.size());
        }
        Identity = Identity && int(Fields.size()) == db.FieldCount();
    }
    // A field number as the database stores it, renumbered; numbers beyond
    // the fields (a file may hold them) stay as they are when every field is
    // written in order, so that form stays the database's own.
    int Renumbered(int f) const
    {
        if (f >= 1 && f < int(PlaceOf.size()))
            return PlaceOf[size_t(f)];
        return Identity ? f : 0;
    }
};

ordered_json TextArray(const std::vector<std::string>& texts)
{
    ordered_json array = ordered_json::array();
    for (const auto& t : texts)
        array.push_back(BytesToUtf8(t));
    return array;
}

ordered_json FieldJson(const TJFILE& db, int f)
{
    std::vector<std::string> popup;
    for (int k = 1; k <= db.PopupCount(f); ++k)
        popup.push_back(db.GetPopupItem(f, k));
    ordered_json field;
    field["name"] = BytesToUtf8(db.GetFieldName(f));
    field["type"] = db.GetFieldType(f);
    field["type_name"] = db.GetFieldTypeName(f);
    field["width"] = db.GetColumnWidth(f);
    field["popup"] = TextArray(popup);
    field["default"] = BytesToUtf8(db.GetDefault(f));
    return field;
}

ordered_json SavedSortsJson(const TJFILE& db, const TFieldPlaces& places)
{
    ordered_json sorts = ordered_json::array();
    for (int s = 1; s <= 5; ++s) {
        if (db.GetSavedSortName(s).empty())
            continue;
        ordered_json sort;
        sort["slot"] = s;
        sort["name"] = BytesToUtf8(db.GetSavedSortName(s));
        sort["fields"] = {places.Renumbered(db.GetSavedSortField(s, 1)), places.Renumbered(db.GetSavedSortField(s, 2)),
                          places.Renumbered(db.GetSavedSortField(s, 3))};
        sorts.push_back(sort);
    }
    return sorts;
}

ordered_json FiltersJson(const TJFILE& db)
{
    ordered_json filters = ordered_json::array();
    for (int s = 1; s <= 5; ++s) {
        FilterRec rec = db.GetFilter(s);
        if (rec.FilterName.empty())
            continue;
        ordered_json filter;
        filter["slot"] = s;
        filter["name"] = BytesToUtf8(rec.FilterName);
        filter["values"] = TextArray({rec.FilterValues.begin(), rec.FilterValues.end()});
        filter["word"] = rec.FilterWord;
        ordered_json codes = ordered_json::array();
        for (int8_t code : rec.FilterCodes)
            codes.push_back(int(code));
        filter["codes"] = codes;
        filters.push_back(filter);
    }
    return filters;
}

ordered_json RecordsJson(const TJFILE& db, const std::vector<int>& fields)
{
    ordered_json records = ordered_json::array();
    for (int r = 1; r <= db.RecordCount(); ++r) {
        ordered_json row = ordered_json::array();
        for (const int f : fields)
            row.push_back(BytesToUtf8(db.CellView(r, f)));
        records.push_back(std::move(row));
        ReportProgress(r, db.RecordCount());
    }
    return records;
}

}  // namespace

ordered_json DatabaseToJson(const TJFILE& db, bool withRecords)
{
    return DatabaseToJson(db, AllFields(db), withRecords);
}

ordered_json DatabaseToJson(const TJFILE& db, const std::vector<int>& fields, bool withRecords)
{
    const TFieldPlaces places(db, fields);
    ordered_json j;
    j["title"] = BytesToUtf8(db.PdbHeader.Name);
    j["layout"] = Number(db.Layout);
    j["creator"] = BytesToUtf8(db.CreatorText());
    j["db_type"] = BytesToUtf8(db.DbTypeText());
    j["attributes"] = db.PdbHeader.Attributes;
    j["version"] = db.PdbHeader.Version;
    j["category"] = db.Category();
    j["read_only"] = db.ReadOnly();
    j["record_count"] = db.RecordCount();
    j["field_count"] = places.Fields.size();
    ordered_json fieldList = ordered_json::array();
    for (const int f : places.Fields)
        fieldList.push_back(FieldJson(db, f));
    j["fields"] = fieldList;
    j["sort_fields"] = {places.Renumbered(db.GetSortField(1)), places.Renumbered(db.GetSortField(2)),
                        places.Renumbered(db.GetSortField(3))};
    j["find_field"] = places.Renumbered(db.FindField());
    j["find_text"] = BytesToUtf8(db.FindText());
    j["filter_field"] = places.Renumbered(db.FilterField());
    j["filter_text"] = BytesToUtf8(db.FilterText());
    j["first_column"] = places.Renumbered(db.FirstColumn());
    j["display_width"] = db.DisplayWidth();
    j["saved_sorts"] = SavedSortsJson(db, places);
    j["filters"] = FiltersJson(db);
    if (withRecords)
        j["records"] = RecordsJson(db, places.Fields);
    return j;
}

void WriteJsonTo(const TJFILE& db, const std::vector<int>& fields, TStream& out)
{
    const std::string text = DatabaseToJson(db, fields, true).dump(1) + "\n";
    out.Write(text.data(), text.size());
}

void WriteJson(TJFILE& db, const std::vector<int>& fields, const std::string& fileName)
{
    ReplaceWithText(db, fileName, [&](TStream& out) { WriteJsonTo(db, fields, out); });
}

}  // namespace quorvil
