// An input on which the settings-file fuzz target once stopped, kept so that
// it keeps reading as it does since the fix.
#include "ini_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace quorvil::hardening {
namespace {

TEST(FuzzFinding, a_settings_key_written_after_lone_crs_reads_back_and_the_others_read_as_before)
{
    const std::string kInputs[] = {
        // What the fuzz target stopped at: a comment whose lone CRs hide a "["
        // at the end of the file, which then swallowed the written section's header.
        std::string("\x3b\xf8\x98\x8c\xf2\xa4\xb5\x68\x8f\x6e\x0d\x5b\x5d\xb2\xff\xff\xff\xff"
                    "\x80\xff\xff\xff\x69\x6c\x60\x65\x98\x8c\xf2\xa4\xb5\x68\x8f\x6e\x0d\x5b",
                    36),
        "[JFilePro]\rTitle=Herbs\rSort=3\r[Other]\rA=1",
    };
    for (const std::string& text : kInputs) {
        testkit::TempDir dir;
        const std::string path = dir.File("export.DEF");
        testkit::WriteText(path, text);
        std::string title, other;
        {
            TIniFile before(path);
            title = before.ReadString("JFilePro", "Title", "?");
            other = before.ReadString("Other", "A", "?");
        }
        ASSERT_TRUE(TIniFile(path).WriteString("JFilePro", "Sort", "1,2,3"));
        TIniFile after(path);
        EXPECT_EQ(after.ReadString("JFILEPRO", "sort"), "1,2,3") << text;
        EXPECT_EQ(after.ReadString("JFilePro", "Title", "?"), title) << text;
        EXPECT_EQ(after.ReadString("Other", "A", "?"), other) << text;
    }
}

}  // namespace
}  // namespace quorvil::hardening
