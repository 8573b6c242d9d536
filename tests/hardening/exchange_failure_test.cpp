// Copy into a file and split write through the same replacement as a save:
// on a full disk they fail naming the file and leave the old file as it was.
#include "child_process.h"
#include "copy_records.h"
#include "crash_fixtures.h"
#include "field_types.h"
#include "save_as.h"
#include "split.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil::hardening {
namespace {

TEST(ExchangeOnAFullDisk, fails_naming_the_file_and_keeps_the_target)
{
    testkit::TempDir dir;
    auto source = SizeableDatabase(200);
    source->SetFieldName(1, "Bed");
    source->SetFieldType(1, kTypeList);
    source->SetPopupItem(1, 1, "East");
    for (int r = 1; r <= source->RecordCount(); ++r)
        source->SetCell(r, 1, "East");
    const std::string target = dir.File("target.pdb");
    const std::string splitTarget = dir.File("Part.PDB");
    WriteInLayout(*SizeableDatabase(50), 3, target);
    WriteInLayout(*SizeableDatabase(50), 3, splitTarget);
    const Bytes original = testkit::ReadBytes(target);

    const struct {
        const char* name;
        std::string file;
        std::function<void()> work;
    } cases[] = {
        {"copy", target,
         [&] {
             std::vector<int> all;
             for (int r = 1; r <= source->RecordCount(); ++r)
                 all.push_back(r);
             CopyRecordsToFile(*source, all, target);
         }},
        {"split", splitTarget,
         [&] {
             TSplitChoice choice{1, {{"East", true, "Part"}}, dir.Path(), {}, {}};
             Split(*source, choice);
         }},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunWithFileSizeLimit(20000, c.work), "Cannot write file \"" + c.file + "\". File too large")
            << c.name;
        EXPECT_TRUE(testkit::ReadBytes(c.file) == original) << c.name;
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Part.PDB", "target.pdb"})) << c.name;
    }
}

}  // namespace
}  // namespace quorvil::hardening
