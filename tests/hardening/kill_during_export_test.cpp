// An export killed at any point leaves the complete earlier export or the
// complete new one in place of the file it replaces.
#include "child_process.h"
#include "crash_fixtures.h"
#include "streams.h"
#include "test_files.h"
#include "text_writers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvil::hardening {
namespace {

using testkit::TempDir;
using testkit::WriteBytes;

struct ExportCase {
    const char* name;
    const char* fileName;
    void (*write)(TJFILE&, const std::vector<int>&, const std::string&);
    void (*body)(const TJFILE&, const std::vector<int>&, TStream&);
};

void PrintTo(const ExportCase& c, std::ostream* out)
{
    *out << c.name;
}

const ExportCase kExports[] = {
    {"CSV", "herbs.CSV", [](TJFILE& db, const std::vector<int>& f, const std::string& n) { WriteCSV(db, f, n); },
     WriteCSVTo},
    {"HTML", "herbs.HTM", [](TJFILE& db, const std::vector<int>& f, const std::string& n) { WriteHTML(db, n, f); },
     WriteHTMLTo},
    {"TXT", "herbs.TXT", [](TJFILE& db, const std::vector<int>& f, const std::string& n) { WriteTXT(db, n, f); },
     WriteTXTTo},
};

class KilledExport : public ::testing::TestWithParam<ExportCase> {
protected:
    static void SetUpTestSuite()
    {
        db_ = SizeableDatabase(1500).release();
        for (int f = 1; f <= db_->FieldCount(); ++f)
            fields_.push_back(f);
    }
    static void TearDownTestSuite() { delete db_; }

    void SetUp() override
    {
        path_ = dir_.File(GetParam().fileName);
        TMemoryStream body;
        GetParam().body(*db_, fields_, body);
        newImage_ = body.Bytes();
        RestoreEarlierExport();
    }
    void RestoreEarlierExport()
    {
        RemoveTemporariesOf(path_);
        WriteBytes(path_, earlier_);
    }
    void Export() { GetParam().write(*db_, fields_, path_); }
    std::string OnDisk() const { return WhichImageOnDisk(path_, earlier_, newImage_); }

    static TJFILE* db_;
    static std::vector<int> fields_;
    TempDir dir_;
    std::string path_;
    const Bytes earlier_{'a', 'n', ' ', 'e', 'a', 'r', 'l', 'i', 'e', 'r', ' ', 'e', 'x', 'p', 'o', 'r', 't', '\r', '\n'};
    Bytes newImage_;
};

TJFILE* KilledExport::db_ = nullptr;
std::vector<int> KilledExport::fields_;

TEST_P(KilledExport, a_kill_at_any_byte_or_system_call_leaves_the_earlier_export_or_the_new_one)
{
    ASSERT_GT(newImage_.size(), 1'000'000u);
    for (int i = 0; i < 40; ++i) {
        const uint64_t limit = newImage_.size() * uint64_t(i) / 40;
        ASSERT_TRUE(RunKilledAtFileSize(limit, [&] { Export(); }).killed) << limit;
        ASSERT_EQ(OnDisk(), "old") << "killed at byte " << limit;
        RemoveTemporariesOf(path_);
    }
    bool renamed = false;
    const int stops = KillAtEverySystemCall([&] { Export(); }, [&] { RestoreEarlierExport(); }, [&](int stop, const ChildEnd& end) {
        ASSERT_TRUE(end.killed) << stop;
        ASSERT_EQ(OnDisk(), end.renamed ? "new" : "old") << "killed at stop " << stop;
        renamed = renamed || end.renamed;
    });
    if (stops == 0)
        GTEST_SKIP() << "this system does not let a process trace its child";
    EXPECT_GT(stops, 10);
    EXPECT_TRUE(renamed) << "the kill after the end finds the new export";
}

INSTANTIATE_TEST_SUITE_P(Formats, KilledExport, ::testing::ValuesIn(kExports),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quorvil::hardening
