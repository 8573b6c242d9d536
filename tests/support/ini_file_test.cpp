#include "ini_file.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace quorvil {
namespace {

// Whatever line ends a file had, a rewritten file ends every line in CR LF,
// and keeps its comments, its BOM and the values it held.
TEST(IniFileTest, a_rewritten_file_ends_every_line_in_cr_lf)
{
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[S]\r\nK=v\r\n"},
        {"[A]\nX=1\n", "[A]\r\nX=1\r\n\r\n\r\n[S]\r\nK=v\r\n"},
        {"[A]\rX=1\r", "[A]\r\nX=1\r\n\r\n\r\n[S]\r\nK=v\r\n"},
        {"[S]\r\nK=old\nJ=2\rI=3\r\n", "[S]\r\nK=v\r\nJ=2\r\nI=3\r\n"},
        {"\xEF\xBB\xBF; head\n[S]\nK=old\n; tail\r", "\xEF\xBB\xBF; head\r\n\r\n\r\n[S]\r\nK=v\r\n; tail\r\n"},
        {"; only a comment\n\n; and another\r", "; only a comment\r\n\r\n; and another\r\n\r\n[S]\r\nK=v\r\n"},
    };
    for (const auto& c : cases) {
        testkit::TempDir dir;
        const std::string path = dir / "x.INI";
        testkit::WriteText(path, c.before);
        ASSERT_TRUE(TIniFile(path).WriteString("S", "K", "v")) << c.before;
        EXPECT_EQ(testkit::ReadText(path), c.after) << c.before;
    }
}

}  // namespace
}  // namespace quorvil
