// Saving into files: crash-safe replacement, the lock against other writers,
// and errors that reach the caller with the original file untouched.
#include "engine_helpers.h"
#include "errors.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace quorvil {
namespace {

namespace fs = std::filesystem;
using testkit::ReadBytes;
using testkit::WriteBytes;

// A memory stream that cannot grow beyond `limit` bytes, like a full disk.
class FailingStream : public TMemoryStream {
public:
    explicit FailingStream(size_t limit) : limit_(limit) {}
    void Write(const void* buffer, size_t count) override
    {
        if (Position() + count > limit_)
            throw EStreamError("Cannot write file \"test\". No space left on device");
        TMemoryStream::Write(buffer, count);
    }

private:
    size_t limit_;
};

// Limits the size of files this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    void (*handler_)(int);
    rlimit previous_{};
};

std::string Message(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no exception)";
}

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

TEST_F(Saving, a_saved_database_replaces_its_whole_file_keeps_its_permissions_and_stays_open)
{
    Bytes longer = original_;
    longer.insert(longer.end(), 10000, 0xAB);
    WriteBytes(path_, longer);
    ::chmod(path_.c_str(), 0640);
    auto db = Open(path_);
    db->SetCell(1, 1, "Cherry tomato");
    db->SaveWithName("Garden log 2025 and a title longer than 31");
    EXPECT_FALSE(db->Modified);
    Bytes saved = ReadBytes(path_);
    pdbtest::Parsed p = pdbtest::Parse(saved);
    EXPECT_EQ(p.db.title, "Garden log 2025 and a title lon");
    EXPECT_EQ(p.db.records[0].cells[0], "Cherry tomato");
    EXPECT_EQ(saved.size(), p.dataEnd);
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_NE(db->Stream(), nullptr);
    EXPECT_EQ(db->Stream()->FileName(), path_);
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"garden.pdb"}) << "no temporary file is left";

    db->SetCell(1, 1, "Mint");
    db->SaveWithName(db->PdbHeader.Name);
    EXPECT_EQ(FirstCell(path_), "Mint") << "the new file takes a second save";
}

TEST_F(Saving, an_open_file_is_locked_against_a_second_open_until_closed)
{
    auto db = Open(path_);
    std::string message = Message([&] { Open(path_); });
    EXPECT_NE(message.find("in use"), std::string::npos) << message;
    EXPECT_THROW(CreateNew(path_), EStreamError);
    db->SaveWithName("x");
    EXPECT_THROW(Open(path_), EStreamError) << "the saved file is held locked";
    db.reset();
    EXPECT_NO_THROW(Open(path_));
}

TEST_F(Saving, create_new_leaves_an_existing_file_alone_until_the_first_save)
{
    auto db = CreateNew(path_);
    EXPECT_EQ(ReadBytes(path_), original_);
    db->SetFieldCount(1);
    db->SaveWithName("Fresh");
    pdbtest::Database saved = pdbtest::Parse(ReadBytes(path_)).db;
    EXPECT_EQ(saved.title, "Fresh");
    EXPECT_EQ(saved.fields.size(), 1u);
    EXPECT_TRUE(saved.records.empty());
}

TEST_F(Saving, a_save_into_a_directory_that_cannot_be_written_keeps_the_original)
{
    fs::create_directory(dir_ / "sub");
    WriteBytes(dir_ / "sub/garden.pdb", original_);
    auto db = Open(dir_ / "sub/garden.pdb");
    db->SetCell(1, 1, "changed");
    // A regular file takes the directory's name: nothing can be created in it, even by root.
    fs::rename(dir_ / "sub", dir_ / "moved");
    WriteBytes(dir_ / "sub", {});
    EXPECT_THROW(db->SaveWithName("x"), EStreamError);
    EXPECT_TRUE(db->Modified);
    EXPECT_EQ(ReadBytes(dir_ / "moved/garden.pdb"), original_);
    fs::remove(dir_ / "sub");
    fs::rename(dir_ / "moved", dir_ / "sub");
    db->SaveWithName("x");
    EXPECT_EQ(FirstCell(dir_ / "sub/garden.pdb"), "changed");
}

TEST_F(Saving, a_save_that_runs_out_of_room_keeps_the_original_and_reports_the_error)
{
    auto db = Open(path_);
    db->SetCell(1, 1, std::string(20000, 'z'));
    for (rlim_t limit : {rlim_t(0), rlim_t(60), rlim_t(1000), rlim_t(2500), rlim_t(20000)}) {
        std::string message;
        {
            FileSizeLimit full(limit);
            message = Message([&] { db->SaveWithName("x"); });
        }
        EXPECT_NE(message.find("Cannot write file"), std::string::npos) << limit << ": " << message;
        EXPECT_EQ(ReadBytes(path_), original_) << limit;
        EXPECT_TRUE(db->Modified);
        EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"garden.pdb"}) << limit;
    }
    db->SaveWithName("x");
    EXPECT_EQ(FirstCell(path_), std::string(20000, 'z'));
}

TEST(SavingStreams, an_error_of_the_stream_reaches_the_caller_and_modified_stays_set)
{
    auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    const size_t full = SaveImage(*db).size() + 1;
    for (size_t limit : {size_t(0), size_t(77), size_t(1800), full - 1}) {
        db->SetCell(1, 1, limit % 2 ? "Tomato!" : "Tomato?");
        FailingStream stream(limit);
        EXPECT_THROW(db->Save(stream), EStreamError) << limit;
        EXPECT_TRUE(db->Modified) << limit;
    }
    FailingStream roomy(full);
    db->Save(roomy);
    EXPECT_FALSE(db->Modified);
}

TEST(Opening, files_that_cannot_be_opened_raise_stream_errors_with_their_name)
{
    testkit::TempDir dir;
    std::string missing = Message([&] { Open(dir / "missing.pdb"); });
    EXPECT_NE(missing.find("Cannot open file \"" + dir / "missing.pdb" + "\""), std::string::npos) << missing;
    EXPECT_THROW(Open(dir.Path()), EStreamError);
    WriteBytes(dir / "file", {1});
    EXPECT_THROW(CreateNew(dir / "file/inside.pdb"), EStreamError);
}

}  // namespace
}  // namespace quorvil
