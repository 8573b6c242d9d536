// A file that ends early loads what it holds and says so: which parts it
// lacks and how many records could be read whole; whole records read as
// they do in the whole file.
#include "engine_helpers.h"
#include "load_damage.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quorvil {
namespace {

class Truncated : public ::testing::TestWithParam<int> {};

TEST_P(Truncated, a_file_cut_in_each_part_keeps_its_whole_records_and_says_what_it_lacks)
{
    const int layout = GetParam();
    const Bytes whole = pdbtest::Build(pdbtest::SampleDatabase(layout));
    const pdbtest::Parsed p = pdbtest::Parse(whole);
    const auto full = LoadImage(whole);
    EXPECT_EQ(full->LoadWarning(), "");
    const std::string chunks = layout >= 2 ? "its popup lists and saved settings," : "its popup lists";
    const struct {
        size_t cut;
        int wholeRecords;
        std::string tail;  // after "it holds N bytes, "
    } cases[] = {
        {whole.size() - 2, 2, "too few for its 3 records. 2 of the 3 records could be read whole; 1 is cut short."},
        {p.recordOffsets[1], 1, "too few for its 3 records. 1 of the 3 records could be read whole; 2 are missing."},
        {p.appInfoOffset + p.block.size() + 3, 0,
         "too few for " + chunks + " and its 3 records. All 3 records are missing."},
        {p.appInfoOffset + 100, 0,
         "too few for its field definitions, " + chunks + " and its 3 records. All 3 records are missing."},
        {90, 0,
         "too few for its record list, its field definitions, " + chunks +
             " and its 3 records. All 3 records are missing."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("cut at " + std::to_string(c.cut));
        const auto db = LoadImage(Bytes(whole.begin(), whole.begin() + long(c.cut)));
        const std::string& text = db->LoadWarning();
        const std::string head = "The file ends early: it holds ";
        EXPECT_EQ(text.substr(0, head.size()), head) << text;
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), c.tail.size())), c.tail) << text;
        if (c.cut == 90) {
            EXPECT_EQ(text, head + "90 bytes, " + c.tail);
        }
        for (int r = 1; r <= c.wholeRecords; ++r)
            for (int f = 1; f <= full->FieldCount(); ++f)
                EXPECT_EQ(db->GetCell(r, f), full->GetCell(r, f)) << r << "," << f;
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, Truncated, ::testing::Values(0, 1, 3), LayoutParamName);

TEST(TruncatedFile, the_warning_names_the_opened_file_and_goes_with_the_next_load_a_save_or_a_new_database)
{
    testkit::TempDir dir;
    const Bytes whole = pdbtest::Build(pdbtest::SampleDatabase(3));
    testkit::WriteBytes(dir / "cut.pdb", Bytes(whole.begin(), whole.end() - 2));
    const std::string named = "The file \"" + dir / "cut.pdb" + "\" ends early: it holds ";
    EXPECT_EQ(OpenReadOnly(dir / "cut.pdb")->LoadWarning().substr(0, named.size()), named);
    auto db = Open(dir / "cut.pdb");
    EXPECT_EQ(db->LoadWarning().substr(0, named.size()), named);
    TMemoryStream wholeStream(whole);
    db->LoadFrom(wholeStream);
    EXPECT_EQ(db->LoadWarning(), "");
    db->Load();
    EXPECT_NE(db->LoadWarning(), "");
    db->InitNew();
    EXPECT_EQ(db->LoadWarning(), "");
    db.reset();
    db = Open(dir / "cut.pdb");
    EXPECT_TRUE(db->LoadDamage().Any());
    db->SaveWithName("Whole");  // the file holds all of the database now
    EXPECT_EQ(std::pair(db->LoadWarning(), db->LoadDamage().Any()), std::pair(std::string(), false));
    EXPECT_EQ(OpenReadOnly(dir / "cut.pdb")->LoadWarning(), "");
}

// And so does the question before a save replaces the file.
TEST(TruncatedFile, the_warning_counts_in_words_a_user_reads)
{
    const std::tuple<TLoadDamage, std::string, std::string> cases[] = {
        {{.FileBytes = 1234567, .Chunks = true, .Records = 10},
         "1,234,567 bytes, too few for its popup lists. All 10 records could be read whole.",
         "its popup lists could not be read whole"},
        {{.FileBytes = 5000, .Records = 10, .CutRecords = 3, .MissingRecords = 7},
         "5,000 bytes, too few for its 10 records. None of the 10 records could be read whole; 3 are cut short "
         "and 7 are missing.",
         "none of the 10 records could be read whole"},
        {{.FileBytes = 100, .Records = 1, .MissingRecords = 1},
         "100 bytes, too few for its one record. Its one record is missing.",
         "its one record could not be read whole"},
        {{.FileBytes = 9000, .Records = 1200, .MissingRecords = 1},
         "9,000 bytes, too few for its 1,200 records. 1,199 of the 1,200 records could be read whole; 1 is missing.",
         "1,199 of the 1,200 records could be read whole"},
    };
    for (const auto& [damage, rest, question] : cases) {
        EXPECT_EQ(LoadWarningText("a.pdb", damage, TLayout::JFile3), "The file \"a.pdb\" ends early: it holds " + rest);
        EXPECT_EQ(ReplaceDamagedQuestion("a.pdb", damage, TLayout::JFile3),
                  "The file \"a.pdb\" opened damaged: " + question +
                      ".\r\nReplace the file with what could be read?\r\nSave as writes it to another file instead "
                      "and leaves this one as it is.");
    }
    EXPECT_EQ(ReplaceDamagedQuestion("a.pdb", {.FileBytes = 100, .Records = 3}, TLayout::JFile3), "");
}

}  // namespace
}  // namespace quorvil
