#include "config_store.h"

#include <gtest/gtest.h>

#include "support_test_util.h"

namespace quorvil {
namespace {

using test::EnvScope;

class ConfigStoreTest : public ::testing::Test {
protected:
    test::ScratchDir dir_;
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
    EXPECT_EQ(test::ReadText(ConfigFileName()), "[CONFIG]\nLastDB=/data/stock.PDB\n");
    EXPECT_EQ(OpenConfig()->ReadString("config", "lastdb"), "/data/stock.PDB");
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

using A = PositionRequest::Action;
using S = WindowState;

TEST(PositionTextTest, StoredTextsGiveThePlacementAndPlacementsTheirText)
{
    const struct {
        const char* text;
        A action;
        int left, top, width, height;
        S state;
        bool canonical;  // PositionText gives the text back
    } cases[] = {
        {"10,20,300,200", A::Place, 10, 20, 300, 200, S::Normal, true},
        {"10,20,640,480,MAX", A::Place, 10, 20, 640, 480, S::Maximized, true},
        {"-4,0,300,200,MIN", A::Place, -4, 0, 300, 200, S::Minimized, true},
        {"10,20,640,480,min", A::Place, 10, 20, 640, 480, S::Minimized, false},
        {"10,20,640,480,MAXI", A::Place, 10, 20, 640, 480, S::Normal, false},
        {"x,20,,480", A::Place, 0, 20, 0, 480, S::Normal, false},
        {"10,20", A::Unchanged, 0, 0, 0, 0, S::Normal, false},
        {"10,20,30", A::Unchanged, 0, 0, 0, 0, S::Normal, false},
        {"", A::Centre, 0, 0, 0, 0, S::Normal, false},
    };
    for (const auto& c : cases) {
        const PositionRequest r = ParsePositionText(c.text);
        EXPECT_EQ(r.action, c.action) << c.text;
        if (c.action != A::Place)
            continue;
        EXPECT_EQ(std::vector<int>({r.left, r.top, r.width, r.height}),
                  std::vector<int>({c.left, c.top, c.width, c.height}))
            << c.text;
        EXPECT_EQ(r.state, c.state) << c.text;
        if (c.canonical) {
            EXPECT_EQ(PositionText(c.left, c.top, c.width, c.height, c.state), c.text);
        }
    }
    EXPECT_EQ(CentredOrigin(1024, 768, 301, 201), std::make_pair(361, 283)) << "rounds toward zero";
    EXPECT_EQ(CentredOrigin(800, 600, 1025, 601), std::make_pair(-112, 0));
}

}  // namespace
}  // namespace quorvil
