#include "profile.h"

#include "ini_file.h"

#include <algorithm>

namespace quorvil {

namespace {

// The private-profile interface treats an empty name as a request to delete
// or enumerate; the program never means that, so it passes "none" instead.
std::string OrNone(const std::string& name)
{
    return name.empty() ? std::string("none") : name;
}

constexpr std::size_t kProfileBufferChars = 8192;

}  // namespace

bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& fileName)
{
    TIniFile ini(OrNone(fileName));
    return ini.WriteString(OrNone(section), OrNone(key), value);
}

std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& def,
                              const std::string& fileName)
{
    const TIniFile ini(OrNone(fileName));
    std::string value = ini.ReadString(OrNone(section), OrNone(key), def);
    value.resize(std::min(value.find('\0'), value.size()));
    if (value.size() > kProfileBufferChars)
        value.resize(kProfileBufferChars);
    return value;
}

}  // namespace quorvil
