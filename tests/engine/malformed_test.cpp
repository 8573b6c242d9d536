// Damaged and hostile files: each one loads leniently or raises EInOutError,
// never reads out of bounds, allocates without bound, hangs or crashes.
#include "engine_helpers.h"
#include "errors.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

namespace quorvil {
namespace {

using pdbtest::Build;
using pdbtest::Database;
using pdbtest::SampleDatabase;
using pdbtest::WideDatabase;

constexpr const char* kLoaded = "(loaded)";

// "(loaded)", or the message of the EInOutError; any other exception fails.
std::string Outcome(const Bytes& image, std::unique_ptr<TJFILE>* kept = nullptr)
{
    try {
        auto db = LoadImage(image);
        if (kept)
            *kept = std::move(db);
        return kLoaded;
    } catch (const EInOutError& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "unexpected exception: " << e.what();
        return "(unexpected)";
    }
}

// Whatever loads must save into a file the independent reader accepts, and
// that file must load to the same cells.
void ExpectLoadSaveLoad(const Bytes& image, const std::string& what)
{
    std::unique_ptr<TJFILE> db;
    if (Outcome(image, &db) != kLoaded)
        return;
    Bytes saved = SaveImage(*db);
    ASSERT_NO_THROW(pdbtest::Parse(saved)) << what << ": the engine wrote a malformed file";
    auto again = LoadImage(saved);
    ASSERT_EQ(std::pair(again->RecordCount(), again->FieldCount()), std::pair(db->RecordCount(), db->FieldCount()))
        << what;
    for (int r = 1; r <= db->RecordCount(); ++r)
        for (int f = 1; f <= db->FieldCount(); ++f)
            ASSERT_EQ(again->GetCell(r, f),
                      db->GetCell(r, f).substr(0, db->Layout() == TLayout::JFile55 ? 32000 : 4000))
                << what << " record " << r << " field " << f;
}

class Damaged : public ::testing::TestWithParam<int> {};

TEST_P(Damaged, a_file_cut_short_or_with_any_byte_changed_loads_leniently_or_raises_in_out_error)
{
    const Bytes image = Build(SampleDatabase(GetParam()));
    for (size_t length = 0; length < image.size(); ++length) {
        Bytes cut(image.begin(), image.begin() + long(length));
        if (length < 68)
            EXPECT_EQ(Outcome(cut), "Not a JFile/JFile Pro database!") << length;
        else
            ExpectLoadSaveLoad(cut, "cut at " + std::to_string(length));
        for (uint8_t value : {0x00, 0xFF, 0x7F}) {
            Bytes changed = image;
            changed[length] = value;
            ExpectLoadSaveLoad(changed, "byte " + std::to_string(length) + " = " + std::to_string(value));
        }
    }
    std::mt19937 random(7u + unsigned(GetParam()));
    for (int round = 0; round < 1500; ++round) {
        Bytes changed = image;
        for (int h = 1 + int(random() % 12); h > 0; --h)
            changed[random() % changed.size()] = uint8_t(random());
        if (random() % 4 == 0)
            changed.resize(random() % changed.size());
        ExpectLoadSaveLoad(changed, "round " + std::to_string(round));
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, Damaged, ::testing::Values(0, 1, 3), LayoutParamName);

TEST(MalformedCounts, a_field_count_above_the_layout_limit_raises_in_out_error_naming_both)
{
    for (int layout : {0, 1, 3}) {
        const int max = int(pdbtest::OffsetsOf(layout).maxFields);
        Database d = WideDatabase(layout, max);
        EXPECT_EQ(Outcome(Build(d)), kLoaded);
        d.storedFieldCount = uint16_t(max + 1);
        std::string message = Outcome(Build(d));
        EXPECT_NE(message.find(std::to_string(max + 1)), std::string::npos) << message;
        EXPECT_NE(message.find("at most " + std::to_string(max)), std::string::npos) << message;
    }
}

TEST(MalformedOffsets, a_length_past_the_end_reads_to_the_end_and_a_text_beyond_32000_bytes_is_cut)
{
    Database d = WideDatabase(1, 2);
    d.records[0].cells = {"first", "last"};
    Bytes image = Build(d);
    pdbtest::WriteU16(image, image.size() - 14, 0xFFFF);  // the first length swallows the rest
    std::unique_ptr<TJFILE> db;
    ASSERT_EQ(Outcome(image, &db), kLoaded);
    EXPECT_EQ(db->GetCell(1, 1) + "|" + db->GetCell(1, 2), "first|");
    for (int layout : {0, 3}) {
        d = WideDatabase(layout, 2);
        d.records[0].cells = {std::string(40000, 'x'), "after"};
        ASSERT_EQ(Outcome(Build(d), &db), kLoaded);
        EXPECT_EQ(db->GetCell(1, 1) + db->GetCell(1, 2), std::string(32000, 'x') + "after");
    }
}

// 65535 record entries all pointing at `offset` in front of the rest of
// `image` (whose own record list is dropped), and `tail` bytes of 'x'.
Bytes SharedRecords(const Bytes& image, uint32_t offset, size_t tail)
{
    const size_t ownList = 8 * pdbtest::ReadU16(image, 76);
    const uint32_t added = uint32_t(65535 * 8 - ownList);
    Bytes hostile(image.begin(), image.begin() + 78);
    pdbtest::WriteU16(hostile, 76, 0xFFFF);
    for (size_t r = 0; r < 65535; ++r) {
        hostile.insert(hostile.end(), 8, 0);
        pdbtest::WriteU32(hostile, hostile.size() - 8, offset + added);
    }
    pdbtest::WriteU32(hostile, 52, pdbtest::ReadU32(image, 52) + added);
    hostile.insert(hostile.end(), image.begin() + long(78 + ownList), image.end());
    hostile.insert(hostile.end(), tail, 'x');
    return hostile;
}

TEST(MalformedOffsets, records_that_overlap_cannot_make_a_small_file_claim_gigabytes)
{
    Database d = WideDatabase(3, 50);
    for (auto& cell : d.records[0].cells)
        cell = std::string(30000, 'o');
    Bytes image = Build(d);
    // Each of 65535 entries reads the one 1.5 MB record: 98 GB of text.
    EXPECT_NE(Outcome(SharedRecords(image, pdbtest::ReadU32(image, 78), 0)).find("overlap"), std::string::npos);
    // Each 3.x record would read the same 8 MB text without NUL to the end.
    Database old = WideDatabase(0, 1);
    old.records.clear();
    image = Build(old);
    EXPECT_NE(Outcome(SharedRecords(image, uint32_t(image.size()), 8 << 20)).find("overlap"), std::string::npos);
}

TEST(MalformedChunks, each_case_loads_as_described_and_saves_a_file_that_loads)
{
    std::vector<std::string> longList = {"popupb"};
    for (int v = 1; v <= 200; ++v)
        longList.push_back("v" + std::to_string(v));
    const struct {
        const char* name;
        std::vector<std::string> texts;
        std::function<void(const TJFILE&)> check;
    } cases[] = {
        {"second popup chunk replaces the first, Y and Z skipped",
         {"popupa", "1", "2", "popupY", "y", "popupZ", "z", "popupa", "x"},
         [](const TJFILE& db) { EXPECT_EQ(db.PopupCount(1) + db.PopupCount(2), 1) << db.GetPopupItem(1, 1); }},
        {"popup values beyond 50 dropped", longList,
         [](const TJFILE& db) { EXPECT_EQ(db.GetPopupItem(2, db.PopupCount(2)), "v50"); }},
        {"filter with numbers out of range",
         {"flllta", "F", "-*-", "b", "-*-", "-*-", "-*-", "70000", "0", "9223372036854775807", "99999999999999999999",
          "-129", "x"},
         [](const TJFILE& db) {
             FilterRec rec = db.GetFilter(1);
             EXPECT_EQ(std::tuple(rec.FilterName, rec.FilterValues[1], rec.FilterWord),
                       std::tuple("F", "b", uint16_t(70000)));
             // Beyond 32 bits or not a number reads as 0, held as 1.
             EXPECT_EQ(rec.FilterCodes, (std::array<int8_t, 5>{1, 1, 1, -128, 1}));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Database d = SampleDatabase(3);
        d.popups.clear();
        pdbtest::BuildOptions options;
        options.chunkTexts = c.texts;
        std::unique_ptr<TJFILE> db;
        ASSERT_EQ(Outcome(Build(d, options), &db), kLoaded);
        c.check(*db);
        ExpectLoadSaveLoad(Build(d, options), c.name);
    }
}

TEST(MalformedFiles, the_kept_broken_files_load_or_raise_in_out_error)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testkit::TestDataDir() + "/broken"))
        if (entry.path().extension() == ".pdb" && ++files)
            ExpectLoadSaveLoad(testkit::ReadBytes(entry.path().string()), entry.path().filename().string());
    EXPECT_GE(files, 8);
}

}  // namespace
}  // namespace quorvil
