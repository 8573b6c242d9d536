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
    try {
        pdbtest::Parse(saved);
    } catch (const pdbtest::FormatError& e) {
        ADD_FAILURE() << what << ": the engine wrote a malformed file: " << e.what();
        return;
    }
    auto again = LoadImage(saved);
    ASSERT_EQ(again->RecordCount(), db->RecordCount()) << what;
    ASSERT_EQ(again->FieldCount(), db->FieldCount()) << what;
    for (int r = 1; r <= db->RecordCount(); ++r)
        for (int f = 1; f <= db->FieldCount(); ++f)
            ASSERT_EQ(again->GetCell(r, f), db->GetCell(r, f).substr(0, db->Layout == 3 ? 32000 : 4000))
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
        for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x7F)}) {
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
        const int max = pdbtest::MaxFields(layout);
        Database d = WideDatabase(layout, max);
        EXPECT_EQ(Outcome(Build(d)), kLoaded);
        d.storedFieldCount = uint16_t(max + 1);
        std::string message = Outcome(Build(d));
        EXPECT_NE(message.find(std::to_string(max + 1)), std::string::npos) << message;
        EXPECT_NE(message.find("at most " + std::to_string(max)), std::string::npos) << message;
        d.storedFieldCount = 0xFFFF;
        EXPECT_NE(Outcome(Build(d)), kLoaded);
    }
    Bytes image = Build(SampleDatabase(3));
    pdbtest::WriteU16(image, 76, 0xFFFF);  // far more records than the file holds
    std::unique_ptr<TJFILE> db;
    if (Outcome(image, &db) == kLoaded) {
        EXPECT_LE(db->Records.size(), 0xFFFFu);
    }
}

TEST(MalformedOffsets, offsets_and_lengths_past_the_end_read_as_empty_or_cut_at_the_end)
{
    Bytes image = Build(SampleDatabase(1));
    pdbtest::WriteU32(image, 78 + 8, 0xFFFFFFF0u);  // record 2
    std::unique_ptr<TJFILE> db;
    ASSERT_EQ(Outcome(image, &db), kLoaded);
    EXPECT_EQ(db->GetCell(1, 1), "Tomato");
    EXPECT_EQ(db->GetCell(2, 1), "");
    pdbtest::WriteU32(image, 52, 0xFFFFFFFFu);  // the block
    ASSERT_EQ(Outcome(image, &db), kLoaded);
    EXPECT_EQ(db->FieldCount(), 0);

    Database d = WideDatabase(1, 2);
    d.records[0].cells = {"first", "last"};
    image = Build(d);
    image.pop_back();  // the NUL of the last text
    ASSERT_EQ(Outcome(image, &db), kLoaded);
    EXPECT_EQ(db->GetCell(1, 2), "last");
    pdbtest::WriteU16(image, image.size() - 14, 0xFFFF);  // the first length
    ASSERT_EQ(Outcome(image, &db), kLoaded);
    EXPECT_EQ(db->GetCell(1, 1), "first") << "a text ends at its NUL";
    EXPECT_EQ(db->GetCell(1, 2), "") << "the long first field swallowed the rest";

    image = Build(SampleDatabase(3));
    pdbtest::WriteU32(image, 78 + 8, pdbtest::ReadU32(image, 78));
    ASSERT_EQ(Outcome(image, &db), kLoaded);
    EXPECT_EQ(db->GetCell(2, 1), "Tomato") << "two entries for one small record load as two";
}

