#include "file_names.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

struct ExtensionCase {
    const char* name;
    const char* ext;
    const char* withDefault;
    const char* forced;
};

void PrintTo(const ExtensionCase& c, std::ostream* os)
{
    *os << c.name << " + " << c.ext;
}

class ExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionTest, DefaultKeepsAnExtensionAndForceReplacesIt)
{
    const ExtensionCase& c = GetParam();
    EXPECT_EQ(DefaultExtension(c.name, c.ext), c.withDefault);
    EXPECT_EQ(ForceExtension(c.name, c.ext), c.forced);
}

INSTANTIATE_TEST_SUITE_P(Names, ExtensionTest,
                         ::testing::Values(ExtensionCase{"report.old", "CSV", "report.old", "report.CSV"},
                                           ExtensionCase{"/data/list", "CSV", "/data/list.CSV", "/data/list.CSV"},
                                           // A dot in a directory name is not an extension.
                                           ExtensionCase{"/my.dir/list", "DEF", "/my.dir/list.DEF", "/my.dir/list.DEF"},
                                           ExtensionCase{"a.tar.gz", "TXT", "a.tar.gz", "a.tar.TXT"},
                                           ExtensionCase{"name.", "HTM", "name.", "name.HTM"},
                                           // Only three characters of the extension are used.
                                           ExtensionCase{"page", "HTML", "page.HTM", "page.HTM"},
                                           ExtensionCase{"", "PDB", ".PDB", ".PDB"}));

TEST(SeparatorTest, AddBackslashAppendsOneSeparatorToNonEmptyPaths)
{
    EXPECT_EQ(AddBackslash("/data"), "/data/");
    EXPECT_EQ(AddBackslash("/data/"), "/data/");
    EXPECT_EQ(AddBackslash("/"), "/");
    EXPECT_EQ(AddBackslash(""), "");
}

TEST(SeparatorTest, RemoveBackslashKeepsTheRoot)
{
    EXPECT_EQ(RemoveBackslash("/data/"), "/data");
    EXPECT_EQ(RemoveBackslash("/data"), "/data");
    EXPECT_EQ(RemoveBackslash("/"), "/");
    EXPECT_EQ(RemoveBackslash(""), "");
    EXPECT_EQ(RemoveBackslash(AddBackslash("rel/dir")), "rel/dir");
}

}  // namespace
}  // namespace quorvil
