#include "sample_db.h"

namespace quorvil::pdbtest {

namespace {

void SetHeaderDefaults(Database& db, int layout)
{
    db.layout = layout;
    db.creator = DefaultCreator(layout);
    db.dbType = DefaultDbType(layout);
    db.layoutTag = layout == 0 ? 452 : 576;
    db.created = 3'700'000'000u;
    db.modified = 3'700'086'400u;
    db.backedUp = 3'600'000'000u;
    db.modificationNumber = 41;
    db.uniqueIdSeed = {0x00, 0x12, 0x34, 0x56};
    db.nextRecordListId = {0xDE, 0xAD, 0xBE, 0xEF};
}

}  // namespace

Database SampleDatabase(int layout)
{
    Database db;
    SetHeaderDefaults(db, layout);
    db.title = "Garden log";
    db.attributes = 8;
    const bool fiveX = layout >= 2;
    db.fields = {
        {"Plant", kString, 120},
        {"Done", kBoolean, 40},
        {"Sown", kDate, 60, fiveX ? 1u : 0u},  // international date in the 5.x layouts
        {"Bed", kList, 50},
        {"Notes", kString, 200},
        {"Count", kInteger, 30},
    };
    db.popups[4] = {"North", "South", "Caf\xE9"};
    db.records = {
        {{"Tomato", "1", "3/4/2024", "North", "Needs stakes\nwater daily", "12"}},
        {{"Basil \xE9t\xE9", "0", "", "Caf\xE9", "\x80\x9F\xA0\xFF", "3"}},
        {{"", "", "", "", "", ""}},
    };
    db.displayWidth = 160;
    db.sortFields = {2, 1, 0};
    db.findField = 1;
    db.findText = "tom";
    db.filterField = 4;
    db.filterText = "North";
    db.firstColumn = 2;
    if (fiveX) {
        // Category 3, "5.x formatted", read-only.
        db.version = 0x3C01;
        db.defaults = {{1, "Seedling"}, {4, "North"}};
        db.sorts = {{1, "By bed", {4, 1, 0}}, {3, "By date", {3, 0, 0}}};
        db.filters = {{2, "Open", {"0", "", "", "", ""}, 1, {0, -1, -1, -1, -1}}};
    } else {
        db.flags = 0x3002;  // category 3, read-only
    }
    return db;
}

Database WideDatabase(int layout, int count)
{
    Database db;
    SetHeaderDefaults(db, layout);
    db.title = "Wide";
    Record rec;
    for (int f = 1; f <= count; ++f) {
        db.fields.push_back({"F" + std::to_string(f), kString, uint16_t(20 + f)});
        rec.cells.push_back("r1c" + std::to_string(f));
    }
    db.records = {rec};
    return db;
}

}  // namespace quorvil::pdbtest