TEST(MalformedOffsets, a_stored_text_longer_than_32000_bytes_is_cut_to_32000)
{
    for (int layout : {0, 3}) {
        Database d = WideDatabase(layout, 2);
        d.records[0].cells = {std::string(40000, 'x'), "after"};
        std::unique_ptr<TJFILE> db;
        ASSERT_EQ(Outcome(Build(d), &db), kLoaded);
        EXPECT_EQ(db->GetCell(1, 1), std::string(32000, 'x'));
        EXPECT_EQ(db->GetCell(1, 2), "after");
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
    std::string outcome = Outcome(SharedRecords(image, pdbtest::ReadU32(image, 78), 0));
    EXPECT_NE(outcome.find("overlap"), std::string::npos) << outcome;
    // Each 3.x record would read the same 8 MB text without NUL to the end.
    Database old = WideDatabase(0, 1);
    old.records.clear();
    image = Build(old);
    outcome = Outcome(SharedRecords(image, uint32_t(image.size()), 8 << 20));
    EXPECT_NE(outcome.find("overlap"), std::string::npos) << outcome;
}

struct ChunkCase {
    const char* name;
    int layout;
    std::vector<std::string> texts;
    std::string outcome;  // kLoaded or the message
    std::function<void(const TJFILE&)> check;
};

TEST(MalformedChunks, each_case_loads_as_described_or_raises_in_out_error)
{
    std::vector<std::string> longList = {"popupb"};
    for (int v = 1; v <= 200; ++v)
        longList.push_back("v" + std::to_string(v));
    const ChunkCase cases[] = {
        {"bad popup letter", 3, {"popup1", "x"}, "Invalid Field Index: \"1\"", nullptr},
        {"bad default letter", 3, {"deflt#", "x"}, "Invalid Field Index: \"#\"", nullptr},
        {"popup for field Y and Z skipped", 3, {"popupY", "y", "popupZ", "z", "popupa", "a"}, kLoaded,
         [](const TJFILE& db) {
             EXPECT_EQ(db.GetPopupItem(1, 1), "a");
             EXPECT_EQ(db.PopupCount(2), 0);
         }},
        {"second popup chunk replaces the first", 3, {"popupa", "1", "2", "3", "popupa", "x"}, kLoaded,
         [](const TJFILE& db) {
             EXPECT_EQ(db.PopupCount(1), 1);
             EXPECT_EQ(db.GetPopupItem(1, 1), "x");
         }},
        {"popup values beyond 50 dropped", 3, longList, kLoaded,
         [](const TJFILE& db) {
             EXPECT_EQ(db.PopupCount(2), 50);
             EXPECT_EQ(db.GetPopupItem(2, 50), "v50");
         }},
        {"popup chunk for field 28", 3, {"popupB", "b"}, kLoaded,
         [](const TJFILE& db) { EXPECT_EQ(db.GetPopupItem(28, 1), "b"); }},
        {"a hundred thousand headers", 3, std::vector<std::string>(100000, "popupa"), kLoaded,
         [](const TJFILE& db) { EXPECT_EQ(db.PopupCount(1), 0); }},
        {"sort letter outside a-e", 3, {"soortz", "name", "soorta", "A", "1", "2", "3"}, kLoaded,
         [](const TJFILE& db) { EXPECT_EQ(db.GetSavedSortName(1), ""); }},
        {"sort letter outside a-e then a header", 3, {"soortz", "soorta", "A", "1", "x", "99999"}, kLoaded,
         [](const TJFILE& db) {
             EXPECT_EQ(db.GetSavedSortName(1), "A");
             EXPECT_EQ(db.GetSavedSortField(1, 2), 0) << "not a number reads as 0";
             EXPECT_EQ(db.GetSavedSortField(1, 3), uint16_t(99999));
         }},
        {"sort in a Pro 4.x file ends the chunks", 1, {"soorta", "A", "1", "2", "3"}, kLoaded,
         [](const TJFILE& db) { EXPECT_EQ(db.GetCell(1, 1), "Tomato"); }},
        {"filter with numbers out of range", 3,
         {"flllta", "F", "-*-", "b", "-*-", "-*-", "-*-", "70000", "0", "9223372036854775807",
          "99999999999999999999", "-129", "x"},
         kLoaded,
         [](const TJFILE& db) {
             FilterRec rec = db.GetFilter(1);
             EXPECT_EQ(rec.FilterName, "F");
             EXPECT_EQ(rec.FilterValues[1], "b");
             EXPECT_EQ(rec.FilterWord, uint16_t(70000));
             // Beyond 32 bits or not a number reads as 0, held as 1.
             EXPECT_EQ(rec.FilterCodes, (std::array<int8_t, 5>{1, 1, 1, -128, 1}));
         }},
        {"chunk area running to the end of the file", 3, {"popupa", std::string(100000, 'v')}, kLoaded, nullptr},
    };
    for (const ChunkCase& c : cases) {
        SCOPED_TRACE(c.name);
        Database d = SampleDatabase(c.layout);
        d.popups.clear();
        pdbtest::BuildOptions options;
        options.chunkTexts = c.texts;
        std::unique_ptr<TJFILE> db;
        ASSERT_EQ(Outcome(Build(d, options), &db), c.outcome);
        if (c.check)
            c.check(*db);
        ExpectLoadSaveLoad(Build(d, options), c.name);
    }
    Database d = WideDatabase(3, 1);
    d.records.clear();
    pdbtest::BuildOptions options;
    options.chunkTexts = std::vector<std::string>{"popupa", "abc"};
    Bytes image = Build(d, options);
    image.resize(image.size() - 16);  // the NUL of "abc", terminator and end mark
    std::unique_ptr<TJFILE> db;
    ASSERT_EQ(Outcome(image, &db), kLoaded);
    EXPECT_EQ(db->GetPopupItem(1, 1), "abc") << "a text without NUL at the end of the file ends there";
}

TEST(MalformedFiles, the_kept_broken_files_load_or_raise_in_out_error)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testkit::TestDataDir() + "/broken")) {
        if (entry.path().extension() != ".pdb")
            continue;
        ++files;
        ExpectLoadSaveLoad(testkit::ReadBytes(entry.path().string()), entry.path().filename().string());
    }
    EXPECT_GE(files, 8);
}

}  // namespace
}  // namespace quorvil
