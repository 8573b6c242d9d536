#include "config_settings.h"

#include "config_store.h"

namespace quorvil {

namespace {

// The declaration's name with its '#' replaced by what the call names.
std::string Filled(std::string_view pattern, std::string_view name)
{
    std::string text(pattern);
    if (const std::size_t hash = text.find('#'); hash != std::string::npos)
        text.replace(hash, 1, name);
    return text;
}

std::string SectionOf(std::string_view pattern, const TSettingPlace& place)
{
    return Filled(pattern, place.Section);
}

std::string KeyOf(std::string_view pattern, const TSettingPlace& place)
{
    return Filled(pattern, place.Key);
}

// Reads no key is ever stored under, so that a missing key can be told from
// an empty one.
constexpr const char* kMissing = "\n";

}  // namespace

std::string ReadText(const TIniFile& ini, const TTextSetting& setting, const TSettingPlace& place)
{
    std::string value = ini.ReadString(SectionOf(setting.Section, place), KeyOf(setting.Key, place), kMissing);
    if (value != kMissing)
        return value;
    if (setting.DefaultFrom)
        return ReadText(ini, *setting.DefaultFrom, place);
    if (setting.DefaultOf)
        return setting.DefaultOf();
    return std::string(setting.Default);
}

bool ReadFlag(const TIniFile& ini, const TFlagSetting& setting, const TSettingPlace& place)
{
    const std::string value = ini.ReadString(SectionOf(setting.Section, place), KeyOf(setting.Key, place));
    if (value == "1")
        return true;
    if (value == "0")
        return false;
    return setting.Default;
}

TIniEntry TextEntry(const TTextSetting& setting, const std::string& value, const TSettingPlace& place)
{
    return {SectionOf(setting.Section, place), KeyOf(setting.Key, place), value};
}

TIniEntry FlagEntry(const TFlagSetting& setting, bool value, const TSettingPlace& place)
{
    return {SectionOf(setting.Section, place), KeyOf(setting.Key, place), value ? "1" : "0"};
}

bool WriteText(TIniFile& ini, const TTextSetting& setting, const std::string& value, const TSettingPlace& place)
{
    const TIniEntry entry = TextEntry(setting, value, place);
    return ini.WriteString(entry.Section, entry.Key, entry.Value);
}

bool WriteFlag(TIniFile& ini, const TFlagSetting& setting, bool value, const TSettingPlace& place)
{
    const TIniEntry entry = FlagEntry(setting, value, place);
    return ini.WriteString(entry.Section, entry.Key, entry.Value);
}

std::string ReadWindowPosition(const TIniFile& ini, std::string_view window, std::string_view screenSection)
{
    return ReadConfigString(ini, KeyOf(settings::WindowPosition.Key, {.Key = window}), std::string(screenSection));
}

}  // namespace quorvil
