// Replacing a file that cannot be replaced, because its directory takes no
// new file or the disk fills up, fails with a message naming the file and
// leaves the original as it was, without temporary files.
#include "child_process.h"
#include "crash_fixtures.h"
#include "test_files.h"
#include "text_writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace quorvil::hardening {
namespace {

using testkit::TempDir;
using testkit::WriteBytes;

struct Replacement {
    const char* name;
    const char* fileName;
    // Replaces the file at the path (a database file for the save).
    void (*replace)(const std::string& path);
};

const std::vector<int> kAllFields = [] {
    std::vector<int> fields;
    for (int f = 1; f <= 30; ++f)
        fields.push_back(f);
    return fields;
}();

std::unique_ptr<TJFILE> SmallDatabase()
{
    return SizeableDatabase(40);
}

void PrintTo(const Replacement& c, std::ostream* out)
{
    *out << c.name;
}

const Replacement kReplacements[] = {
    {"Save", "herbs.pdb",
     [](const std::string& path) {
         auto db = Open(path);
         db->SetCell(1, 1, "replanted");
         db->SaveWithName(db->PdbHeader.Name);
     }},
    {"CSV", "herbs.CSV", [](const std::string& path) { WriteCSV(*SmallDatabase(), kAllFields, path); }},
    {"HTML", "herbs.HTM", [](const std::string& path) { WriteHTML(*SmallDatabase(), path, kAllFields); }},
    {"TXT", "herbs.TXT", [](const std::string& path) { WriteTXT(*SmallDatabase(), path, kAllFields); }},
};

class ReplacingAFile : public ::testing::TestWithParam<Replacement> {
protected:
    void SetUp() override
    {
        // The child that drops its privileges must reach the directory and
        // may write the file itself, only not create one beside it.
        ::chmod(dir_.Path().c_str(), 0755);
        folder_ = dir_.File("shelf");
        std::filesystem::create_directory(folder_);
        path_ = folder_ + "/" + GetParam().fileName;
        TMemoryStream image;
        SmallDatabase()->Save(image);
        original_ = image.Bytes();
        WriteBytes(path_, original_);
        ::chmod(path_.c_str(), 0666);
    }
    void TearDown() override { ::chmod(folder_.c_str(), 0755); }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TempDir dir_;
    std::string folder_;
    std::string path_;
    Bytes original_;
};

TEST_P(ReplacingAFile, into_a_directory_that_takes_no_new_file_fails_and_keeps_the_original)
{
    ::chmod(folder_.c_str(), 0555);
    const std::string message = RunUnprivileged([&] { GetParam().replace(path_); });
    EXPECT_EQ(message, "Cannot create file \"" + path_ + "\". Permission denied");
    EXPECT_TRUE(FileBytes(path_) == original_);
    EXPECT_EQ(Entries(), std::vector<std::string>{GetParam().fileName});
}

TEST_P(ReplacingAFile, on_a_full_disk_fails_naming_the_file_and_keeps_the_original)
{
    for (uint64_t limit : {uint64_t(0), uint64_t(100), uint64_t(20000)}) {
        const std::string message = RunWithFileSizeLimit(limit, [&] { GetParam().replace(path_); });
        EXPECT_EQ(message, "Cannot write file \"" + path_ + "\". File too large") << limit;
        EXPECT_TRUE(FileBytes(path_) == original_) << limit;
        EXPECT_EQ(Entries(), std::vector<std::string>{GetParam().fileName}) << limit;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryReplacement, ReplacingAFile, ::testing::ValuesIn(kReplacements),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quorvil::hardening
