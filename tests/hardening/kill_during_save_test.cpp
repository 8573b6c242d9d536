// A save killed at any point leaves the complete old file or the complete new
// one, never a mix, and the file's lock free again. The saves run in child
// processes that are killed with SIGKILL at exact byte counts of the new file
// and at every system call of the save.
#include "child_process.h"
#include "crash_fixtures.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace quorvil::hardening {
namespace {

using testkit::TempDir;
using testkit::WriteBytes;

class KilledSave : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        edited_ = SizeableDatabase().release();
        oldImage_ = new Bytes(Image(*edited_));
        EditDatabase(*edited_);
        newImage_ = new Bytes(Image(*edited_));
    }
    static void TearDownTestSuite()
    {
        delete edited_;
        delete oldImage_;
        delete newImage_;
    }
    static Bytes Image(TJFILE& db)
    {
        TMemoryStream stream;
        db.Save(stream);
        return stream.Bytes();
    }

    void SetUp() override
    {
        path_ = dir_.File("herbs.pdb");
        RestoreOldFile();
    }
    void RestoreOldFile()
    {
        RemoveTemporariesOf(path_);
        WriteBytes(path_, *oldImage_);
    }
    // The work of a child: the edited database, holding the file open and
    // locked, saves into it.
    void Save()
    {
        edited_->AttachStream(std::make_unique<TFileStream>(path_, TFileStream::Mode::OpenExisting));
        edited_->SaveWithName(edited_->PdbHeader.Name);
    }
    std::string OnDisk() const { return WhichImageOnDisk(path_, *oldImage_, *newImage_); }

    static TJFILE* edited_;
    static Bytes* oldImage_;
    static Bytes* newImage_;
    TempDir dir_;
    std::string path_;
};

TJFILE* KilledSave::edited_ = nullptr;
Bytes* KilledSave::oldImage_ = nullptr;
Bytes* KilledSave::newImage_ = nullptr;

TEST_F(KilledSave, a_kill_at_any_byte_of_the_new_file_leaves_the_old_file_and_frees_the_lock)
{
    const uint64_t size = newImage_->size();
    ASSERT_GT(size, 2'500'000u);
    for (int i = 0; i <= 200; ++i) {
        const uint64_t limit = i == 200 ? size - 1 : size * uint64_t(i) / 200;
        ChildEnd end = RunKilledAtFileSize(limit, [&] { Save(); });
        ASSERT_TRUE(end.killed) << "at byte " << limit << " the child exited with " << end.exitCode;
        ASSERT_EQ(OnDisk(), "old") << "killed at byte " << limit;
        EXPECT_TRUE(LockIsFree(path_)) << limit;
        // What the kill leaves is the hidden temporary file, cut at the kill.
        std::vector<std::string> temps = TemporariesOf(path_);
        ASSERT_EQ(temps.size(), 1u) << limit;
        EXPECT_EQ(std::filesystem::file_size(temps[0]), limit);
        RemoveTemporariesOf(path_);
    }
    ASSERT_EQ(RunKilledAtFileSize(size, [&] { Save(); }).exitCode, 0) << "a save within the limit runs to its end";
    EXPECT_EQ(OnDisk(), "new");
    EXPECT_TRUE(TemporariesOf(path_).empty());
}

TEST_F(KilledSave, a_kill_at_any_system_call_leaves_the_old_file_until_the_rename_and_the_new_one_after)
{
    // Each run reports whether its own rename had completed, so the check
    // holds however many system calls the allocator adds to one run.
    std::set<std::string> seen;
    const int stops = KillAtEverySystemCall([&] { Save(); }, [&] { RestoreOldFile(); }, [&](int stop, const ChildEnd& end) {
        ASSERT_TRUE(end.killed) << "stop " << stop << ": exit " << end.exitCode;
        ASSERT_EQ(OnDisk(), end.renamed ? "new" : "old") << "killed at stop " << stop;
        EXPECT_TRUE(LockIsFree(path_)) << stop;
        EXPECT_LE(TemporariesOf(path_).size(), end.renamed ? 0u : 1u) << stop;
        seen.insert(OnDisk());
    });
    if (stops == 0)
        GTEST_SKIP() << "this system does not let a process trace its child";
    EXPECT_GT(stops, 10);
    EXPECT_EQ(seen, (std::set<std::string>{"new", "old"})) << "kills fall on both sides of the rename";
}

TEST_F(KilledSave, the_next_save_removes_temporary_files_of_killed_saves_but_no_other_file)
{
    for (uint64_t limit : {uint64_t(0), uint64_t(5000), uint64_t(2'000'000)})
        ASSERT_TRUE(RunKilledAtFileSize(limit, [&] { Save(); }).killed);
    ASSERT_EQ(TemporariesOf(path_).size(), 3u);
    // A save in progress elsewhere holds its temporary file locked.
    TFileStream busy(dir_.File(".herbs.pdb.InUse1"), TFileStream::Mode::CreateOrOpen);
    WriteBytes(dir_.File(".herbs.pdb.notes"), {1});
    WriteBytes(dir_.File(".other.pdb.Ab12Cd"), {2});

    auto db = Open(path_);
    db->SetCell(2, 2, "cut back");
    db->SaveWithName(db->PdbHeader.Name);
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{".herbs.pdb.InUse1", ".herbs.pdb.notes", ".other.pdb.Ab12Cd",
                                                        "herbs.pdb"}));
    EXPECT_EQ(db->GetCell(2, 2), "cut back");
}

}  // namespace
}  // namespace quorvil::hardening
