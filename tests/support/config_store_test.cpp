#include "config_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support_test_util.h"

namespace quorvil {
namespace {

using test::EnvScope;
using test::ReadAll;
using test::ScratchDir;
using test::WriteAll;

// Every test gets its own configuration directory.
class ConfigStoreTest : public ::testing::Test {
protected:
    ScratchDir dir_;
    EnvScope xdg_{"XDG_CONFIG_HOME", dir_ / "config"};
};

TEST_F(ConfigStoreTest, ConfigFileIsInXdgConfigHomeOrElseUnderHome)
{
    EXPECT_EQ(ConfigFileName(), dir_ / "config/Quorvil.INI");
    EnvScope home("HOME", dir_ / "home");
    EnvScope relative("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(WindowsDir(), dir_ / "home/.config/");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(WindowsDir(), dir_ / "home/.config/");
}

TEST_F(ConfigStoreTest, AMissingConfigReadsEmptyAndTheFirstWriteCreatesIt)
{
    EXPECT_EQ(OpenConfig()->ReadString("CONFIG", "LastDB"), "");
    ASSERT_TRUE(OpenConfig()->WriteString("CONFIG", "LastDB", "/data/stock.PDB"));
    EXPECT_EQ(ReadAll(ConfigFileName()), "[CONFIG]\nLastDB=/data/stock.PDB\n");
    EXPECT_EQ(OpenConfig()->ReadString("config", "lastdb"), "/data/stock.PDB");
}

TEST_F(ConfigStoreTest, WritingOneKeyKeepsCommentsMixedCaseKeysAndForeignSections)
{
    std::filesystem::create_directories(WindowsDir());
    WriteAll(ConfigFileName(),
             "; Quorvil settings\n"
             "\n"
             "[Config]\n"
             "File1=/data/a.PDB\n"
             "; the one we opened last\n"
             "lastDB=/data/a.PDB\n"
             "LoadDir=/data\n"
             "\n"
             "[Stock List]\n"
             "ColWidth=64,120,40\n"
             "\n"
             "[SomeoneElse]\n"
             "Key With Spaces=kept\n"
             "; closing remark\n");

    ASSERT_TRUE(OpenConfig()->WriteString("CONFIG", "LASTDB", "/data/b.PDB"));

    EXPECT_EQ(ReadAll(ConfigFileName()),
              "; Quorvil settings\n"
              "\n\n"
              "[Config]\n"
              "File1=/data/a.PDB\n"
              "\n"
              "; the one we opened last\n"
              "lastDB=/data/b.PDB\n"
              "LoadDir=/data\n"
              "\n\n"
              "[Stock List]\n"
              "ColWidth=64,120,40\n"
              "\n\n"
              "[SomeoneElse]\n"
              "Key With Spaces=kept\n"
              "; closing remark\n");
}

TEST_F(ConfigStoreTest, ScreenSectionIsPreferredOverConfig)
{
    ASSERT_TRUE(OpenConfig()->WriteString("CONFIG", "MainFormPos", "1,2,3,4"));
    const std::string screen = ScreenSection(1024, 768);
    EXPECT_EQ(screen, "CONFIG.1024x768");

    auto ini = OpenConfig();
    EXPECT_EQ(ReadConfigString(*ini, "MainFormPos", screen), "1,2,3,4");
    ASSERT_TRUE(ini->WriteString(screen, "MainFormPos", "10,20,640,480,MAX"));
    EXPECT_EQ(ReadConfigString(*ini, "MainFormPos", screen), "10,20,640,480,MAX");
    EXPECT_EQ(ReadConfigString(*ini, "MainFormPos", ScreenSection(800, 600)), "1,2,3,4");
    EXPECT_EQ(ReadConfigString(*ini, "EditFormPos", screen), "");
}

TEST(PositionTextTest, PositionTextListsTheNumbersAndTheState)
{
    EXPECT_EQ(PositionText(10, 20, 640, 480, WindowState::Maximized), "10,20,640,480,MAX");
    EXPECT_EQ(PositionText(-4, 0, 300, 200, WindowState::Minimized), "-4,0,300,200,MIN");
    EXPECT_EQ(PositionText(10, 20, 300, 200, WindowState::Normal), "10,20,300,200");
}

struct ParseCase {
    const char* text;
    PositionRequest::Action action;
    int left, top, width, height;
    WindowState state;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class ParsePositionTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParsePositionTest, StoredTextsGiveThePlacement)
{
    const ParseCase& c = GetParam();
    const PositionRequest r = ParsePositionText(c.text);
    EXPECT_EQ(r.action, c.action);
    if (c.action == PositionRequest::Action::Place) {
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.width, c.width);
        EXPECT_EQ(r.height, c.height);
        EXPECT_EQ(r.state, c.state);
    }
}

using A = PositionRequest::Action;
using S = WindowState;
INSTANTIATE_TEST_SUITE_P(
    Texts, ParsePositionTest,
    ::testing::Values(ParseCase{"10,20,300,200", A::Place, 10, 20, 300, 200, S::Normal},
                      ParseCase{"10,20,640,480,MAX", A::Place, 10, 20, 640, 480, S::Maximized},
                      ParseCase{"10,20,640,480,min", A::Place, 10, 20, 640, 480, S::Minimized},
                      ParseCase{"10,20,640,480,MAXI", A::Place, 10, 20, 640, 480, S::Normal},
                      ParseCase{"x,20,,480", A::Place, 0, 20, 0, 480, S::Normal},
                      ParseCase{"10,20", A::Unchanged, 0, 0, 0, 0, S::Normal},
                      ParseCase{"10,20,30", A::Unchanged, 0, 0, 0, 0, S::Normal},
                      ParseCase{"", A::Centre, 0, 0, 0, 0, S::Normal}));

TEST(PositionTextTest, CentringRoundsTowardZero)
{
    EXPECT_EQ(CentredOrigin(1024, 768, 301, 201), std::make_pair(361, 283));
    EXPECT_EQ(CentredOrigin(800, 600, 1025, 601), std::make_pair(-112, 0));
}

}  // namespace
}  // namespace quorvil
