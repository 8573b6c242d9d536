#include "session_helpers.h"

namespace quorvil {

void FillDatabase(TJFILE& db, const std::vector<FieldSpec>& fields, const Rows& rows)
{
    db.SetFieldCount(int(fields.size()));
    for (size_t f = 0; f < fields.size(); ++f) {
        db.SetFieldName(int(f + 1), fields[f].name);
        db.SetFieldType(int(f + 1), fields[f].type);
        for (size_t k = 0; k < fields[f].popup.size(); ++k)
            db.SetPopupItem(int(f + 1), int(k + 1), fields[f].popup[k]);
    }
    db.SetRecordCount(uint16_t(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t f = 0; f < rows[r].size(); ++f)
            db.SetCell(int(r + 1), int(f + 1), rows[r][f]);
}

std::unique_ptr<TJFILE> MemoryDatabase(const std::vector<FieldSpec>& fields, const Rows& rows)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    FillDatabase(*db, fields, rows);
    db->Loaded = true;
    return db;
}

}  // namespace quorvil
