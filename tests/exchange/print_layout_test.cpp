// A printout's pages and remembered choices: blocks move whole to the next
// page and split only when taller than one, and the choices read back from
// the settings file whatever another program or an older definition left.
#include "config_settings.h"
#include "ini_file.h"
#include "print_flow.h"
#include "print_options.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvil {
namespace {

using testkit::TempDir;

// Where each page begins, filling pages until every block is placed.
std::vector<TFlowPoint> PageStarts(const std::vector<int>& lines, const TFlowMetrics& metrics)
{
    std::vector<TFlowPoint> starts;
    TFlowPoint at;
    do {
        starts.push_back(at);
        at = FillPage(at, int(lines.size()), metrics, [&](int block) { return lines[size_t(block)]; });
    } while (at.Block < int(lines.size()) && starts.size() < 100);
    return starts;
}

TEST(PrintFlow, BlocksMoveWholeAndSplitOnlyWhenTallerThanAPage)
{
    struct Case {
        const char* what;
        std::vector<int> lines;
        TFlowMetrics metrics;
        std::vector<TFlowPoint> starts;
    };
    const Case cases[] = {
        {"all on one page", {2, 3, 4}, {10, 1, 0}, {{0, 0}}},
        {"a block that does not fit goes whole to the next page", {4, 4, 4}, {10, 1, 0}, {{0, 0}, {2, 0}}},
        {"a block taller than a page runs over pages", {25}, {10, 1, 0}, {{0, 0}, {0, 10}, {0, 20}}},
        {"a tall block starts where three lines are left", {5, 12}, {10, 1, 0}, {{0, 0}, {1, 5}}},
        {"a tall block waits when fewer lines are left", {8, 12}, {10, 1, 0}, {{0, 0}, {1, 0}, {1, 10}}},
        {"each piece takes its padding", {3, 3, 1}, {8, 1, 1}, {{0, 0}, {2, 0}}},
        {"a split piece takes its padding too", {20}, {10.5, 1, 1}, {{0, 0}, {0, 9}, {0, 18}}},
        {"a page too small for a line still takes one", {2}, {0.5, 1, 0}, {{0, 0}, {0, 1}}},
        {"no blocks: one page", {}, {10, 1, 0}, {{0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<TFlowPoint> starts = PageStarts(c.lines, c.metrics);
        ASSERT_EQ(starts.size(), c.starts.size());
        for (size_t i = 0; i < starts.size(); ++i) {
            EXPECT_EQ(starts[i].Block, c.starts[i].Block) << "page " << i + 1;
            EXPECT_EQ(starts[i].Line, c.starts[i].Line) << "page " << i + 1;
        }
    }
}

TEST(PrintOptions, ReadBackWhateverTheFileHolds)
{
    struct Case {
        const char* fields;
        const char* fontSize;
        const char* layout;
        std::vector<int> expectFields;
        int expectFont;
        TPrintLayout expectLayout;
    };
    const Case cases[] = {
        {"3,1,2", "12", "cards", {3, 1, 2}, 12, TPrintLayout::Cards},
        // Fields gone from the definition, repeated or not numbers are left out.
        {"2,9,2,0,-1", "9", "table", {2}, 9, TPrintLayout::Table},
        {"1,x,3", "x", "other", {1}, 9, TPrintLayout::Table},
        {"", "200", "cards", {}, kMaxPrintFontPoints, TPrintLayout::Cards},
        {"", "1", "", {}, kMinPrintFontPoints, TPrintLayout::Table},
    };
    const TempDir dir;
    TIniFile ini(dir.File("q.ini"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields);
        ASSERT_TRUE(ini.WriteString("Things", "PrintFields", c.fields));
        ASSERT_TRUE(ini.WriteString("Things", "PrintFontSize", c.fontSize));
        ASSERT_TRUE(ini.WriteString("Things", "PrintLayout", c.layout));
        const TPrintOptions read = ReadPrintOptions(ini, "Things", 3);
        EXPECT_EQ(read.Fields, c.expectFields);
        EXPECT_EQ(read.FontPoints, c.expectFont);
        EXPECT_EQ(read.Layout, c.expectLayout);
    }
    // What is stored reads back as it was.
    const TPrintOptions stored{TPrintLayout::Cards, true, {3, 2}, 14};
    ASSERT_TRUE(StorePrintOptions(ini, "Things", stored));
    EXPECT_EQ(ReadPrintOptions(TIniFile(dir.File("q.ini")), "Things", 3), stored);
}

}  // namespace
}  // namespace quorvil
