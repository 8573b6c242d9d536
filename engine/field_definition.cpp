#include "field_definition.h"

#include "field_types.h"
#include "jfile.h"
#include "text_case.h"

namespace quorvil {

std::vector<TFieldDefinition> ReadDefinition(const TJFILE& db)
{
    std::vector<TFieldDefinition> fields;
    for (int f = 1; f <= db.FieldCount(); ++f) {
        TFieldDefinition field{db.GetFieldName(f), db.GetFieldType(f), {}};
        if (field.Type == TFieldType::List)
            field.Popup = PopupValues(db, f);
        fields.push_back(std::move(field));
    }
    return fields;
}

void WriteDefinition(TJFILE& db, const std::vector<TFieldDefinition>& fields)
{
    // Every setter compares first, so an unchanged definition leaves the
    // database unmodified.
    db.SetFieldCount(int(fields.size()));
    for (int f = 1; f <= db.FieldCount(); ++f) {
        const TFieldDefinition& field = fields[size_t(f - 1)];
        const bool wasList = db.GetFieldType(f) == TFieldType::List;
        db.SetFieldName(f, field.Name.substr(0, kMaxFieldNameLength));
        db.SetFieldType(f, field.Type);
        // A field that keeps a popup list is written as a List field again.
        if (field.Type == TFieldType::List || wasList)
            db.SetPopupList(f, field.Type == TFieldType::List ? field.Popup : std::vector<std::string>());
    }
}

std::vector<std::string> SavedSortNames(const TJFILE& db, int s)
{
    std::vector<std::string> names;
    if (db.GetSavedSortName(s).empty())
        return names;
    for (int k = 1; k <= 3; ++k) {
        const int f = db.GetSavedSortField(s, k);
        if (f >= 1 && f <= db.FieldCount())
            names.push_back(db.GetFieldName(f));
    }
    return names;
}

std::vector<std::string> PopupValues(const TJFILE& db, int field)
{
    std::vector<std::string> values;
    for (int k = 1; k <= db.PopupCount(field); ++k)
        values.push_back(db.GetPopupItem(field, k));
    return values;
}

bool PopupCanHold(std::string_view value)
{
    return value.size() <= TJFILE::kLongestPopupValue && !ReadsAsChunkHeader(value);
}

bool SameFieldName(std::string_view a, std::string_view b)
{
    return SameTextIgnoringCase(a.substr(0, kMaxFieldNameLength), b.substr(0, kMaxFieldNameLength));
}

}  // namespace quorvil
