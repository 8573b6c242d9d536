// Saving into files: crash-safe replacement, the lock against other writers,
// and errors that reach the caller with the original file untouched.
#include "engine_helpers.h"
#include "errors.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace quorvil {
namespace {

using testkit::ReadBytes;
using testkit::TempDir;
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

// Limits the size of files this process writes, as a full disk would; the
// limit is lifted again on scope exit.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int);
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

class Saving : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = dir_.File("garden.pdb");
        original_ = pdbtest::Build(pdbtest::SampleDatabase(3));
        WriteBytes(path_, original_);
    }
    TempDir dir_;
    std::string path_;
    Bytes original_;
};

TEST_F(Saving, a_saved_database_reads_back_from_its_file_and_stays_open)
{
    auto db = Open(path_);
    db->SetCell(1, 1, "Cherry tomato");
    db->SaveWithName("Garden log 2025 and a title longer than 31");
    EXPECT_FALSE(db->Modified);
    pdbtest::Database saved = pdbtest::Parse(ReadBytes(path_)).db;
    EXPECT_EQ(saved.title, "Garden log 2025 and a title lon");
    EXPECT_EQ(saved.records[0].cells[0], "Cherry tomato");
    ASSERT_NE(db->Stream(), nullptr);
    EXPECT_EQ(db->Stream()->FileName(), path_);
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"garden.pdb"}) << "no temporary file is left";

    db->SetCell(2, 1, "Mint");
    db->SaveWithName(db->PdbHeader.Name);
    EXPECT_EQ(pdbtest::Parse(ReadBytes(path_)).db.records[1].cells[0], "Mint") << "the new file takes a second save";
}

TEST_F(Saving, a_file_longer_than_the_database_is_replaced_completely)
{
    Bytes longer = original_;
    longer.insert(longer.end(), 10000, 0xAB);
    WriteBytes(path_, longer);
    auto db = Open(path_);
    db->SaveWithName(db->PdbHeader.Name);
    Bytes saved = ReadBytes(path_);
    EXPECT_EQ(saved.size(), pdbtest::Parse(saved).dataEnd);
}

TEST_F(Saving, the_file_keeps_its_permissions)
{
    ::chmod(path_.c_str(), 0640);
    Open(path_)->SaveWithName("x");
    struct stat st {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(Saving, a_second_open_of_an_open_file_fails_as_in_use)
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
    std::filesystem::create_directory(dir_.File("sub"));
    const std::string inner = dir_.File("sub/garden.pdb");
    WriteBytes(inner, original_);
    auto db = Open(inner);
    db->SetCell(1, 1, "changed");
    // The directory goes away and a regular file takes its name: nothing can
    // be created "in" it any more, even by root.
    std::filesystem::rename(dir_.File("sub"), dir_.File("moved"));
    WriteBytes(dir_.File("sub"), {});
    EXPECT_THROW(db->SaveWithName("x"), EStreamError);
    EXPECT_TRUE(db->Modified);
    EXPECT_EQ(ReadBytes(dir_.File("moved/garden.pdb")), original_);
    EXPECT_EQ(db->GetCell(1, 1), "changed");

    std::filesystem::remove(dir_.File("sub"));
    std::filesystem::rename(dir_.File("moved"), dir_.File("sub"));
    db->SaveWithName("x");
    EXPECT_EQ(pdbtest::Parse(ReadBytes(inner)).db.records[0].cells[0], "changed");
}

TEST_F(Saving, a_save_that_runs_out_of_room_keeps_the_original_and_reports_the_error)
{
    auto db = Open(path_);
    db->SetCell(1, 1, std::string(20000, 'z'));
    for (rlim_t limit : {rlim_t(0), rlim_t(60), rlim_t(100), rlim_t(1000), rlim_t(2500), rlim_t(20000)}) {
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
    EXPECT_EQ(pdbtest::Parse(ReadBytes(path_)).db.records[0].cells[0], std::string(20000, 'z'));
}

TEST(SavingStreams, an_error_of_the_stream_reaches_the_caller_and_modified_stays_set)
{
    auto db = LoadImage(pdbtest::Build(pdbtest::SampleDatabase(3)));
    const size_t full = SaveImage(*db).size() + 1;
    for (size_t limit : {size_t(0), size_t(77), size_t(100), size_t(1800), full - 1}) {
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
    TempDir dir;
    std::string missing = Message([&] { Open(dir.File("missing.pdb")); });
    EXPECT_NE(missing.find("Cannot open file \"" + dir.File("missing.pdb") + "\""), std::string::npos) << missing;
    EXPECT_THROW(Open(dir.Path()), EStreamError);
    WriteBytes(dir.File("file"), {1});
    EXPECT_THROW(CreateNew(dir.File("file/inside.pdb")), EStreamError);
}

}  // namespace
}  // namespace quorvil
