#include "save_places.h"

#include "config_settings.h"
#include "file_names.h"
#include "file_system.h"
#include "jfile.h"
#include "text_utils.h"

#include <filesystem>

namespace quorvil {

namespace {

namespace fs = std::filesystem;

std::string DirectoryOf(const std::string& fileName)
{
    return fs::path(fileName).parent_path().string();
}

}  // namespace

std::string SaveAsDirectory(const TIniFile& ini, const TJFILE& db)
{
    std::string directory = ReadText(ini, settings::SaveDirectory);
    if (!DirectoryExists(directory))
        directory = DirectoryOf(db.FileName);
    return RemoveBackslash(directory);
}

void RememberSaveAsDirectory(TIniFile& ini, const std::string& fileName)
{
    WriteText(ini, settings::SaveDirectory, RemoveBackslash(DirectoryOf(fileName)));
}

std::string ExportDirectory(const TIniFile& ini, TExportFormat format)
{
    std::string directory = ReadText(ini, *ExportKind(format).Directory);
    if (!DirectoryExists(directory))
        directory = ProgramDir();
    return RemoveBackslash(directory);
}

void RememberExportDirectory(TIniFile& ini, TExportFormat format, const std::string& fileName)
{
    WriteText(ini, *ExportKind(format).Directory, AddBackslash(DirectoryOf(fileName)));
}

std::string ProgramExportDirectory(const TIniFile& ini, const TJFILE& db)
{
    std::string directory = ReadText(ini, settings::ProgramExportDirectory);
    if (directory.empty() || !DirectoryExists(directory))
        directory = DirectoryOf(db.FileName);
    return RemoveBackslash(directory);
}

void RememberProgramExportDirectory(TIniFile& ini, const std::string& fileName)
{
    WriteText(ini, settings::ProgramExportDirectory, RemoveBackslash(DirectoryOf(fileName)));
}

TStandardCsvOptions StoredCsvOptions(const TIniFile& ini)
{
    TStandardCsvOptions options;
    options.Separator = ReadText(ini, settings::CsvSeparator) == ";" ? ';' : ',';
    options.ByteOrderMark = ReadFlag(ini, settings::CsvByteOrderMark);
    return options;
}

void StoreCsvOptions(TIniFile& ini, const TStandardCsvOptions& options)
{
    ini.WriteStrings({TextEntry(settings::CsvSeparator, std::string(1, options.Separator)),
                      FlagEntry(settings::CsvByteOrderMark, options.ByteOrderMark)});
}

std::string CompleteFileName(const std::string& chosen, const std::string& directory, const std::string& extension)
{
    std::string name = chosen;
    if (!fs::path(chosen).has_parent_path()) {
        std::error_code ec;
        fs::path absolute = fs::absolute(directory, ec);
        name = AddBackslash(ec ? directory : absolute.string()) + chosen;
    }
    // The whole extension, not DefaultExtension's three letters: the Access
    // export's file may be ".sqlite".
    if (fs::path(name).filename().string().find('.') == std::string::npos)
        name += "." + extension;
    return name;
}

std::string OverwriteQuestion(const std::string& fileName)
{
    return OverwriteQuestion(std::vector<std::string>{fileName});
}

std::string OverwriteQuestion(const std::vector<std::string>& fileNames)
{
    std::vector<std::string> names;
    for (const std::string& name : fileNames)
        names.push_back(QuotedIfSpaced(name));
    return (fileNames.size() == 1 ? "Overwrite existing file " : "Overwrite existing files ") + Listed(names) + "?";
}

}  // namespace quorvil
