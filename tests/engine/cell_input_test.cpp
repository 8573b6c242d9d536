// What a typed text stores in a field: dates and times in the form of the
// field's values, numbers as typed, refused when they are none.
#include "cell_input.h"
#include "engine_helpers.h"
#include "field_types.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

struct InputCase {
    TFieldType type;
    std::vector<std::string> values;  // the field's values before the edit
    std::string typed;
    std::string stored;  // empty with refused
    bool refused = false;
};

TEST(CellInput, dates_and_times_are_stored_in_the_form_the_field_shows)
{
    const InputCase cases[] = {
        {TFieldType::Date, {"02/02/2024", "14/01/2024"}, "10/07/2023", "10/07/2023"},
        {TFieldType::Date, {"02/02/2024", "14/01/2024"}, "7/3/24", "07/03/2024"},
        {TFieldType::Date, {"05/12/06", "14/01/07"}, "10/07/2023", "10/07/23"},
        {TFieldType::Date, {"05/12/06"}, "3/4/1970", "03/04/1970"},
        {TFieldType::ModDate, {"", "x"}, "7/3/24", "07/03/24"},
        {TFieldType::AutoDate, {}, "7 March 2024", "07/03/2024"},
        {TFieldType::IntDate, {"01 Jan 1980"}, "7/3/2024", "07 Mar 2024"},
        {TFieldType::Time, {"09:30"}, "07:45", "07:45"},
        {TFieldType::Time, {"09:30"}, "7:45:30", "07:45:30"},
        {TFieldType::ModTime, {"09:30:00"}, "7:45", "07:45:00"},
        {TFieldType::AutoTime, {}, "7:45", "07:45"},
        {TFieldType::Date, {"02/02/2024"}, "", ""},
        {TFieldType::Date, {"02/02/2024"}, "31/02/2024", "", true},
        {TFieldType::IntDate, {}, "3 Feb", "", true},
        {TFieldType::Time, {"09:30"}, "25:00", "", true},
        {TFieldType::String, {}, "31/02/2024", "31/02/2024"},
        // Numbers as typed, when they are numbers of the field's kind.
        {TFieldType::Float, {"2.50"}, "1.5", "1.5"},
        {TFieldType::Float, {}, " -0.25 ", "-0.25"},
        {TFieldType::Float, {}, "+2", "2"},
        {TFieldType::Float, {}, ".5", ".5"},
        {TFieldType::Float, {}, "", ""},
        {TFieldType::Float, {}, "1,5", "", true},
        {TFieldType::Float, {}, "1e3", "", true},
        {TFieldType::Float, {}, "1.2.3", "", true},
        {TFieldType::Float, {}, "-", "", true},
        {TFieldType::Integer, {}, "-7", "-7"},
        {TFieldType::Integer, {}, "2147483647", "2147483647"},
        {TFieldType::Integer, {}, "-2147483648", "-2147483648"},
        {TFieldType::AutoInc, {"006"}, "007", "007"},
        {TFieldType::Integer, {}, "2147483648", "", true},
        {TFieldType::Integer, {}, "99999999999999", "", true},
        {TFieldType::Integer, {}, "1.5", "", true},
        {TFieldType::Integer, {}, "12x", "", true},
    };
    for (const InputCase& c : cases) {
        auto db = MemoryDatabase({{"F", c.type}}, OneField(c.values));
        const TCellInput input = CellInput(*db, 1, c.typed);
        EXPECT_EQ(input.Accepted, !c.refused) << c.typed;
        EXPECT_EQ(input.Stored, c.stored) << c.typed;
        EXPECT_EQ(input.Problem.empty(), !c.refused) << c.typed;
    }
}

TEST(CellInput, a_refusal_names_the_text_and_the_form_to_type)
{
    auto db = MemoryDatabase({{"Due", TFieldType::Date}, {"At", TFieldType::Time}, {"Long", TFieldType::IntDate}},
                             {{"05/12/06", "9:30"}});
    EXPECT_EQ(CellInput(*db, 1, "31/02/2024").Problem,
              "\"31/02/2024\" is not a date. Type the day, month and year, as in 07/03/24.");
    EXPECT_EQ(CellInput(*db, 2, "9:61").Problem,
              "\"9:61\" is not a time of day. Type the hours and minutes, as in 9:30, or with seconds, as in 9:30:15.");
    db->SetFieldType(1, TFieldType::Float);
    db->SetFieldType(2, TFieldType::Integer);
    EXPECT_EQ(CellInput(*db, 1, "1,5").Problem, "\"1,5\" is not a number. Type it with a point, as in 1.5.");
    EXPECT_EQ(CellInput(*db, 1, "1e3").Problem,
              "\"1e3\" is not a number. Type digits with a point before any decimals, as in 1.5 or -20.");
    EXPECT_EQ(CellInput(*db, 2, "1.5").Problem, "\"1.5\" is not a whole number. Type digits only, as in 42 or -7.");
    EXPECT_EQ(CellInput(*db, 2, "99999999999999").Problem,
              "\"99999999999999\" is outside the range of this field. Type a whole number from -2147483648 to "
              "2147483647.");
    db->SetFieldType(1, TFieldType::Date);
    db->SetFieldType(2, TFieldType::Time);
    EXPECT_EQ(std::tuple(InputPattern(*db, 1), InputPattern(*db, 2), InputPattern(*db, 3)),
              std::tuple(std::string("dd/mm/yy"), std::string("h:mm"), std::string("dd mmm yyyy")));
}

}  // namespace
}  // namespace quorvil
