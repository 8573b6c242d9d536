#include "ini_file.h"
#include "profile.h"

#include <gtest/gtest.h>

#include "support_test_util.h"

namespace quorvil {
namespace {

using test::ReadAll;
using test::ScratchDir;
using test::WriteAll;

const char* const kForeignFile =
    "; Settings written by hand\n"
    "\n"
    "[Other]\n"
    "; keep me\n"
    "SomeKey = spaced value\n"
    "\n"
    "[JFilePro]\n"
    "Widths=10,20\n"
    "MixedCase=old\n"
    "Trailing=x\n"
    "; last words\n";

TEST(ProfileTest, WritingOneKeyKeepsCommentsForeignSectionsAndKeyCase)
{
    ScratchDir dir;
    const std::string file = dir / "list.DEF";
    WriteAll(file, kForeignFile);

    ASSERT_TRUE(WriteProfileString("jfilepro", "mixedcase", "new", file));

    EXPECT_EQ(ReadAll(file),
              "; Settings written by hand\n"
              "\n\n"
              "[Other]\n"
              "\n"
              "; keep me\n"
              "SomeKey=spaced value\n"
              "\n\n"
              "[JFilePro]\n"
              "Widths=10,20\n"
              "MixedCase=new\n"
              "Trailing=x\n"
              "; last words\n");
}

TEST(ProfileTest, MissingKeySectionOrFileReadsAsTheDefault)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    EXPECT_EQ(ReadProfileString("S", "K", "dflt", file), "dflt");
    WriteAll(file, "[S]\nK=1\n");
    EXPECT_EQ(ReadProfileString("S", "Other", "", file), "");
    EXPECT_EQ(ReadProfileString("T", "K", "d", file), "d");
}

TEST(ProfileTest, NewKeysAndSectionsAreAppendedWithoutSpaces)
{
    ScratchDir dir;
    const std::string file = dir / "new.DEF";
    ASSERT_TRUE(WriteProfileString("JFilePro", "Fields", "3", file));
    ASSERT_TRUE(WriteProfileString("JFilePro", "Widths", "", file));
    ASSERT_TRUE(WriteProfileString("Second", "Key", " padded ", file));
    EXPECT_EQ(ReadAll(file), "[JFilePro]\nFields=3\nWidths=\n\n\n[Second]\nKey= padded \n");
    // Like the platform's reader, surrounding blanks are not part of a value.
    EXPECT_EQ(ReadProfileString("Second", "Key", "", file), "padded");
}

TEST(ProfileTest, EmptyNamesAreStoredAsNone)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    ASSERT_TRUE(WriteProfileString("", "", "v", file));
    EXPECT_EQ(ReadAll(file), "[none]\nnone=v\n");
    EXPECT_EQ(ReadProfileString("none", "none", "", file), "v");
}

TEST(ProfileTest, ADuplicateKeyReadsAsItsFirstValueAndBothSurviveOtherWrites)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    WriteAll(file, "[S]\nK=first\nK=second\n");
    EXPECT_EQ(ReadProfileString("S", "K", "", file), "first");
    ASSERT_TRUE(WriteProfileString("S", "Other", "1", file));
    EXPECT_EQ(ReadAll(file), "[S]\nK=first\nK=second\nOther=1\n");
}

TEST(ProfileTest, ACommentOnlyFileKeepsItsCommentsBeforeTheNewSection)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    WriteAll(file, "; one\n\n; two\n");
    ASSERT_TRUE(WriteProfileString("S", "K", "v", file));
    EXPECT_EQ(ReadAll(file), "; one\n\n; two\n\n[S]\nK=v\n");
}

TEST(ProfileTest, LongValuesAreCutToTheReadBuffer)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    ASSERT_TRUE(WriteProfileString("S", "K", std::string(9000, 'x'), file));
    EXPECT_EQ(ReadProfileString("S", "K", "", file).size(), 8192u);
}

TEST(IniFileTest, ValuesThatWouldBreakTheFileAreRefusedAndNothingChanges)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    WriteAll(file, "[S]\nK=1\n");
    TIniFile ini(file);
    EXPECT_FALSE(ini.WriteString("S", "K", "two\nlines"));
    EXPECT_FALSE(ini.WriteString("S", "a=b", "1"));
    EXPECT_FALSE(ini.WriteString("S", ";K", "1"));
    EXPECT_FALSE(ini.WriteString("S]", "K", "1"));
    EXPECT_FALSE(ini.WriteString("S", "", "1"));
    EXPECT_FALSE(ini.WriteString("", "K", "1"));
    EXPECT_EQ(ReadAll(file), "[S]\nK=1\n");
}

TEST(IniFileTest, AFileWithANulByteIsReadUpToItButNeverRewritten)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    const std::string original("[S]\nK=1\n\0[T]\nX=2\n", 18);
    WriteAll(file, original);
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("S", "K"), "1");
    EXPECT_FALSE(ini.WriteString("S", "K", "3"));
    EXPECT_EQ(ReadAll(file), original);
}

TEST(IniFileTest, AFailedWriteKeepsTheOriginalFileAndReportsFalse)
{
    ScratchDir dir;
    // A directory in place of the file: it can be neither read nor replaced.
    std::filesystem::create_directory(dir / "blocked.ini");
    TIniFile blocked(dir / "blocked.ini");
    EXPECT_FALSE(blocked.WriteString("S", "K", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "blocked.ini"));

    TIniFile noDirectory(dir / "missing/a.ini");
    EXPECT_FALSE(noDirectory.WriteString("S", "K", "v"));
    TIniFile createsDirectory(dir / "made/a.ini", true);
    EXPECT_TRUE(createsDirectory.WriteString("S", "K", "v"));
    EXPECT_EQ(ReadAll(dir / "made/a.ini"), "[S]\nK=v\n");
}

TEST(IniFileTest, WritesPickUpChangesMadeByOthersSinceOpening)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    TIniFile ini(file);
    ASSERT_TRUE(WriteProfileString("S", "FromOther", "1", file));
    ASSERT_TRUE(ini.WriteString("S", "Mine", "2"));
    EXPECT_EQ(ini.ReadString("S", "FromOther"), "1");
    EXPECT_EQ(ReadAll(file), "[S]\nFromOther=1\nMine=2\n");
}

TEST(IniFileTest, ReplacingAFileKeepsItsPermissionsAndLeavesNoTemporaryFiles)
{
    ScratchDir dir;
    const std::string file = dir / "a.ini";
    WriteAll(file, "[S]\nK=1\n");
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    ASSERT_TRUE(TIniFile(file).WriteString("S", "K", "2"));
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0640));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace quorvil
