// Replacing a file, by a save or an export: killed at any byte or system
// call it leaves the complete old file or the complete new one and its lock
// free; where it cannot write it fails naming the file and keeps the original;
// either way no temporary file stays behind.
#include "child_process.h"
#include "crash_fixtures.h"
#include "errors.h"
#include "export.h"
#include "streams.h"
#include "test_files.h"
#include "text_writers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace quorvil::hardening {
namespace {

using testkit::TempDir;
using testkit::WriteBytes;

struct Replacement {
    const char* name;
    const char* fileName;
    void (*image)(TJFILE&, TStream&);            // the bytes the file gets
    void (*write)(TJFILE&, const std::string&);  // into the file at the path
};

void PrintTo(const Replacement& c, std::ostream* out)
{
    *out << c.name;
}

const Replacement kReplacements[] = {
    {"Save", "herbs.pdb", [](TJFILE& db, TStream& out) { db.Save(out); },
     [](TJFILE& db, const std::string& path) {
         // The database holds the file open and locked while it saves into it.
         db.AttachStream(std::make_unique<TFileStream>(path, TFileStream::Mode::OpenExisting));
         db.SaveWithName(db.PdbHeader.Name);
     }},
    {"CSV", "herbs.CSV", [](TJFILE& db, TStream& out) { WriteCSVTo(db, AllFields(db), out); },
     [](TJFILE& db, const std::string& path) { WriteCSV(db, AllFields(db), path); }},
    {"HTML", "herbs.HTM", [](TJFILE& db, TStream& out) { WriteHTMLTo(db, AllFields(db), out); },
     [](TJFILE& db, const std::string& path) { WriteHTML(db, path, AllFields(db)); }},
    {"TXT", "herbs.TXT", [](TJFILE& db, TStream& out) { WriteTXTTo(db, AllFields(db), out); },
     [](TJFILE& db, const std::string& path) { WriteTXT(db, path, AllFields(db)); }},
};

Bytes Image(const Replacement& r, TJFILE& db)
{
    TMemoryStream stream;
    r.image(db, stream);
    return stream.Bytes();
}

class KilledReplacement : public ::testing::TestWithParam<Replacement> {
protected:
    void SetUp() override
    {
        path_ = dir_.File(GetParam().fileName);
        edited_ = SizeableDatabase(1500);
        oldImage_ = Image(GetParam(), *edited_);
        EditDatabase(*edited_);
        newImage_ = Image(GetParam(), *edited_);
        RestoreOldFile();
    }
    void RestoreOldFile()
    {
        RemoveTemporariesOf(path_);
        WriteBytes(path_, oldImage_);
    }
    void Replace() { GetParam().write(*edited_, path_); }
    std::string OnDisk() const { return WhichImageOnDisk(path_, oldImage_, newImage_); }

