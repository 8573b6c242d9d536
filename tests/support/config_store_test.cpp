#include "config_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "test_files.h"

namespace quorvil {
namespace {

// Sets an environment variable for one scope and restores it afterwards.
void SetEnv(const char* name, const char* value)
{
#if defined(_WIN32)
    ::_putenv_s(name, value ? value : "");
#else
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
#endif
}

class EnvScope {
public:
    EnvScope(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        SetEnv(name, value.c_str());
    }
    ~EnvScope() { SetEnv(name_, old_ ? old_->c_str() : nullptr); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ConfigStoreTest, the_file_is_in_xdg_config_home_and_the_screen_section_is_preferred_over_config)
{
    testkit::TempDir dir;
    EnvScope xdg("XDG_CONFIG_HOME", dir / "config");
    EXPECT_EQ(ConfigFileName(), dir / "config/Quorvil.INI");
    EXPECT_EQ(OpenConfig()->ReadString("CONFIG", "MainFormPos"), "");
    ASSERT_TRUE(OpenConfig()->WriteString("CONFIG", "MainFormPos", "1,2,3,4"));
    EXPECT_EQ(testkit::ReadText(ConfigFileName()), "[CONFIG]\r\nMainFormPos=1,2,3,4\r\n");
    const std::string screen = ScreenSection(1024, 768);
    EXPECT_EQ(screen, "CONFIG.1024x768");
    auto ini = OpenConfig();
    EXPECT_EQ(ReadConfigString(*ini, "MainFormPos", screen), "1,2,3,4");
    ASSERT_TRUE(ini->WriteString(screen, "MainFormPos", "10,20,640,480,MAX"));
    EXPECT_EQ(ReadConfigString(*ini, "mainformpos", screen), "10,20,640,480,MAX");
    EXPECT_EQ(ReadConfigString(*ini, "MainFormPos", ScreenSection(800, 600)), "1,2,3,4");

    EnvScope home("HOME", dir / "home");
    EnvScope relative("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(WindowsDir(), dir / "home/.config/") << "a relative XDG_CONFIG_HOME is ignored";
}

#if defined(_WIN32)
TEST(ConfigStoreTest, the_file_is_in_the_roaming_application_data_folder)
{
    const char* appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(ConfigFileName(), std::string(appData) + "\\Quorvil.INI");
    testkit::TempDir dir;
    EnvScope moved("APPDATA", dir.Path());
    EXPECT_EQ(ConfigFileName(), dir.Path() + "\\Quorvil.INI");
    EnvScope relative("APPDATA", "relative\\dir");
    EXPECT_EQ(ConfigFileName(), std::string(appData) + "\\Quorvil.INI") << "a relative folder is ignored";
}
#endif

using A = PositionRequest::Action;
using S = WindowState;

TEST(PositionTextTest, stored_texts_give_the_placement_and_placements_their_text)
{
    const struct {
        const char* text;
        A action;
        std::vector<int> box;
        S state;
        bool canonical;  // PositionText gives the text back
    } cases[] = {
        {"10,20,300,200", A::Place, {10, 20, 300, 200}, S::Normal, true},
        {"-4,0,640,480,MAX", A::Place, {-4, 0, 640, 480}, S::Maximized, true},
        {"10,20,640,480,min", A::Place, {10, 20, 640, 480}, S::Minimized, false},
        {"x,20,,480", A::Place, {0, 20, 0, 480}, S::Normal, false},
        {"10,20,30", A::Unchanged, {}, S::Normal, false},
        {"", A::Centre, {}, S::Normal, false},
    };
    for (const auto& c : cases) {
        const PositionRequest r = ParsePositionText(c.text);
        EXPECT_EQ(r.action, c.action) << c.text;
        if (c.action != A::Place)
            continue;
        EXPECT_EQ(std::vector<int>({r.left, r.top, r.width, r.height}), c.box) << c.text;
        EXPECT_EQ(r.state, c.state) << c.text;
        if (c.canonical) {
            EXPECT_EQ(PositionText(c.box[0], c.box[1], c.box[2], c.box[3], c.state), c.text);
        }
    }
    EXPECT_EQ(CentredOrigin(1024, 768, 301, 201), std::make_pair(361, 283)) << "rounds toward zero";
}

}  // namespace
}  // namespace quorvil
