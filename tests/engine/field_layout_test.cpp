// Fields added, deleted and moved in a database with records: cells,
// widths and what names fields by number follow, and the cells come back.
#include "definition_review.h"
#include "engine_helpers.h"
#include "field_layout.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

std::string Joined(const std::vector<std::string>& texts)
{
    std::string joined;
    for (size_t k = 0; k < texts.size(); ++k)
        joined += (k == 0 ? "" : ",") + texts[k];
    return joined;
}

// Names, the cells of every record, widths, the saved sorts and the view's
// sort, find and filter fields, each as one line.
std::vector<std::string> Shown(const TJFILE& db)
{
    std::vector<std::string> names, widths, sorts;
    for (int f = 1; f <= db.FieldCount(); ++f) {
        names.push_back(db.GetFieldName(f));
        widths.push_back(std::to_string(db.GetColumnWidth(f)));
    }
    std::vector<std::string> shown{Joined(names)};
    for (int r = 1; r <= db.RecordCount(); ++r) {
        std::vector<std::string> cells;
        for (int f = 1; f <= db.FieldCount(); ++f)
            cells.push_back(db.GetCell(r, f));
        shown.push_back(Joined(cells));
    }
    for (int s = 1; s <= 5; ++s)
        if (!db.GetSavedSortName(s).empty())
            sorts.push_back(db.GetSavedSortName(s) + "=" + std::to_string(db.GetSavedSortField(s, 1)) + "+" +
                            std::to_string(db.GetSavedSortField(s, 2)));
    shown.push_back(Joined(widths));
    shown.push_back(Joined(sorts));
    shown.push_back(std::to_string(db.GetSortField(1)) + std::to_string(db.FindField()) +
                    std::to_string(db.FilterField()));
    return shown;
}

TEST(FieldLayout, added_deleted_and_moved_fields_take_their_cells_settings_and_sorts_along)
{
    using Strings = std::vector<std::string>;
    const struct {
        const char* Name;
        TFieldSources Sources;
        std::vector<FieldSpec> Added;  // the fields of the 0s, in order
        Strings Shown;
        Strings Notes;
    } cases[] = {
        {"an Integer field after the first",
         {1, 0, 2, 3, 4},
         {{"Stock", TFieldType::Integer}},
         {"Name,Stock,Qty,Hue,When", "apple,0,5,Red,07/03/24", "pear,0,,Blue,", "101,100,102,103,104",
          "By qty=3+0,By hue=4+1", "453"},
         {}},
        {"a field a saved sort needs, deleted",
         {1, 3, 4},
         {},
         {"Name,Hue,When", "apple,Red,07/03/24", "pear,Blue,", "101,103,104", "By hue=2+1", "231"},
         {"The saved sort \"By qty\" sorts by a deleted field; it is removed."}},
        {"the last field moved to the front",
         {4, 1, 2, 3},
         {},
         {"When,Name,Qty,Hue", "07/03/24,apple,5,Red", ",pear,,Blue", "104,101,102,103", "By qty=3+0,By hue=4+2",
          "413"},
         {}},
        {"a List, a counter and a date added at the end",
         {1, 2, 3, 4, 0, 0, 0},
         {{"Size", TFieldType::List, {"S", "M"}}, {"No", TFieldType::AutoInc}, {"Due", TFieldType::Date}},
         {"Name,Qty,Hue,When,Size,No,Due", "apple,5,Red,07/03/24,S,1,01/01/00", "pear,,Blue,,S,2,01/01/00",
          "101,102,103,104,100,100,100", "By qty=2+0,By hue=3+1", "342"},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto db = MemoryDatabase({{"Name"},
                                  {"Qty", TFieldType::Integer},
                                  {"Hue", TFieldType::List, {"Red", "Blue"}},
                                  {"When", TFieldType::Date}},
                                 {{"apple", "5", "Red", "07/03/24"}, {"pear", "", "Blue"}});
        for (int f = 1; f <= 4; ++f)
            db->SetColumnWidth(f, 100 + f);
        db->SetSavedSort(1, "By qty", {2, 0, 0});
        db->SetSavedSort(2, "By hue", {3, 1, 0});
        db->SetSortField(1, 3);
        db->SetFindField(4);
        db->SetFilterField(2);
        const Rows cells{{"apple", "5", "Red", "07/03/24"}, {"pear", "", "Blue", ""}};

        const std::vector<TFieldDefinition> old = ReadDefinition(*db);
        std::vector<TFieldDefinition> fields;
        size_t added = 0;
        for (const int source : c.Sources) {
            const FieldSpec* spec = source == 0 ? &c.Added[added++] : nullptr;
            fields.push_back(spec ? TFieldDefinition{spec->name, spec->type, spec->popup} : old[size_t(source - 1)]);
        }
        const TDefinitionReview review = ReviewDefinition(*db, fields, c.Sources);
        EXPECT_EQ(review.Notes, c.Notes);
        EXPECT_EQ(review.Refusal, "");

        TFieldCells back = RearrangeFields(*db, c.Sources, review.Fields, TLocalMoment{});
        EXPECT_EQ(Shown(*db), c.Shown);
        // The cells go back and forth; the definition comes back by its own
        // undo step.
        TFieldCells again = RearrangeCells(*db, back);
        for (int r = 1; r <= 2; ++r)
            for (int f = 1; f <= 4; ++f)
                EXPECT_EQ(db->Record(r).GetField(f), cells[size_t(r - 1)][size_t(f - 1)]);
        RearrangeCells(*db, again);
        EXPECT_EQ(Shown(*db), c.Shown);
    }
}

}  // namespace
}  // namespace quorvil
