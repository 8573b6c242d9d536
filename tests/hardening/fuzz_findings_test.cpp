// Inputs on which the fuzz targets once stopped. Database files, kept in
// tests/data/broken/, load or fail with the engine's error as they do since
// the fix; one that loads saves and loads again to the same definitions and
// cells. Settings files keep a written key readable and the others as read.
#include "crash_fixtures.h"
#include "errors.h"
#include "ini_file.h"
#include "streams.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil::hardening {
namespace {

std::string BrokenFile(const std::string& name)
{
    return testkit::TestDataDir() + "/broken/" + name;
}

std::unique_ptr<TJFILE> LoadBytes(const Bytes& bytes)
{
    TMemoryStream stream(bytes);
    auto db = std::make_unique<TJFILE>();
    db->LoadFrom(stream);
    return db;
}

void ExpectSameDatabase(const TJFILE& a, const TJFILE& b)
{
    ASSERT_EQ(a.FieldCount(), b.FieldCount());
    ASSERT_EQ(a.RecordCount(), b.RecordCount());
    for (int f = 1; f <= a.FieldCount(); ++f) {
        EXPECT_EQ(a.GetFieldName(f), b.GetFieldName(f)) << f;
        EXPECT_EQ(a.GetFieldType(f), b.GetFieldType(f)) << f;
    }
    int differing = 0;
    for (int r = 1; r <= a.RecordCount(); ++r)
        for (int f = 1; f <= a.FieldCount(); ++f)
            differing += a.CellView(r, f) != b.CellView(r, f);
    EXPECT_EQ(differing, 0);
}

struct Finding {
    const char* file;
    // What loading gives: the engine's error message, or empty when the file
    // loads, then with this many records.
    const char* error;
    int records;
};

void PrintTo(const Finding& finding, std::ostream* out)
{
    *out << finding.file;
}

const Finding kFindings[] = {
    // The first input the load target timed out on: 1,445 bytes whose header
    // claims 65,284 records, of which 170 list entries are in the file; the
    // missing entries read as zeros, i.e. records at offset 0, over and over.
    {"record_list_cut_short.pdb", "The file is damaged: its records overlap.", 0},
};

class FuzzFinding : public ::testing::TestWithParam<Finding> {};

TEST_P(FuzzFinding, loads_as_before_and_saves_back_the_same)
{
    const Bytes bytes = FileBytes(BrokenFile(GetParam().file));
    std::unique_ptr<TJFILE> db;
    std::string error;
    try {
        db = LoadBytes(bytes);
    } catch (const EEngineError& e) {
        error = e.what();
    }
    ASSERT_EQ(error, GetParam().error);
    if (!db)
        return;
    ASSERT_EQ(db->RecordCount(), GetParam().records);
    TMemoryStream saved;
    db->Save(saved);
    ExpectSameDatabase(*LoadBytes(bytes), *LoadBytes(saved.Bytes()));
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, FuzzFinding, ::testing::ValuesIn(kFindings),
                         [](const auto& p) {
                             std::string name = p.param.file;
                             return name.substr(0, name.find('.'));
                         });

struct IniFinding {
    const char* name;
    std::string text;
};

void PrintTo(const IniFinding& finding, std::ostream* out)
{
    *out << finding.name;
}

const IniFinding kIniFindings[] = {
    // What the settings target stopped at: a comment whose lone CRs hide a
    // "[" at the end of the file, which then swallowed the written section's
    // header.
    {"fuzzed", std::string("\x3b\xf8\x98\x8c\xf2\xa4\xb5\x68\x8f\x6e\x0d\x5b\x5d\xb2\xff\xff\xff\xff"
                           "\x80\xff\xff\xff\x69\x6c\x60\x65\x98\x8c\xf2\xa4\xb5\x68\x8f\x6e\x0d\x5b",
                           36)},
    {"bracket_after_a_lone_cr", "; note\r["},
    {"section_after_a_lone_cr", "; note\r[JFilePro]\rTitle=Herbs\r"},
    {"keys_after_lone_crs", "[JFilePro]\rTitle=Herbs\rSort=3\r[Other]\rA=1"},
};

class SettingsFinding : public ::testing::TestWithParam<IniFinding> {};

TEST_P(SettingsFinding, a_written_key_reads_back_and_the_others_read_as_before)
{
    testkit::TempDir dir;
    const std::string path = dir.File("export.DEF");
    testkit::WriteBytes(path, Bytes(GetParam().text.begin(), GetParam().text.end()));
    std::string title;
    std::string other;
    {
        TIniFile before(path);
        title = before.ReadString("JFilePro", "Title", "?");
        other = before.ReadString("Other", "A", "?");
    }
    ASSERT_TRUE(TIniFile(path).WriteString("JFilePro", "Sort", "1,2,3"));
    TIniFile after(path);
    EXPECT_EQ(after.ReadString("JFILEPRO", "sort"), "1,2,3");
    EXPECT_EQ(after.ReadString("JFilePro", "Title", "?"), title);
    EXPECT_EQ(after.ReadString("Other", "A", "?"), other);
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, SettingsFinding, ::testing::ValuesIn(kIniFindings),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quorvil::hardening
