#include "file_names.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

TEST(FileNamesTest, default_keeps_an_extension_and_force_replaces_it)
{
    const struct {
        const char *name, *ext, *withDefault, *forced;
    } cases[] = {
        {"report.old", "CSV", "report.old", "report.CSV"},
        {"/my.dir/list", "DEF", "/my.dir/list.DEF", "/my.dir/list.DEF"},  // a dot in a directory
        {"a.tar.gz", "TXT", "a.tar.gz", "a.tar.TXT"},
        {"page", "HTML", "page.HTM", "page.HTM"},  // three characters of the extension
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultExtension(c.name, c.ext), c.withDefault) << c.name;
        EXPECT_EQ(ForceExtension(c.name, c.ext), c.forced) << c.name;
    }
}

TEST(FileNamesTest, separators_are_added_once_and_the_root_is_kept)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/data", "/data/", "/data"}, {"/data/", "/data/", "/data"}, {"/", "/", "/"}};
    for (const auto& [path, added, removed] : cases) {
        EXPECT_EQ(AddBackslash(path), added) << path;
        EXPECT_EQ(RemoveBackslash(path), removed) << path;
    }
}

}  // namespace
}  // namespace quorvil
