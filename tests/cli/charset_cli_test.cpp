// Databases written in other character sets, exported with --charset and read
// back by Python's own readers and by create; info's guess of the set.
#include "cli_helpers.h"
#include "sample_db.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace quorvil {
namespace {

using nlohmann::json;

[[maybe_unused]] json Utf8Texts(const std::vector<pdbtest::SetText>& texts)
{
    json list = json::array();
    for (const pdbtest::SetText& text : texts)
        list.push_back(text.utf8);
    return list;
}

TEST(CharsetCli, exports_read_back_every_name_popup_value_and_cell_in_the_databases_set)
{
#if !defined(QUORVIL_PYTHON)
    GTEST_SKIP() << "no Python to read the exports back";
#else
    testkit::TempDir dir;
    json manifest = json::array();
    for (const pdbtest::CharsetSample& sample : pdbtest::CharsetSamples()) {
        SCOPED_TRACE(sample.set);
        const std::string pdb = dir.File(sample.set + ".pdb");
        testkit::WriteBytes(pdb, pdbtest::Build(pdbtest::CharsetDatabase(sample)));
        json entry = {{"set", sample.set},
                      {"title", sample.title.utf8},
                      {"fields", Utf8Texts(sample.fields)},
                      {"popups", Utf8Texts(sample.popups)},
                      {"records", json::array()}};
        for (const auto& record : sample.records)
            entry["records"].push_back(Utf8Texts(record));
#ifdef QUORVIL_XLSX_EXPORT
        const std::vector<std::string> formats = {"xlsx", "csv", "json"};
#else
        const std::vector<std::string> formats = {"csv", "json"};
#endif
        for (const std::string& format : formats) {
            const std::string out = dir.File(sample.set + "." + format);
            const std::string cliFormat = format == "csv" ? "csv-utf8" : format;
            const CliResult r = RunInProcess({"export", cliFormat, pdb, "-o", out, "--charset", sample.set});
            ASSERT_EQ(r.code, 0) << r.err;
            entry[format] = out;
        }
        manifest.push_back(entry);
        // The JSON in the set's characters makes the same database again.
        const std::string back = dir.File(sample.set + "-back.pdb");
        ASSERT_EQ(RunInProcess({"create", dir.File(sample.set + ".json"), "-o", back, "--charset", sample.set}).code,
                  0);
        const pdbtest::Database made = pdbtest::Parse(testkit::ReadBytes(back)).db;
        const pdbtest::Database written = pdbtest::CharsetDatabase(sample);
        EXPECT_EQ(made.title, written.title);
        EXPECT_EQ(made.fields, written.fields);
        EXPECT_EQ(made.popups, written.popups);
        EXPECT_EQ(made.records.size(), written.records.size());
        for (size_t r = 0; r < std::min(made.records.size(), written.records.size()); ++r)
            EXPECT_EQ(made.records[r].cells, written.records[r].cells);

        // info's texts in the set, and the guess: the multi-byte set, nothing for a Western one.
        const CliResult info = RunInProcess({"info", pdb, "--json", "--records", "--charset", sample.set});
        ASSERT_EQ(info.code, 0) << info.err;
        const json got = json::parse(info.out);
        EXPECT_EQ(got["records"], entry["records"]);
        const bool multiByte = sample.set == "shift_jis" || sample.set == "gbk" || sample.set == "big5" ||
                               sample.set == "euc-kr";
        EXPECT_EQ(got["charsetGuess"], multiByte ? json(sample.set) : json(nullptr));
    }
    testkit::WriteText(dir.File("manifest.json"), manifest.dump());
    const std::string command = std::string("\"") + QUORVIL_PYTHON + "\" \"" + QUORVIL_SCRIPTS_DIR +
                                "/charset_readback.py\" \"" + dir.File("manifest.json") + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
#endif
}

}  // namespace
}  // namespace quorvil
