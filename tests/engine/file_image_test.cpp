// Records that refer to the loaded file's bytes: each cell read in place,
// an edited record saved beside records that keep their bytes, and a file
// cut or overwritten by another program while it is open.
#include "engine_helpers.h"
#include "file_image.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

namespace quorvil {
namespace {

using testkit::TempDir;
using testkit::WriteBytes;
using Format = TDATA::TFileFormat;

TEST(RecordInFile, every_cell_reads_as_the_file_holds_it_and_never_past_the_record)
{
    // Fifty texts of up to 700 bytes: lengths with high bytes, cells found by adding many lengths.
    std::vector<std::string> fifty;
    for (int k = 0; k < 50; ++k)
        fifty.push_back(std::string(size_t(k * 131 % 701), char('A' + k % 26)));
    const struct {
        Format format;
        std::vector<std::string> stored;
        size_t cutBytes;  // left off the end of the record
        std::vector<std::string> expected;
    } cases[] = {
        {Format::LengthTable, fifty, 0, fifty},
        {Format::LengthTable, {"ab", std::string("cd\0ef", 5), "g"}, 0, {"ab", "cd", "g"}},  // a NUL ends a text
        {Format::LengthTable, {"abc", "defgh"}, 3, {"abc", "def"}},
        // A NUL deep in a long text; a text longer than the reader keeps.
        {Format::LengthTable, {std::string(300, 'p') + '\0' + "q", "r"}, 0, {std::string(300, 'p'), "r"}},
        {Format::LengthTable, {std::string(kMaxTextRead + 1, 'x'), "y"}, 0, {std::string(kMaxTextRead, 'x'), "y"}},
        {Format::NulTerminated, {"one", "", "two"}, 2, {"one", "", "tw"}},
        // The program's own packed texts: no NUL after each, the lengths exact.
        {Format::Packed, fifty, 0, fifty},
        {Format::Packed, {"abc", "", "defgh"}, 3, {"abc", "", "de"}},
        {Format::Packed, {std::string(kMaxTextRead + 1, 'x'), "y"}, 0, {std::string(kMaxTextRead, 'x'), "y"}},
    };
    // Packed: the lengths, then the texts back to back.
    auto packed = [](const std::vector<std::string>& texts) {
        Bytes bytes;
        for (const std::string& text : texts)
            bytes.insert(bytes.end(), {uint8_t(text.size() >> 8), uint8_t(text.size())});
        for (const std::string& text : texts)
            bytes.insert(bytes.end(), text.begin(), text.end());
        return bytes;
    };
    for (const auto& c : cases) {
        Bytes bytes = c.format == Format::Packed
                          ? packed(c.stored)
                          : pdbtest::RecordBytes(c.stored, c.format == Format::LengthTable ? 1 : 0);
        bytes.resize(bytes.size() - c.cutBytes);
        const int count = int(c.stored.size());
        const TDATA record = TDATA::InFile(bytes.data(), bytes.size(), count, c.format);
        std::array<std::string_view, kMaxSlots> all;
        // Only a length-table record whose texts are all whole may be taken
        // to hold no NUL.
        EXPECT_EQ(record.Texts(all), c.format != Format::LengthTable || c.stored == c.expected);
        size_t total = 0;
        for (int i = 1; i <= count; ++i) {
            EXPECT_EQ(record.Field(i), c.expected[size_t(i - 1)]) << "cell " << i;
            EXPECT_EQ(all[size_t(i - 1)], c.expected[size_t(i - 1)]) << "cell " << i << " of all at once";
            total += c.expected[size_t(i - 1)].size();
        }
        EXPECT_EQ(record.Field(count + 1), "");
        EXPECT_EQ(record.TextBytes(), total);
    }
    Bytes bytes = pdbtest::RecordBytes({"alpha", "beta", "gamma"}, 1);
    TDATA edited = TDATA::InFile(bytes.data(), bytes.size(), 3, Format::LengthTable);
    edited.SetField(2, edited.Field(3));
    std::fill(bytes.begin(), bytes.end(), uint8_t('x'));
    EXPECT_EQ(edited.GetField(1) + "," + edited.GetField(2), "alpha,gamma") << "an edited record owns its texts";
}

TEST(FileImageRead, holds_every_byte_of_files_on_both_sides_of_the_large_block_bound)
{
    TempDir dir;
    for (size_t size : {size_t(0), size_t(4096), (size_t(4) << 20) - 1, (size_t(4) << 20) + 3, size_t(9) << 20}) {
        Bytes bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = uint8_t(i * 7 + i / 4099);
        const std::string path = dir.Path() + "/image.bin";
        WriteBytes(path, bytes);
        TFileStream in(path, TFileStream::Mode::ReadOnly);
        std::unique_ptr<TFileImage> image = TFileImage::Read(in);
        ASSERT_EQ(image->Size(), size);
        EXPECT_TRUE(size == 0 || std::equal(bytes.begin(), bytes.end(), image->Data())) << size;
        EXPECT_FALSE(image->Mapped());
    }
    // A moved block keeps its bytes and the emptied one frees nothing twice.
    TPageBuffer first(size_t(5) << 20);
    first.Data()[(size_t(5) << 20) - 1] = 42;
    TPageBuffer second = std::move(first);
    EXPECT_EQ(first.Data(), nullptr);
    EXPECT_EQ(second.Data()[(size_t(5) << 20) - 1], 42);
    first = std::move(second);
    EXPECT_EQ(first.Size(), size_t(5) << 20);
}

// Several pages of records, so that cutting the file leaves mapped pages without file behind them.
Bytes PagesOfRecords(int layout)
{
    auto db = MemoryDatabase({{"Name"}, {"Note"}}, Rows(300));
    db->ConvertLayout(TLayout(layout));
    for (int r = 1; r <= db->RecordCount(); ++r) {
        db->SetCell(r, 1, "record " + std::to_string(r));
        db->SetCell(r, 2, std::string(size_t(r % 90), char('a' + r % 26)));
    }
    return SaveImage(*db);
}

class MappedEdit : public ::testing::TestWithParam<int> {};

TEST_P(MappedEdit, the_edited_record_is_saved_with_its_new_value_and_the_others_keep_their_bytes)
{
    TempDir dir;
    WriteBytes(dir / "mapped.pdb", PagesOfRecords(GetParam()));
    auto db = OpenReadOnly(dir / "mapped.pdb");
    ASSERT_TRUE(db->Image()->Mapped());
    const Bytes unedited = SaveImage(*db);
    const pdbtest::Parsed before = pdbtest::Parse(unedited);
    db->SetCell(2, 1, "changed");
    const Bytes saved = SaveImage(*db);
    const pdbtest::Parsed after = pdbtest::Parse(saved);
    ASSERT_EQ(after.db.records.size(), 300u);
    EXPECT_EQ(after.db.records[1].cells, (std::vector<std::string>{"changed", before.db.records[1].cells[1]}));
    EXPECT_TRUE(db->Record(1).InFileImage()) << "records not edited stay in the file's bytes";
    EXPECT_EQ(Bytes(saved.begin() + after.recordOffsets[2], saved.end()),
              Bytes(unedited.begin() + before.recordOffsets[2], unedited.end()));
}

INSTANTIATE_TEST_SUITE_P(Layouts, MappedEdit, ::testing::Values(0, 1, 3), LayoutParamName);

TEST(FileChangedOnDisk, an_open_database_keeps_every_cell_and_a_mapped_one_reads_on_without_a_crash)
{
    const Bytes image = PagesOfRecords(3);
    const auto loaded = LoadImage(image);
    const auto original = std::pair(Column(*loaded, 1), Column(*loaded, 2));
    for (bool cut : {true, false})
        for (bool mapped : {false, true}) {
            TempDir dir;
            WriteBytes(dir / "open.pdb", image);
            auto db = mapped ? OpenReadOnly(dir / "open.pdb") : Open(dir / "open.pdb");
            ASSERT_EQ(db->Image()->Mapped(), mapped);
            if (cut)
                ASSERT_EQ(::truncate((dir / "open.pdb").c_str(), 100), 0);
            else
                WriteBytes(dir / "open.pdb", Bytes(image.size(), 0xFF));
            const auto cells = std::pair(Column(*db, 1), Column(*db, 2));
            if (!mapped) {
                EXPECT_EQ(cells, original) << "a read file keeps every cell";
            } else if (cut) {
                EXPECT_TRUE(db->Image()->Cut() && cells.second.back().empty()) << "bytes past the new end read as none";
            }
            WriteBytes(dir / "copy.pdb", SaveImage(*db));
            EXPECT_EQ(OpenReadOnly(dir / "copy.pdb")->RecordCount(), 300) << "a save still writes a file that loads";
        }
}

}  // namespace
}  // namespace quorvil
