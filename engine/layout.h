#pragma once
// The four JFile layouts a database can be written in, and what each one
// holds. Code asks this table instead of comparing layout numbers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvil {

// The numbers are the ones the command line, the JSON description and the
// editor's layout box use.
enum class TLayout : uint8_t {
    JFile3 = 0,     // JFile 3.x
    JFilePro4 = 1,  // JFile Pro 4.x
    JFile5 = 2,     // JFile 5.x
    JFile55 = 3,    // JFile 5.5
};

struct TLayoutFacts {
    const char* Name;  // for the user: "JFile 3.x"
    // The header's creator and type. The reader tells the layout by the
    // creator alone, so a layout that shares one reads back as `ReadsAs`.
    const char* Creator;
    const char* DbType;
    TLayout ReadsAs;
    int MaxFields;
    size_t LongestValue;  // the longest cell text written; longer ones are cut
    uint16_t LayoutTag;   // written into the application-info block
    // Records begin with a table of their fields' lengths; without it they
    // are NUL-terminated texts only.
    bool LengthTable;
    bool EndMark;        // "EndJFileData" after the chunk area
    bool SavedSettings;  // defaults, saved sorts and saved filters
    // Category and read-only flag live in the Palm header's Version word
    // instead of the block's Flags word.
    bool HeaderFlags;
    bool IntDates;  // "INT.DATE" fields
};

// In the order of their numbers.
inline constexpr std::array<TLayout, 4> kAllLayouts{TLayout::JFile3, TLayout::JFilePro4, TLayout::JFile5,
                                                    TLayout::JFile55};

inline constexpr std::array<TLayoutFacts, 4> kLayoutFacts{{
    {.Name = "JFile 3.x",
     .Creator = "JBas",
     .DbType = "JfDb",
     .ReadsAs = TLayout::JFile3,
     .MaxFields = 20,
     .LongestValue = 4000,
     .LayoutTag = 452,
     .LengthTable = false,
     .EndMark = false,
     .SavedSettings = false,
     .HeaderFlags = false,
     .IntDates = false},
    {.Name = "JFile Pro 4.x",
     .Creator = "JFil",
     .DbType = "JfDb",
     .ReadsAs = TLayout::JFilePro4,
     .MaxFields = 50,
     .LongestValue = 4000,
     .LayoutTag = 576,
     .LengthTable = true,
     .EndMark = true,
     .SavedSettings = false,
     .HeaderFlags = false,
     .IntDates = false},
    {.Name = "JFile 5.x",
     .Creator = "JFi5",
     .DbType = "JfD5",
     .ReadsAs = TLayout::JFile55,
     .MaxFields = 50,
     .LongestValue = 4000,
     .LayoutTag = 576,
     .LengthTable = true,
     .EndMark = true,
     .SavedSettings = true,
     .HeaderFlags = true,
     .IntDates = false},
    {.Name = "JFile 5.5",
     .Creator = "JFi5",
     .DbType = "JfD5",
     .ReadsAs = TLayout::JFile55,
     .MaxFields = 50,
     .LongestValue = 32000,
     .LayoutTag = 576,
     .LengthTable = true,
     .EndMark = true,
     .SavedSettings = true,
     .HeaderFlags = true,
     .IntDates = true},
}};

constexpr const TLayoutFacts& Facts(TLayout layout)
{
    return kLayoutFacts[size_t(layout)];
}

constexpr int Number(TLayout layout)
{
    return int(layout);
}

// The layout of a number typed by the user or read from a file; none for a
// number outside 0..3.
constexpr std::optional<TLayout> LayoutFromNumber(long long number)
{
    if (number < 0 || number >= (long long)kAllLayouts.size())
        return std::nullopt;
    return kAllLayouts[size_t(number)];
}

// The layout a file with header creator `creator` is read as; none when no
// layout has that creator.
constexpr std::optional<TLayout> LayoutOfCreator(std::string_view creator)
{
    for (TLayout layout : kAllLayouts)
        if (creator == Facts(layout).Creator)
            return Facts(layout).ReadsAs;
    return std::nullopt;
}

}  // namespace quorvil
