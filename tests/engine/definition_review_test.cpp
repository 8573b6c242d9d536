// What a changed definition does to the values: what each type reads, what
// is said before writing, and what is refused.
#include "definition_review.h"
#include "engine_helpers.h"
#include "field_types.h"

#include <gtest/gtest.h>

#include <functional>

namespace quorvil {
namespace {

TEST(DefinitionReview, each_type_reads_its_own_kind_of_value)
{
    const struct {
        TFieldType Type;
        const char* Value;
        bool Readable;
    } cases[] = {
        {TFieldType::Integer, "-12", true},
        {TFieldType::Integer, " +42 ", true},
        {TFieldType::Integer, "2147483647", true},
        {TFieldType::Integer, "2147483648", false},
        {TFieldType::Integer, "9.25", false},
        {TFieldType::Integer, "1e3", false},
        {TFieldType::Integer, "Red Sox", false},
        {TFieldType::Integer, "-", false},
        {TFieldType::AutoInc, "7x", false},
        {TFieldType::Float, "9.25", true},
        {TFieldType::Float, "-.5", true},
        {TFieldType::Float, "12", true},
        {TFieldType::Float, "9,25", false},
        {TFieldType::Float, "1e3", false},
        {TFieldType::Date, "7 Mar 24", true},
        {TFieldType::Date, "07/03/2024", true},
        {TFieldType::Date, "31/02/2024", false},
        {TFieldType::ModDate, "soon", false},
        {TFieldType::IntDate, "07 Mar 2024", true},
        {TFieldType::IntDate, "07/03/2024", false},
        {TFieldType::Time, "9:30", true},
        {TFieldType::Time, "25:00", false},
        {TFieldType::AutoTime, "noon", false},
        {TFieldType::Boolean, "1", true},
        {TFieldType::Boolean, "0", true},
        {TFieldType::Boolean, "TRUE", false},
        {TFieldType::Boolean, "yes", false},
        {TFieldType::Integer, "", true},
        {TFieldType::String, "anything", true},
        {TFieldType::List, "Mauve", true},
        {TFieldType::New, "x", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadableAs(c.Type, c.Value), c.Readable) << TypeName(c.Type) << " " << c.Value;
}

// Team holds words and a number, Price a decimal, Hue a List of Blue and
// Red whose records hold Blue and Green (Green missing since it opened),
// Done is text that would be Boolean.
std::unique_ptr<TJFILE> Teams()
{
    return MemoryDatabase(
        {{"Team"}, {"Price", TFieldType::Float}, {"Hue", TFieldType::List, {"Blue", "Red"}}, {"Done"}},
        {{"Red Sox", "9.25", "Blue", "1"}, {"12", "3", "Green", "yes"}, {"Cubs", "", "", "0"}, {"", "", "Blue", ""}});
}

TEST(DefinitionReview, says_what_a_change_does_to_the_values_and_refuses_what_cannot_be_written)
{
    using Change = std::function<void(std::vector<TFieldDefinition>&)>;
    const struct {
        const char* Name;
        Change Edit;
        std::vector<std::string> Notes;
        std::string Refusal = "";
        int Field = 0;
    } cases[] = {
        {"nothing changed", [](auto&) {}, {}, ""},
        {"words to Integer",
         [](auto& d) { d[0].Type = TFieldType::Integer; },
         {"2 values of Team are not whole numbers; they stay as they are and sort first."}},
        {"a decimal to Integer, renamed",
         [](auto& d) {
             d[1] = {"Cost", TFieldType::Integer, {}};
         },
         {"1 value of Cost is not a whole number; it stays as it is."}},
        {"text to Boolean",
         [](auto& d) { d[3].Type = TFieldType::Boolean; },
         {"1 value of Done is neither TRUE nor FALSE; it stays as it is."}},
        {"text to a List whose list lacks two values",
         [](auto& d) {
             d[0] = {"Team", TFieldType::List, {"Cubs", ""}};
         },
         {"2 values of Team (Red Sox, 12) are not in its popup list; they are added at its end."}},
        {"an item taken out of a list that a record holds",
         [](auto& d) { d[2].Popup = {"Red"}; },
         {"1 value of Hue (Blue) is not in its popup list; it is added at its end."}},
        {"a List field no more, and a Float an Integer",
         [](auto& d) {
             d[2].Type = TFieldType::String;
             d[1].Type = TFieldType::Integer;
         },
         {"1 value of Price is not a whole number; it stays as it is.",
          "The popup list of Hue (Blue, Red) is dropped: only a List field keeps one."}},
        {"a name twice",
         [](auto& d) { d[3].Name = "Team"; },
         {},
         "Fields 1 and 4 are both named \"Team\". Give each field a name of its own.",
         4},
        {"names alike but for case, and a retype",
         [](auto& d) {
             d[0].Type = TFieldType::Integer;
             d[2].Name = "TEAM";
         },
         {},
         "Fields 1 and 3 are named \"Team\" and \"TEAM\", which count as one name. Give each field a name of its own.",
         3},
        {"names alike in their first 20 characters",
         [](auto& d) {
             d[1].Name = "Price of one item in EUR";
             d[3].Name = "price of one item in USD";
         },
         {},
         "Fields 2 and 4 are named \"Price of one item in\" and \"price of one item in\", which count as one name. "
         "Give each field a name of its own.",
         4},
        {"empty names are no names", [](auto& d) { d[0].Name = d[1].Name = ""; }, {}, ""},
        {"a list longer than a list holds",
         [](auto& d) { d[2].Popup.resize(60, "x"); },
         {},
         "The popup list of Hue holds 60 items; a list holds at most 50. Remove 10 of them.",
         3},
        {"more values than a list takes",
         [](auto& d) {
             d[0] = {"Team", TFieldType::List, std::vector<std::string>(49, "x")};
         },
         {},
         "The popup list of Team would need 52 items to hold every value of the field; a list holds at most 50. Keep "
         "Team a STRING field.",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto db = Teams();
        std::vector<TFieldDefinition> fields = ReadDefinition(*db);
        c.Edit(fields);
        const TDefinitionReview review = ReviewDefinition(*db, fields);
        EXPECT_EQ(review.Notes, c.Notes);
        EXPECT_EQ(review.Refusal, c.Refusal);
        EXPECT_EQ(review.Field, c.Field);
    }
}

TEST(DefinitionReview, the_values_a_list_lacks_are_written_with_it_and_a_list_dropped_stays_dropped)
{
    auto db = Teams();
    std::vector<TFieldDefinition> fields = ReadDefinition(*db);
    fields[0] = {"Team", TFieldType::List, {"Cubs"}};
    fields[2].Type = TFieldType::String;
    WriteDefinition(*db, ReviewDefinition(*db, fields).Fields);
    auto saved = LoadImage(SaveImage(*db));
    EXPECT_EQ(ReadDefinition(*saved)[0].Popup, (std::vector<std::string>{"Cubs", "Red Sox", "12"}));
    // A field that kept its list would be made a List field again by the save.
    EXPECT_EQ(db->GetFieldType(3), TFieldType::String);
    EXPECT_EQ(saved->PopupCount(3), 0);
    EXPECT_EQ(Column(*saved, 1), (std::vector<std::string>{"Red Sox", "12", "Cubs", ""}));
}

}  // namespace
}  // namespace quorvil
