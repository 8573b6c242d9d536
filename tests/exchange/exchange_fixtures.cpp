#include "exchange_fixtures.h"

#include "save_as.h"

namespace quorvil::exchangetest {

std::unique_ptr<TJFILE> Table(const std::vector<Field>& fields, const Rows& rows, const std::string& title)
{
    auto db = std::make_unique<TJFILE>();
    db->InitNew();
    if (!title.empty())
        db->PdbHeader.Name = title;
    db->SetFieldCount(int(fields.size()));
    for (size_t f = 0; f < fields.size(); ++f) {
        db->SetFieldName(int(f) + 1, fields[f].Name);
        db->SetFieldType(int(f) + 1, fields[f].Type);
        for (size_t p = 0; p < fields[f].Popup.size(); ++p)
            db->SetPopupItem(int(f) + 1, int(p) + 1, fields[f].Popup[p]);
    }
    db->SetRecordCount(uint16_t(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t f = 0; f < rows[r].size(); ++f)
            db->SetCell(int(r) + 1, int(f) + 1, rows[r][f]);
    return db;
}

Rows CellsOf(const TJFILE& db)
{
    Rows rows;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        rows.emplace_back();
        for (int f = 1; f <= db.FieldCount(); ++f)
            rows.back().push_back(db.GetCell(r, f));
    }
    return rows;
}

void SaveAs(TJFILE& db, const std::string& path)
{
    WriteInLayout(db, db.Layout(), path);
    db.FileName = path;
}

}  // namespace quorvil::exchangetest
