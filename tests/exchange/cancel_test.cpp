// Long work stopped by its progress watcher: every writer leaves the file it
// was replacing byte for byte as it was and no temporary file behind, and a
// split keeps the files it finished.
#include "csv_import.h"
#include "exchange_fixtures.h"
#include "export.h"
#include "field_types.h"
#include "progress.h"
#include "save_as.h"
#include "split.h"
#include "test_files.h"
#ifdef QUORVIL_XLSX_EXPORT
#include "xlsx_export.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>

namespace quorvil {
namespace {

using test::MemoryDatabase;
using testkit::TempDir;

// Ten records, so that every writer takes several steps.
std::unique_ptr<TJFILE> TenRecords()
{
    test::Rows rows;
    for (int r = 1; r <= 10; ++r)
        rows.push_back({"Name " + std::to_string(r), r % 2 ? "North" : "South"});
    return MemoryDatabase({{"Name"}, {"Region", TFieldType::List, {"North", "South"}}}, rows, "Ten");
}

// Opens the database file (without steps), changes a cell and saves it.
void SaveChanged(const std::string& path)
{
    std::unique_ptr<TJFILE> db;
    {
        TProgressWatch quiet({});
        db = Open(path);
    }
    db->SetCell(1, 1, "changed");
    db->SaveWithName("Ten");
}

struct Work {
    const char* name;
    const char* target;  // the file it replaces, in the test's directory
    std::function<void(TJFILE& db, const std::string& target)> run;
    int steps = 10;  // one a record; a workbook adds its closing's share
};

const Work kWorks[] = {
    {"save", "ten.pdb", [](TJFILE&, const std::string& t) { SaveChanged(t); }},
    {"save_as", "copy.pdb", [](TJFILE& db, const std::string& t) { WriteInLayout(db, TLayout::JFile3, t); }},
    {"csv", "ten.CSV", [](TJFILE& db, const std::string& t) { Export(db, TExportFormat::CSV, AllFields(db), t); }},
    {"html", "ten.HTM", [](TJFILE& db, const std::string& t) { Export(db, TExportFormat::HTML, AllFields(db), t); }},
    {"txt", "ten.TXT", [](TJFILE& db, const std::string& t) { Export(db, TExportFormat::TXT, AllFields(db), t); }},
#ifdef QUORVIL_XLSX_EXPORT
    {"xlsx", "ten.xlsx", [](TJFILE& db, const std::string& t) { WriteXlsx(db, AllFields(db), t); }, 21},
#endif
};

// Files this process holds open: a stopped writer closes every one of its own.
#if defined(_WIN32)
// Windows has no such list; under Wine the descriptors found there are
// Wine's own, which come and go beside the program's.
size_t OpenFiles()
{
    return 0;
}
#else
size_t OpenFiles()
{
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return size_t(std::distance(begin(fds), end(fds)));
}
#endif

void PrintTo(const Work& work, std::ostream* out)
{
    *out << work.name;
}

class Cancelled : public ::testing::TestWithParam<Work> {};

TEST_P(Cancelled, leaves_the_old_file_byte_identical_and_no_temporary_file)
{
    const Work& work = GetParam();
    TempDir dir;
    auto db = TenRecords();
    exchangetest::SaveAs(*db, dir / "ten.pdb");
    const std::string target = dir / work.target;
    if (std::string(work.target) != "ten.pdb")
        testkit::WriteText(target, "the old contents");
    const std::vector<uint8_t> before = testkit::ReadBytes(target);
    const std::vector<std::string> entries = dir.Entries();
    const size_t openFiles = OpenFiles();

    // Stopped at its third step, and at its last, when all but replacing
    // the file is done (a workbook has been compressed by then).
    for (const bool atLast : {false, true}) {
        int steps = 0;
        int stoppedAt = 0;
        {
            TProgressWatch watch([&](int done, int all) {
                stoppedAt = done;
                return ++steps < 3 || (atLast && done < all);
            });
            EXPECT_THROW(work.run(*db, target), ECancelled);
        }
        // It stopped at the step that said so.
        EXPECT_EQ(atLast ? stoppedAt : steps, atLast ? work.steps : 3);
        EXPECT_EQ(OpenFiles(), openFiles);
        EXPECT_EQ(testkit::ReadBytes(target), before);
        EXPECT_EQ(dir.Entries(), entries);
    }

    // Unstopped, the same work reports every record and replaces the file.
    int last = 0;
    int total = 0;
    {
        TProgressWatch watch([&](int done, int all) {
            last = done;
            total = all;
            return true;
        });
        work.run(*db, target);
    }
    EXPECT_EQ(last, work.steps);
    EXPECT_EQ(total, work.steps);
    EXPECT_NE(testkit::ReadBytes(target), before);
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, Cancelled, ::testing::ValuesIn(kWorks),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(CancelledWork, reading_stops_a_load_and_an_import_and_no_watcher_means_no_stop)
{
    TempDir dir;
    auto db = TenRecords();
    exchangetest::SaveAs(*db, dir / "ten.pdb");
    Export(*db, TExportFormat::CSV, AllFields(*db), dir / "ten.CSV");
    {
        TProgressWatch watch([](int, int) { return false; });
        EXPECT_THROW(Open(dir / "ten.pdb"), ECancelled);
        EXPECT_THROW(TCsvImport(dir / "ten.CSV", {}), ECancelled);
        {
            // An inner empty watcher silences the work inside it.
            TProgressWatch quiet({});
            EXPECT_EQ(Open(dir / "ten.pdb")->RecordCount(), 10);
        }
        EXPECT_THROW(Open(dir / "ten.pdb"), ECancelled);  // the outer one is back
    }
    EXPECT_EQ(Open(dir / "ten.pdb")->RecordCount(), 10);
}

TEST(CancelledWork, split_keeps_the_files_it_finished_and_writes_no_other)
{
    TempDir dir;
    auto db = TenRecords();
    exchangetest::SaveAs(*db, dir / "ten.pdb");
    TSplitChoice choice = {2, SplitValues(*db, 2, nullptr), dir.Path(), {true, true, false, false}, {}};
    std::vector<std::pair<int, int>> steps;
    // Stopped before its third file: North's .PDB and .CSV stay, South gets none.
    const std::vector<std::string> written = Split(*db, choice, [&](const std::string&, int done, int total) {
        steps.emplace_back(done, total);
        return done < 2;
    });
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 4}, {1, 4}, {2, 4}}));
    EXPECT_EQ(written, std::vector<std::string>{dir / "North.PDB"});
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"North.CSV", "North.DEF", "North.PDB", "ten.pdb"}));
}

}  // namespace
}  // namespace quorvil
