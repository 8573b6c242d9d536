// Inputs on which the import, create and merge fuzz targets stopped: each is
// now refused with one clear message, or reads back after a save as it was
// taken in.
#include "db_json.h"
#include "jfile.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace quorvil::hardening {
namespace {

using testkit::TempDir;

TEST(FuzzFinding, descriptions_create_would_not_write_as_described_are_refused_and_leave_no_file)
{
    const std::string cell32001 = R"({"fields": [{}], "records": [[")" + std::string(32001, 'x') + R"("]]})";
    const std::string cell4001 = R"({"layout": 1, "fields": [{}], "records": [[")" + std::string(4001, 'x') + R"("]]})";
    const std::string default32001 = R"({"fields": [{"default": ")" + std::string(32001, 'x') + R"("}]})";
    const std::pair<std::string, std::string> cases[] = {
        {R"({"fields": [{}], "records": [["a\u0000b"]]})", "\"records\" must not hold a NUL character"},
        {R"({"title": "Stock\u0000"})", "\"title\" must not hold a NUL character"},
        {R"({"fields": [{"popup": ["a\u0000"]}]})", "\"popup\" must not hold a NUL character"},
        {cell32001, "records[0] field 1 holds 32001 characters; a cell holds at most 32000"},
        {cell4001, "records[0] field 1 holds 4001 characters; a cell holds at most 4000"},
        {default32001, "the default of field 1 holds 32001 characters; a cell holds at most 32000"},
        {R"({"fields": [{}], "filters": [{"slot": 1, "name": "f", "values": ["-*-"]}]})",
         "the filter value \"-*-\" would read back as an empty value"},
        // The reader takes the layout from the creator: these would not open.
        {R"({"creator": "ABCD"})", "\"creator\" must be \"JFi5\" for a JFile 5.5 database"},
        {R"({"layout": 1, "creator": "JFi5"})", "\"creator\" must be \"JFil\" for a JFile Pro 4.x database"},
        {R"({"layout": 4294967299})", "\"layout\" must be 0, 1, 2 or 3"},
    };
    for (const auto& [spec, message] : cases) {
        SCOPED_TRACE(spec.substr(0, 80));
        TempDir dir;
        testkit::WriteText(dir / "spec.json", spec);
        try {
            CreateFromSpec(dir / "spec.json", dir / "out.PDB", -1);
            ADD_FAILURE() << "created";
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(e.what(), message);
        }
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"spec.json"});
    }
    TempDir dir;
    testkit::WriteText(dir / "spec.json", R"({"layout": 1, "creator": "JFil"})");
    CreateFromSpec(dir / "spec.json", dir / "out.PDB", -1);
    EXPECT_EQ(OpenReadOnly(dir / "out.PDB")->Layout, 1) << "the layout's own creator is taken";
}

}  // namespace
}  // namespace quorvil::hardening
