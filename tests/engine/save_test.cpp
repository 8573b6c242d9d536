// Saving into files: crash-safe replacement, the lock against other writers,
// and errors that reach the caller with the original file untouched.
#include "engine_helpers.h"
#include "errors.h"
#include "streams.h"
#include "test_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace quorvil {
namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testkit::ReadBytes;
using testkit::WriteBytes;

#if defined(_WIN32)
// No limit exists there: the tests that need one are left out by name.
struct FileSizeLimit {
    explicit FileSizeLimit(uint64_t) {}
};
#else
// Limits the size of files this process writes, as a full disk would; a write
// past the limit fails instead of raising SIGXFSZ.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous); }
    rlimit previous{};
};
#endif

std::string FirstCell(const std::string& path)
{
    return pdbtest::Parse(ReadBytes(path)).db.records[0].cells[0];
}

class Saving : public ::testing::Test {
protected:
    void SetUp() override { WriteBytes(path_, original_); }
    testkit::TempDir dir_;
    std::string path_ = dir_ / "garden.pdb";
    Bytes original_ = pdbtest::Build(pdbtest::SampleDatabase(3));
};

TEST_F(Saving, a_saved_database_replaces_its_whole_file_keeps_its_permissions_and_stays_open_and_locked)
{
    Bytes longer = original_;
    longer.insert(longer.end(), 10000, 0xAB);
    WriteBytes(path_, longer);
#if !defined(_WIN32)
    ::chmod(path_.c_str(), 0640);
#endif
    auto db = Open(path_);
    EXPECT_THAT([&] { Open(path_); }, ThrowsMessage<EStreamError>(HasSubstr("in use")));
    EXPECT_THROW(CreateNew(path_), EStreamError);
    db->SetCell(1, 1, "Cherry tomato");
    db->SaveWithName("Garden log 2025 and a title longer than 31");
    EXPECT_FALSE(db->Modified());
    Bytes saved = ReadBytes(path_);
    pdbtest::Parsed p = pdbtest::Parse(saved);
    EXPECT_EQ(std::tuple(p.db.title, p.db.records[0].cells[0], p.dataEnd),
              std::tuple("Garden log 2025 and a title lon", "Cherry tomato", saved.size()));
#if defined(_WIN32)
    // There the lock keeps out every writer, another program's too: the
    // save renamed over a file this process held open, which the system
    // refuses unless the stream gives its handle up for the rename.
    std::system(("\"echo x>>\"" + path_ + "\"\"").c_str());
    EXPECT_EQ(ReadBytes(path_), saved) << "another process wrote the held file";
#else
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"garden.pdb"}) << "no temporary file is left";
    EXPECT_THROW(Open(path_), EStreamError) << "the saved file is held locked";

    db->SetCell(1, 1, "Mint");
    db->SaveWithName(db->PdbHeader.Name);
    EXPECT_EQ(FirstCell(path_), "Mint") << "the new file takes a second save";
    EXPECT_THROW(Open(path_), EStreamError) << "and is held locked again";
    EXPECT_TRUE(db->Stream()->IsFileAt(path_));
    db.reset();
    EXPECT_NO_THROW(Open(path_));
}

#if defined(_WIN32)
// There a file open in another program without leave to delete it cannot be
// replaced: the save fails, and the program keeps both the file and its lock.
TEST_F(Saving, a_file_another_program_reads_is_not_replaced_and_stays_locked)
{
    auto db = Open(path_);
    db->SetCell(1, 1, "Cherry tomato");
    {
        std::ifstream reader(path_, std::ios::binary);  // shares reading and writing only
        ASSERT_TRUE(reader.is_open());
        EXPECT_THAT([&] { db->SaveWithName("Blocked"); },
                    ThrowsMessage<EStreamError>(HasSubstr("in use by another program")));
        EXPECT_EQ(ReadBytes(path_), original_);
        EXPECT_THAT([&] { Open(path_); }, ThrowsMessage<EStreamError>(HasSubstr("in use"))) << "the lock is kept";
        EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"garden.pdb"}) << "no temporary file is left";
    }
    db->SaveWithName("Free");
    EXPECT_EQ(FirstCell(path_), "Cherry tomato");
    EXPECT_THROW(Open(path_), EStreamError) << "the saved file is held locked";
}
#endif

TEST_F(Saving, create_new_leaves_an_existing_file_alone_until_the_first_save)
{
    auto db = CreateNew(path_);
    EXPECT_EQ(ReadBytes(path_), original_);
    db->SetFieldCount(1);
    db->SaveWithName("Fresh");
    pdbtest::Database saved = pdbtest::Parse(ReadBytes(path_)).db;
    EXPECT_EQ(std::tuple(saved.title, saved.fields.size(), saved.records.size()), std::tuple("Fresh", 1u, 0u));
}

TEST_F(Saving, a_save_that_runs_out_of_room_keeps_the_original_and_reports_the_error)
{
    auto db = Open(path_);
    db->SetCell(1, 1, std::string(20000, 'z'));
    for (uint64_t limit : {0, 1000, 20000}) {
        {
            FileSizeLimit full(limit);
            EXPECT_THAT([&] { db->SaveWithName("x"); }, ThrowsMessage<EStreamError>(HasSubstr("Cannot write file")))
                << limit;
        }
        EXPECT_EQ(ReadBytes(path_), original_) << limit;
        EXPECT_TRUE(db->Modified());
        EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"garden.pdb"}) << limit;
    }
    db->SaveWithName("x");
    EXPECT_EQ(FirstCell(path_), std::string(20000, 'z'));
}

}  // namespace
}  // namespace quorvil
