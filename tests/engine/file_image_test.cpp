// Records that refer to the loaded file's bytes: each cell read in place,
// an edited record saved beside records that keep their bytes, and a file
// changed on disk by another program while it is open.
#include "engine_helpers.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace quorvil {
namespace {

namespace fs = std::filesystem;
using testkit::TempDir;
using testkit::WriteBytes;
using Format = TDATA::TFileFormat;

// A length per text (its bytes and a NUL) for the length table, then the texts each with its NUL.
Bytes RecordBytes(Format format, const std::vector<std::string>& stored)
{
    Bytes bytes;
    if (format == Format::LengthTable)
        for (const std::string& s : stored) {
            bytes.push_back(uint8_t((s.size() + 1) >> 8));
            bytes.push_back(uint8_t(s.size() + 1));
        }
    for (const std::string& s : stored) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    return bytes;
}

TEST(RecordInFile, every_cell_reads_as_the_file_holds_it_and_never_past_the_record)
{
    // Fifty texts of up to 700 bytes: lengths with high bytes, cells found by adding many lengths.
    std::vector<std::string> fifty;
    for (int k = 0; k < 50; ++k)
        fifty.push_back(std::string(size_t(k * 131 % 701), char('A' + k % 26)));
    const struct {
        const char* name;
        Format format;
        std::vector<std::string> stored;
        size_t cutBytes;  // left off the end of the record
        std::vector<std::string> expected;
    } cases[] = {
        {"fifty cells with long lengths", Format::LengthTable, fifty, 0, fifty},
        {"a NUL inside a text ends it", Format::LengthTable, {"ab", std::string("cd\0ef", 5), "g"}, 0,
         {"ab", "cd", "g"}},
        {"a cut record ends its last text early", Format::LengthTable, {"abc", "defgh"}, 3, {"abc", "def"}},
        {"NUL-terminated texts", Format::NulTerminated, {"one", "", "three"}, 0, {"one", "", "three"}},
        {"the last text without its NUL", Format::NulTerminated, {"one", "two"}, 2, {"one", "tw"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = RecordBytes(c.format, c.stored);
        bytes.resize(bytes.size() - c.cutBytes);
        const int count = int(c.stored.size());
        const TDATA record = TDATA::InFile(bytes.data(), bytes.size(), count, c.format);
        std::array<std::string_view, kMaxSlots> all;
        record.Texts(all);
        size_t total = 0;
        for (int i = 1; i <= count; ++i) {
            EXPECT_EQ(record.Field(i), c.expected[size_t(i - 1)]) << "cell " << i;
            EXPECT_EQ(all[size_t(i - 1)], c.expected[size_t(i - 1)]) << "cell " << i << " of all at once";
            total += c.expected[size_t(i - 1)].size();
        }
        EXPECT_EQ(record.Field(count + 1), "");
        EXPECT_EQ(record.TextBytes(), total);
    }
    Bytes bytes = RecordBytes(Format::LengthTable, {"alpha", "beta", "gamma"});
    TDATA edited = TDATA::InFile(bytes.data(), bytes.size(), 3, Format::LengthTable);
    const TDATA viewed = edited;
    edited.SetField(2, edited.Field(3));
    std::fill(bytes.begin(), bytes.end(), uint8_t('x'));
    EXPECT_FALSE(edited.InFileImage());
    EXPECT_EQ(edited.GetField(1) + "," + edited.GetField(2) + "," + edited.GetField(3), "alpha,gamma,gamma")
        << "an edited record keeps its texts when the bytes go";
    EXPECT_EQ(viewed.GetField(1) + "," + viewed.GetField(2), "alpha,beta") << "and so does a copy";
}

// Several pages of records, so that cutting the file leaves mapped pages without file behind them.
std::unique_ptr<TJFILE> PagesOfRecords(int layout)
{
    auto db = NewDatabase(layout, {"Name", "Note"}, 300);
    for (int r = 1; r <= db->RecordCount(); ++r) {
        db->SetCell(r, 1, "record " + std::to_string(r));
        db->SetCell(r, 2, std::string(size_t(r % 90), char('a' + r % 26)));
    }
    return db;
}

std::vector<std::string> AllCells(const TJFILE& db)
{
    std::vector<std::string> cells;
    for (int r = 1; r <= db.RecordCount(); ++r)
        for (int f = 1; f <= db.FieldCount(); ++f)
            cells.push_back(db.GetCell(r, f));
    return cells;
}

class MappedEdit : public ::testing::TestWithParam<int> {};

TEST_P(MappedEdit, the_edited_record_is_saved_with_its_new_value_and_the_others_keep_their_bytes)
{
    TempDir dir;
    WriteBytes(dir / "mapped.pdb", SaveImage(*PagesOfRecords(GetParam())));
    auto db = OpenReadOnly(dir / "mapped.pdb");
    ASSERT_TRUE(db->Image()->Mapped());
    const Bytes unedited = SaveImage(*db);
    const pdbtest::Parsed before = pdbtest::Parse(unedited);
    db->SetCell(2, 1, "changed");
    const Bytes saved = SaveImage(*db);
    const pdbtest::Parsed after = pdbtest::Parse(saved);
    ASSERT_EQ(after.db.records.size(), 300u);
    EXPECT_EQ(after.db.records[1].cells, (std::vector<std::string>{"changed", before.db.records[1].cells[1]}));
    EXPECT_TRUE(db->Records[0].InFileImage()) << "records not edited stay in the file's bytes";
    EXPECT_EQ(Bytes(saved.begin() + after.recordOffsets[2], saved.end()),
              Bytes(unedited.begin() + before.recordOffsets[2], unedited.end()));
}

INSTANTIATE_TEST_SUITE_P(Layouts, MappedEdit, ::testing::Values(0, 1, 3), LayoutParamName);

enum class Change { ReplacedByRename, Deleted, Cut, RewrittenInPlace };

void ChangeOnDisk(Change change, const std::string& path, const TempDir& dir)
{
    switch (change) {
    case Change::ReplacedByRename:
        WriteBytes(dir / "other.pdb", SaveImage(*NewDatabase(3, {"Other"}, 1)));
        fs::rename(dir / "other.pdb", path);
        break;
    case Change::Deleted:
        fs::remove(path);
        break;
    case Change::Cut:
        ASSERT_EQ(::truncate(path.c_str(), 100), 0);
        break;
    case Change::RewrittenInPlace:
        WriteBytes(path, Bytes(fs::file_size(path), 0xFF));
        break;
    }
}

TEST(FileChangedOnDisk, an_open_database_keeps_every_cell_and_a_mapped_one_reads_on_without_a_crash)
{
    for (Change change : {Change::ReplacedByRename, Change::Deleted, Change::Cut, Change::RewrittenInPlace}) {
        SCOPED_TRACE(int(change));
        const auto original = PagesOfRecords(3);
        {
            TempDir dir;
            WriteBytes(dir / "open.pdb", SaveImage(*original));
            auto db = Open(dir / "open.pdb");
            ASSERT_FALSE(db->Image()->Mapped());
            ChangeOnDisk(change, dir / "open.pdb", dir);
            EXPECT_EQ(AllCells(*db), AllCells(*original));
            db->SetCell(1, 1, "saved after the change");
            db->SaveWithName(db->PdbHeader.Name);
            db.reset();
            auto expected = AllCells(*original);
            expected[0] = "saved after the change";
            EXPECT_EQ(AllCells(*OpenReadOnly(dir / "open.pdb")), expected);
        }
        TempDir dir;
        WriteBytes(dir / "open.pdb", SaveImage(*original));
        auto db = OpenReadOnly(dir / "open.pdb");
        ASSERT_TRUE(db->Image()->Mapped());
        ChangeOnDisk(change, dir / "open.pdb", dir);
        const std::vector<std::string> cells = AllCells(*db);
        if (change == Change::ReplacedByRename || change == Change::Deleted) {
            EXPECT_EQ(cells, AllCells(*original)) << "the mapping keeps the old file";
        }
        if (change == Change::Cut) {
            EXPECT_TRUE(db->Image()->Cut());
            EXPECT_EQ(cells.back(), "") << "bytes past the new end read as none";
        }
        WriteBytes(dir / "copy.pdb", SaveImage(*db));
        EXPECT_EQ(OpenReadOnly(dir / "copy.pdb")->RecordCount(), 300) << "a save still writes a file that loads";
    }
}

}  // namespace
}  // namespace quorvil