    std::unique_ptr<TJFILE> edited_;
    TempDir dir_;
    std::string path_;
    Bytes oldImage_, newImage_;
};

TEST_P(KilledReplacement, a_kill_at_any_byte_leaves_the_old_file_and_the_temporary_cut_there)
{
    const uint64_t size = newImage_.size();
    ASSERT_GT(size, 1'000'000u);
    for (int i = 0; i <= 40; ++i) {
        const uint64_t limit = i == 40 ? size - 1 : size * uint64_t(i) / 40;
        ChildEnd end = RunKilledAtFileSize(limit, [&] { Replace(); });
        ASSERT_TRUE(end.killed) << "at byte " << limit << " the child exited with " << end.exitCode;
        ASSERT_EQ(OnDisk(), "old") << "killed at byte " << limit;
        EXPECT_TRUE(LockIsFree(path_)) << limit;
        std::vector<std::string> temps = TemporariesOf(path_);
        ASSERT_EQ(temps.size(), 1u) << limit;
        EXPECT_EQ(std::filesystem::file_size(temps[0]), limit);
        RemoveTemporariesOf(path_);
    }
    ASSERT_EQ(RunKilledAtFileSize(size, [&] { Replace(); }).exitCode, 0);
    EXPECT_EQ(OnDisk(), "new");
    EXPECT_TRUE(TemporariesOf(path_).empty());
}

TEST_P(KilledReplacement, a_kill_at_any_system_call_leaves_the_old_file_until_the_rename_and_the_new_one_after)
{
    std::set<std::string> seen;
    const int stops = KillAtEverySystemCall([&] { Replace(); }, [&] { RestoreOldFile(); },
                                            [&](int stop, const ChildEnd& end) {
                                                ASSERT_TRUE(end.killed) << "stop " << stop << ": exit " << end.exitCode;
                                                ASSERT_EQ(OnDisk(), end.renamed ? "new" : "old")
                                                    << "killed at stop " << stop;
                                                EXPECT_TRUE(LockIsFree(path_)) << stop;
                                                EXPECT_LE(TemporariesOf(path_).size(), end.renamed ? 0u : 1u) << stop;
                                                seen.insert(OnDisk());
                                            });
    if (stops == 0)
        GTEST_SKIP() << "this system does not let a process trace its child";
    EXPECT_GT(stops, 10);
    EXPECT_EQ(seen, (std::set<std::string>{"new", "old"})) << "kills fall on both sides of the rename";
}

INSTANTIATE_TEST_SUITE_P(Each, KilledReplacement, ::testing::ValuesIn(kReplacements),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(KilledSave, the_next_save_removes_temporary_files_of_killed_saves_but_no_other_file)
{
    TempDir dir;
    const std::string path = dir.File("herbs.pdb");
    WriteBytes(path, Image(kReplacements[0], *SizeableDatabase(40)));
    auto db = Open(path);
#if defined(_WIN32)
    // No child to kill there: the files such saves leave are written instead.
    for (const char* name : {".herbs.pdb.a1B2c3", ".herbs.pdb.Zz9900", ".herbs.pdb.q0q0q0"})
        WriteBytes(dir.File(name), {0});
#else
    for (uint64_t limit : {0, 5000, 20000})
        ASSERT_TRUE(RunKilledAtFileSize(limit, [&] { db->SaveWithName("Killed"); }).killed);
#endif
    ASSERT_EQ(TemporariesOf(path).size(), 3u);
    // A save in progress elsewhere holds its temporary file locked.
    auto busy = std::make_unique<TFileStream>(dir.File(".herbs.pdb.InUse1"), TFileStream::Mode::CreateOrOpen);
    WriteBytes(dir.File(".herbs.pdb.notes"), {1});
    WriteBytes(dir.File(".other.pdb.Ab12Cd"), {2});

    db->SetCell(2, 2, "cut back");
    db->SaveWithName(db->PdbHeader.Name);
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{".herbs.pdb.InUse1", ".herbs.pdb.notes", ".other.pdb.Ab12Cd", "herbs.pdb"}));
    EXPECT_EQ(db->GetCell(2, 2), "cut back");
    busy.reset();
    EXPECT_EQ(dir.Entries().front(), ".herbs.pdb.InUse1") << "not removed once its save ends either";
}

class FailingReplacement : public ::testing::TestWithParam<Replacement> {
protected:
    void SetUp() override
    {
        // The unprivileged child must reach the directory and may write the
        // file itself, only not create one beside it.
        ::chmod(dir_.Path().c_str(), 0755);
        folder_ = dir_.File("shelf");
        std::filesystem::create_directory(folder_);
        path_ = folder_ + "/" + GetParam().fileName;
        original_ = Image(kReplacements[0], *SizeableDatabase(40));
        WriteBytes(path_, original_);
        ::chmod(path_.c_str(), 0666);
    }
    void TearDown() override { ::chmod(folder_.c_str(), 0755); }
    void Replace()
    {
        auto db = SizeableDatabase(40);
        db->SetCell(1, 1, "replanted");
        GetParam().write(*db, path_);
    }
    void ExpectOriginalAlone(const std::string& context)
    {
        EXPECT_TRUE(testkit::ReadBytes(path_) == original_) << context;
        EXPECT_EQ(TemporariesOf(path_), std::vector<std::string>{}) << context;
    }

    TempDir dir_;
    std::string folder_, path_;
    Bytes original_;
};

TEST_P(FailingReplacement, into_a_directory_that_takes_no_new_file_or_on_a_full_disk)
{
    ::chmod(folder_.c_str(), 0555);
    // A database opened there is read-only from the start; the writers find out when they try.
    const bool opened = std::string(GetParam().name) == "Save";
    EXPECT_EQ(RunUnprivileged([&] { Replace(); }),
              opened ? ReadOnlyFileMessage(path_) : "Cannot create file \"" + path_ + "\". Permission denied");
    ExpectOriginalAlone("read-only directory");
    ::chmod(folder_.c_str(), 0755);
    for (uint64_t limit : {0, 100, 20000}) {
        EXPECT_EQ(RunWithFileSizeLimit(limit, [&] { Replace(); }),
                  "Cannot write file \"" + path_ + "\". File too large")
            << limit;
        ExpectOriginalAlone("limit " + std::to_string(limit));
    }
}

INSTANTIATE_TEST_SUITE_P(Each, FailingReplacement, ::testing::ValuesIn(kReplacements),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quorvil::hardening
