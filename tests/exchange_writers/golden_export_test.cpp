// The exports of the edge-case database and of the bundled samples against
// hand-written expected files.
#include "text_writers.h"
#include "writer_fixtures.h"

#include <gtest/gtest.h>

namespace quorvil::test {
namespace {

class GoldenExport : public testing::TestWithParam<const char*> {
protected:
    std::unique_ptr<TJFILE> Database()
    {
        std::string name = GetParam();
        return name == "edge" ? MakeEdgeDatabase() : OpenSample(name, dir_);
    }
    std::string Out(const std::string& extension) const { return dir_ / ("out." + extension); }
    std::string Golden(const std::string& extension) const { return GoldenPath(GetParam() + ("." + extension)); }

    TempDir dir_;
};

TEST_P(GoldenExport, CsvMatchesByteForByte)
{
    auto db = Database();
    WriteCSV(*db, AllFields(*db), dir_ / "out");
    EXPECT_EQ(ReadBytes(Out("CSV")), ReadBytes(Golden("CSV")));
}

TEST_P(GoldenExport, SettingsFileHoldsTheKeysInOrder)
{
    auto db = Database();
    WriteCSV(*db, AllFields(*db), dir_ / "out");
    IniKeys expected = SectionKeys(ReadBytes(Golden("DEF")), "JFilePro");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(SectionKeys(ReadBytes(Out("DEF")), "JFilePro"), expected);
}

TEST_P(GoldenExport, HtmlMatchesByteForByte)
{
    auto db = Database();
    WriteHTML(*db, dir_ / "out", AllFields(*db));
    EXPECT_EQ(ReadBytes(Out("HTM")), ReadBytes(Golden("HTM")));
}

TEST_P(GoldenExport, TextTableMatchesByteForByte)
{
    auto db = Database();
    WriteTXT(*db, dir_ / "out", AllFields(*db));
    EXPECT_EQ(ReadBytes(Out("TXT")), ReadBytes(Golden("TXT")));
}

INSTANTIATE_TEST_SUITE_P(Databases, GoldenExport, testing::Values("edge", "inventory", "address_book", "projects"),
                         [](const testing::TestParamInfo<const char*>& p) { return std::string(p.param); });

}  // namespace
}  // namespace quorvil::test
