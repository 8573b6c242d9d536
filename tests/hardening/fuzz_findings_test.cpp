// Inputs on which the fuzz targets once stopped, kept in tests/data/broken/:
// each loads, or fails with the engine's error, as it does since the fix;
// one that loads saves and loads again to the same definitions and cells.
#include "crash_fixtures.h"
#include "errors.h"
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

}  // namespace
}  // namespace quorvil::hardening
