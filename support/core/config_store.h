#pragma once
// The program's configuration file and the texts of stored window positions.
// Knows nothing of windows: screen sizes come from the caller, and applying a
// parsed position to a window is the user interface's part.
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "ini_file.h"

namespace quorvil {

// The per-user configuration directory ($XDG_CONFIG_HOME when it is an
// absolute path, else ~/.config), with a trailing separator.
std::string WindowsDir();
// WindowsDir() + "Quorvil.INI".
std::string ConfigFileName();
// The configuration file; writing creates it and its directory. Open it
// around each use.
std::unique_ptr<TIniFile> OpenConfig();

inline constexpr const char* kConfigSection = "CONFIG";

// "CONFIG.<width>x<height>", for example CONFIG.1024x768.
std::string ScreenSection(int width, int height);
// The value under `key` in `screenSection`; when that is empty, the value
// under `key` in "CONFIG"; empty when neither exists.
std::string ReadConfigString(const TIniFile& ini, const std::string& key, const std::string& screenSection);

enum class WindowState { Normal, Maximized, Minimized };

// "left,top,width,height" plus ",MAX" or ",MIN", as in 10,20,640,480,MAX.
std::string PositionText(int left, int top, int width, int height, WindowState state);

struct PositionRequest {
    enum class Action {
        Unchanged,  // too few numbers: leave the window as it is
        Centre,     // empty text: centre a window that is placed at the screen's centre
        Place,      // move to left/top, resize a sizeable window, set the state
    };
    Action action = Action::Unchanged;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    WindowState state = WindowState::Normal;
};

// Reads a stored position text (any case): four comma-separated integers,
// non-numbers counting as 0, then "MAX" or "MIN" for the state.
PositionRequest ParsePositionText(std::string_view text);

// The left and top that centre a window on the screen, rounded toward zero.
std::pair<int, int> CentredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

}  // namespace quorvil
