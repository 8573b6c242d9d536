#pragma once
// Every setting of the configuration file, declared once: its section, its
// key, what it reads as while the file does not hold it, and its type (the
// declaration's). The program reads and writes them only through the
// accessors below, so a key is spelled in one place.
#include "file_system.h"
#include "ini_file.h"

#include <string>
#include <string_view>

namespace quorvil {

// A setting whose value is text: a path, a name, a list of widths. A '#'
// in its section or key stands for what the call names: a database's
// title, a screen's section, a number, a window's name, a value.
struct TTextSetting {
    std::string_view Section;
    std::string_view Key;
    // What a missing key reads as: the value of DefaultFrom when it is set,
    // else what DefaultOf gives when it is set, else Default.
    std::string_view Default;
    const TTextSetting* DefaultFrom = nullptr;
    std::string (*DefaultOf)() = nullptr;
};

// A setting stored as "1" or "0"; any other text reads as the default.
struct TFlagSetting {
    std::string_view Section;
    std::string_view Key;
    bool Default = false;
};

// What the call names for the '#' of a setting's section and key.
struct TSettingPlace {
    std::string_view Section = {};
    std::string_view Key = {};
};

namespace settings {

// "CONFIG": the files and the start-up.
inline constexpr TTextSetting RecentFile{"CONFIG", "File#", ""};  // 1 (the most recent) to 9
inline constexpr TTextSetting LastDatabase{"CONFIG", "LastDB", ""};
inline constexpr TTextSetting LoadDirectory{"CONFIG", "LoadDir", ""};
inline constexpr TFlagSetting SnapToDefaultButton{"CONFIG", "SnapToDefaultButton", false};
// A window's position and size ("#": its name), stored in the section of
// the screen's size (ScreenSection: "CONFIG.1024x768"); placing a window
// also reads the one under "CONFIG" (ReadWindowPosition).
inline constexpr TTextSetting WindowPosition{"#", "#Pos", ""};

// "SAVE": where the file dialogs start, and the export choices.
inline constexpr TTextSetting SaveDirectory{"SAVE", "Dir", "", nullptr, &ProgramDir};  // also New's
inline constexpr TTextSetting NewFileName{"SAVE", "Name", "NEW"};
inline constexpr TTextSetting CsvDirectory{"SAVE", "CSV", "", &SaveDirectory};  // also the CSV import's
inline constexpr TTextSetting HtmlDirectory{"SAVE", "HTM", "", &SaveDirectory};
inline constexpr TTextSetting TextDirectory{"SAVE", "TXT", "", &SaveDirectory};
inline constexpr TFlagSetting ImportUtf8{"SAVE", "ImportUTF8", false};
inline constexpr TTextSetting ProgramExportDirectory{"SAVE", "ProgramExportDir", ""};
inline constexpr TTextSetting CsvSeparator{"SAVE", "CsvSeparator", ","};  // "," or ";"
inline constexpr TFlagSetting CsvByteOrderMark{"SAVE", "CsvByteOrderMark", true};

// The section of a database's title.
inline constexpr TTextSetting ColumnWidths{"#", "ColWidth", ""};  // "64,120,40", in field order
inline constexpr TFlagSetting FilterRow{"#", "FilterRow", false};
inline constexpr TTextSetting Charset{"#", "Charset", "windows-1252"};  // an IANA name (CharsetName)
inline constexpr TTextSetting SplitFileName{"#", "#", ""};              // the key: a value of the split's field
// The printout's choices (print_options.h).
inline constexpr TTextSetting PrintLayout{"#", "PrintLayout", "table"};  // "table" or "cards"
inline constexpr TFlagSetting PrintLandscape{"#", "PrintLandscape", false};
inline constexpr TTextSetting PrintFields{"#", "PrintFields", ""};  // "1,3,2": field numbers in print order
inline constexpr TTextSetting PrintFontSize{"#", "PrintFontSize", "9"};

}  // namespace settings

std::string ReadText(const TIniFile& ini, const TTextSetting& setting, const TSettingPlace& place = {});
bool ReadFlag(const TIniFile& ini, const TFlagSetting& setting, const TSettingPlace& place = {});
// False, leaving the file as it was, when the file cannot be written or the
// name or value would break its structure (TIniFile::WriteString).
bool WriteText(TIniFile& ini, const TTextSetting& setting, const std::string& value, const TSettingPlace& place = {});
bool WriteFlag(TIniFile& ini, const TFlagSetting& setting, bool value, const TSettingPlace& place = {});
// One key of several written at once (TIniFile::WriteStrings).
TIniEntry TextEntry(const TTextSetting& setting, const std::string& value, const TSettingPlace& place = {});
TIniEntry FlagEntry(const TFlagSetting& setting, bool value, const TSettingPlace& place = {});

// The window's position in `screenSection`; when that is empty, the one
// stored under "CONFIG"; empty when neither exists.
std::string ReadWindowPosition(const TIniFile& ini, std::string_view window, std::string_view screenSection);

}  // namespace quorvil
