// The table of layout facts against the file format: what the independent
// format helpers know of each layout, and what the engine writes in it.
#include "engine_helpers.h"
#include "field_types.h"
#include "layout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace quorvil {
namespace {

TEST(LayoutFacts, each_layout_has_the_facts_of_its_files)
{
    for (TLayout layout : kAllLayouts) {
        const TLayoutFacts& facts = Facts(layout);
        const int number = Number(layout);
        pdbtest::Database d;
        d.layout = number;
        d.fields = {pdbtest::Field{"A"}};
        d.defaults = {{1, "Seed"}};
        d.records = {pdbtest::Record{{"ab"}}};
        const Bytes built = pdbtest::Build(d);
        const pdbtest::Parsed p = pdbtest::Parse(built, 0, layout == TLayout::JFile5);
        const std::string afterChunks(p.afterChunks.begin(), p.afterChunks.end());
        const size_t maxFields = pdbtest::OffsetsOf(number).maxFields;
        EXPECT_EQ(
            std::tuple(p.db.creator, p.db.dbType, p.db.layoutTag.value_or(0), maxFields),
            std::tuple(std::string(facts.Creator), std::string(facts.DbType), facts.LayoutTag, size_t(facts.MaxFields)))
            << facts.Name;
        EXPECT_EQ(std::tuple(pdbtest::RecordBytes({"ab"}, number).size() > 3,
                             afterChunks.find("EndJFileData") != std::string::npos, p.db.defaults.size() == 1),
                  std::tuple(facts.LengthTable, facts.EndMark, facts.SavedSettings))
            << facts.Name;

        // The engine reads the file as the table says and writes by it.
        auto db = LoadImage(built);
        EXPECT_EQ(db->Layout(), facts.ReadsAs) << facts.Name;
        db->ConvertLayout(layout);
        db->SetCell(1, 1, std::string(40000, 'x'));
        const pdbtest::Parsed saved = pdbtest::Parse(SaveImage(*db), 0, layout == TLayout::JFile5);
        EXPECT_EQ(std::pair(saved.db.layoutTag.value_or(0), saved.db.records.at(0).cells.at(0).size()),
                  std::pair(facts.LayoutTag, facts.LongestValue))
            << facts.Name;
        auto block = MakeAppInfo(layout);
        block->SetFieldType(1, TFieldType::IntDate);
        EXPECT_EQ(std::pair(block->MaxFields(), block->GetFieldType(1) == TFieldType::IntDate),
                  std::pair(facts.MaxFields, facts.IntDates))
            << facts.Name;
        EXPECT_EQ(LayoutFromNumber(number), layout);
    }
    // 259 keeps the low byte of 3: a number cut to a byte would pass.
    for (long long number : {-1LL, 4LL, 259LL})
        EXPECT_FALSE(LayoutFromNumber(number).has_value()) << number;
}

}  // namespace
}  // namespace quorvil
