// A database tells how its file changed on disk since this program read or
// saved it, so that the editor never writes old contents over a newer file
// without asking; its own saves are no change.
#include "database.h"
#include "database_fixtures.h"
#include "field_types.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace quorvil {
namespace {

using namespace test;

struct OutsideCase {
    const char* name;
    std::function<void(const std::string& path, const std::string& other)> act;
    TOutsideChange change;
};

TEST(OutsideChange, tells_a_rewrite_a_replacement_and_a_removal_from_its_own_save_once_each)
{
    const OutsideCase cases[] = {
        {"own save", [](const std::string&, const std::string&) {}, TOutsideChange::None},
        {"rewritten in place",
         [](const std::string& path, const std::string&) { testkit::WriteText(path, "their bytes"); },
         TOutsideChange::Rewritten},
        // The very same bytes under a new file: only the file's identity tells.
        {"replaced by a copy of itself",
         [](const std::string& path, const std::string& other) {
             std::filesystem::copy_file(path, other, std::filesystem::copy_options::overwrite_existing);
             std::filesystem::last_write_time(other, std::filesystem::last_write_time(path));
             std::filesystem::rename(other, path);
         },
         TOutsideChange::Replaced},
        {"removed", [](const std::string& path, const std::string&) { std::filesystem::remove(path); },
         TOutsideChange::Removed},
    };
    for (const OutsideCase& c : cases) {
        testkit::TempDir dir;
        const std::string path = dir.File("a.pdb");
        {
            auto made = CreateNew<TDataBase>(path);
            FillDatabase(*made, {{"Name", TFieldType::String, {}}}, {{"ann"}});
            made->SaveWithName("A");
        }
        auto db = Open<TDataBase>(path);
        db->SetCell(1, 1, "bob");
        db->SaveWithName("A");  // this program's own change
        c.act(path, dir.File("other.pdb"));
        EXPECT_EQ(db->OutsideChange(), c.change) << c.name;
        EXPECT_EQ(db->NewOutsideChange(), c.change) << c.name;
        EXPECT_EQ(db->NewOutsideChange(), TOutsideChange::None) << c.name << ": reported once";
        EXPECT_EQ(db->OutsideChange(), c.change) << c.name << ": Save still sees it";
    }
}

}  // namespace
}  // namespace quorvil
