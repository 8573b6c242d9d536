#include "print_options.h"

#include "config_settings.h"

#include <algorithm>
#include <charconv>

namespace quorvil {

namespace {

// "1,3,2" as numbers; a piece that is no number ends the list, as with the
// column widths.
std::vector<int> Numbers(const std::string& text)
{
    std::vector<int> numbers;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (at < end) {
        int value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc() || (next != end && *next != ','))
            break;
        numbers.push_back(value);
        at = next + (next != end ? 1 : 0);
    }
    return numbers;
}

std::string Joined(const std::vector<int>& numbers)
{
    std::string text;
    for (int n : numbers)
        text += (text.empty() ? "" : ",") + std::to_string(n);
    return text;
}

}  // namespace

TPrintOptions ReadPrintOptions(const TIniFile& ini, const std::string& title, int fieldCount)
{
    const TSettingPlace place{.Section = title};
    TPrintOptions options;
    options.Layout = ReadText(ini, settings::PrintLayout, place) == "cards" ? TPrintLayout::Cards : TPrintLayout::Table;
    options.Landscape = ReadFlag(ini, settings::PrintLandscape, place);
    for (int field : Numbers(ReadText(ini, settings::PrintFields, place)))
        if (field >= 1 && field <= fieldCount &&
            std::find(options.Fields.begin(), options.Fields.end(), field) == options.Fields.end())
            options.Fields.push_back(field);
    const std::vector<int> size = Numbers(ReadText(ini, settings::PrintFontSize, place));
    if (!size.empty())
        options.FontPoints = std::clamp(size.front(), kMinPrintFontPoints, kMaxPrintFontPoints);
    return options;
}

bool StorePrintOptions(TIniFile& ini, const std::string& title, const TPrintOptions& options)
{
    const TSettingPlace place{.Section = title};
    return ini.WriteStrings({
        TextEntry(settings::PrintLayout, options.Layout == TPrintLayout::Cards ? "cards" : "table", place),
        FlagEntry(settings::PrintLandscape, options.Landscape, place),
        TextEntry(settings::PrintFields, Joined(options.Fields), place),
        TextEntry(settings::PrintFontSize, std::to_string(options.FontPoints), place),
    });
}

}  // namespace quorvil
