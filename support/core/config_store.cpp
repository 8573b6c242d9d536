#include "config_store.h"

#include "numbers.h"
#include "system_paths.h"
#include "text_case.h"

namespace quorvil {

std::string WindowsDir()
{
    return sys::ConfigDirectory();
}

std::string ConfigFileName()
{
    return WindowsDir() + "Quorvil.INI";
}

std::unique_ptr<TIniFile> OpenConfig()
{
    return std::make_unique<TIniFile>(ConfigFileName(), true);
}

std::string ScreenSection(int width, int height)
{
    return std::string(kConfigSection) + "." + std::to_string(width) + "x" + std::to_string(height);
}

std::string ReadConfigString(const TIniFile& ini, const std::string& key, const std::string& screenSection)
{
    std::string value = ini.ReadString(screenSection, key);
    if (value.empty())
        value = ini.ReadString(kConfigSection, key);
    return value;
}

std::string PositionText(int left, int top, int width, int height, WindowState state)
{
    std::string text = std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(width) + "," +
                       std::to_string(height);
    if (state == WindowState::Maximized)
        text += ",MAX";
    else if (state == WindowState::Minimized)
        text += ",MIN";
    return text;
}

PositionRequest ParsePositionText(std::string_view text)
{
    PositionRequest request;
    if (text.empty()) {
        request.action = PositionRequest::Action::Centre;
        return request;
    }
    std::string rest = UpperCase(text) + ",";
    int numbers[4];
    for (int& n : numbers) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string::npos)
            return request;
        n = TextToInt(std::string_view(rest).substr(0, comma));
        rest.erase(0, comma + 1);
    }
    request.action = PositionRequest::Action::Place;
    request.left = numbers[0];
    request.top = numbers[1];
    request.width = numbers[2];
    request.height = numbers[3];
    if (rest == "MAX,")
        request.state = WindowState::Maximized;
    else if (rest == "MIN,")
        request.state = WindowState::Minimized;
    return request;
}

std::pair<int, int> CentredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight)
{
    // Integer division in C++ rounds toward zero, as the placement rule asks.
    return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
}

}  // namespace quorvil
