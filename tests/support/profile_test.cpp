#include "ini_file.h"
#include "profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_files.h"

namespace quorvil {
namespace {

namespace fs = std::filesystem;
using testkit::ReadText;
using testkit::TempDir;
using testkit::WriteText;

struct Write {
    const char *section, *key, *value;
};

TEST(ProfileTest, WritesKeepCommentsForeignSectionsKeyCaseAndDuplicates)
{
    const struct {
        const char* before;  // nullptr: no file
        std::vector<Write> writes;
        const char* after;
    } cases[] = {
        {"; Settings written by hand\n\n[Other]\n; keep me\nSomeKey = spaced value\n\n"
         "[JFilePro]\nWidths=10,20\nMixedCase=old\nTrailing=x\n; last words\n",
         {{"jfilepro", "mixedcase", "new"}},
         "; Settings written by hand\n\n\n[Other]\n\n; keep me\nSomeKey=spaced value\n\n\n"
         "[JFilePro]\nWidths=10,20\nMixedCase=new\nTrailing=x\n; last words\n"},
        {nullptr,
         {{"JFilePro", "Fields", "3"}, {"JFilePro", "Widths", ""}, {"Second", "Key", " padded "}},
         "[JFilePro]\nFields=3\nWidths=\n\n\n[Second]\nKey= padded \n"},
        {nullptr, {{"", "", "v"}}, "[none]\nnone=v\n"},
        {"[S]\nK=first\nK=second\n", {{"S", "Other", "1"}}, "[S]\nK=first\nK=second\nOther=1\n"},
        {"; one\n\n; two\n", {{"S", "K", "v"}}, "; one\n\n; two\n\n[S]\nK=v\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string file = dir / "list.DEF";
        if (c.before)
            WriteText(file, c.before);
        for (const Write& w : c.writes)
            ASSERT_TRUE(WriteProfileString(w.section, w.key, w.value, file)) << c.after;
        EXPECT_EQ(ReadText(file), c.after);
    }
}

TEST(IniFileTest, WritesThatWouldBreakOrCannotReplaceTheFileAreRefusedAndNothingChanges)
{
    TempDir dir;
    const std::string file = dir / "a.ini";
    WriteText(file, "[S]\nK=1\n");
    TIniFile ini(file);
    const Write refused[] = {{"S", "K", "two\nlines"}, {"S", "a=b", "1"}, {"S", ";K", "1"}, {"S]", "K", "1"}, {"", "K", "1"}};
    for (const Write& w : refused)
        EXPECT_FALSE(ini.WriteString(w.section, w.key, w.value)) << w.section << "/" << w.key;
    EXPECT_EQ(ReadText(file), "[S]\nK=1\n");

    const std::string withNul("[S]\nK=1\n\0[T]\nX=2\n", 18);
    WriteText(file, withNul);
    EXPECT_EQ(TIniFile(file).ReadString("S", "K"), "1") << "read up to the NUL";
    EXPECT_FALSE(TIniFile(file).WriteString("S", "K", "3")) << "but never rewritten";
    EXPECT_EQ(ReadText(file), withNul);

    fs::create_directory(dir / "blocked.ini");  // can be neither read nor replaced
    EXPECT_FALSE(TIniFile(dir / "blocked.ini").WriteString("S", "K", "v"));
    EXPECT_TRUE(TIniFile(dir / "made/a.ini", true).WriteString("S", "K", "v"));
    EXPECT_EQ(ReadText(dir / "made/a.ini"), "[S]\nK=v\n");
}

TEST(IniFileTest, AWriteKeepsOthersChangesAndPermissionsAndLeavesNoTemporaryFilesAndReadsTrim)
{
    TempDir dir;
    const std::string file = dir / "a.ini";
    WriteText(file, "[S]\nK=1\n");
    fs::permissions(file, fs::perms(0640));
    TIniFile ini(file);
    ASSERT_TRUE(WriteProfileString("S", "FromOther", "1", file));
    ASSERT_TRUE(ini.WriteString("S", "Mine", "2"));
    EXPECT_EQ(ini.ReadString("S", "FromOther"), "1");
    EXPECT_EQ(ReadText(file), "[S]\nK=1\nFromOther=1\nMine=2\n");
    WriteText(file, "[S]\nK=first\nK=second\nP= padded \n[none]\nnone=v\n");
    EXPECT_EQ(ReadProfileString("S", "K", "", file) + ReadProfileString("S", "P", "", file), "firstpadded");
    EXPECT_EQ(ReadProfileString("T", "K", "d", file) + ReadProfileString("", "", "", file), "dv");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.ini"});
}

}  // namespace
}  // namespace quorvil
