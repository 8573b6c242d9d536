#include "cli.h"

#include "cli_args.h"
#include "cli_diagnostics.h"
#include "cli_exchange.h"
#include "cli_pdf.h"
#include "cli_where.h"
#include "csv_import.h"
#include "database_charset.h"
#include "db_json.h"
#include "errors.h"
#include "export.h"
#include "jfile.h"
#include "json_export.h"
#include "latin1.h"
#include "program_export.h"
#include "quorvil_version.h"
#include "save_as.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvil {

namespace {

const char* const kUsage =
    "usage: quorvil-cli info FILE [--json] [--records] [--charset NAME]\n"
    "       quorvil-cli create SPEC.json -o OUT [--layout N] [--charset NAME]\n"
    "       quorvil-cli convert FILE --layout N -o OUT\n"
    "       quorvil-cli export csv|html|txt FILE -o OUT [--fields 1,3,2] [--where FIELD OP VALUE]...\n"
    "       quorvil-cli export csv-utf8 FILE -o OUT [--fields 1,3,2] [--separator ';'] [--bom]\n"
    "                                  [--where FIELD OP VALUE]...\n"
#ifdef QUORVIL_XLSX_EXPORT
    "       quorvil-cli export xlsx FILE -o OUT [--fields 1,3,2] [--where FIELD OP VALUE]...\n"
#endif
    "       quorvil-cli export html5|json FILE -o OUT [--fields 1,3,2] [--where FIELD OP VALUE]...\n"
#ifdef QUORVIL_PDF_EXPORT
    "       quorvil-cli export pdf FILE -o OUT [--fields 1,3,2] [--cards] [--landscape] [--font-size N]\n"
    "                              [--where FIELD OP VALUE]...\n"
#endif
    "       quorvil-cli import FILE.CSV -o OUT.PDB [--layout N] [--no-header] [--utf8 [--separator ';']]\n"
    "                          [--charset NAME]\n"
    "       quorvil-cli split FILE [--field NAME] [-d DIR] [--formats pdb,csv,html,txt] [--all-values]\n"
    "                         [--global FIELD=VALUE]... [--where FIELD OP VALUE]...\n"
    "       quorvil-cli copy SOURCE TARGET [--records 1,4-9] [--key NAME | --no-key] [--without-unlisted]\n"
    "                        [--where FIELD OP VALUE]...\n"
    "       quorvil-cli merge MASTER OTHER -o OUT [--id NAME] [--map MAP.json] [--overwrite F,G] [--skip F,G]\n"
    "                         [--without-unlisted]\n"
    "       quorvil-cli --help | --version\n"
    "--where keeps the records whose FIELD passes OP VALUE; OP is contains, =, <, >, <=, >= or ..\n"
    "(VALUE then a..b); text fields take contains, Boolean fields =, List fields contains and =.\n"
    "--charset NAME (info, create, export, import, split, copy) reads the database's texts in that character set:\n"
    "windows-1252 (the default), windows-1250, windows-1251, windows-1253, windows-1254, windows-1257,\n"
    "shift_jis, gbk, big5 or euc-kr.\n";

// None when the option is absent.
std::optional<TLayout> LayoutOption(const Arguments& args)
{
    auto it = args.options.find("--layout");
    if (it == args.options.end())
        return std::nullopt;
    const std::string& v = it->second;
    const std::optional<TLayout> layout = v.size() == 1 ? LayoutFromNumber(v[0] - '0') : std::nullopt;
    if (!layout)
        throw UsageError("--layout takes 0, 1, 2 or 3");
    return layout;
}

int Info(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    Arguments args = Parse(argc, argv, {"--charset"}, {"--json", "--records"});
    if (args.positional.size() != 1)
        throw UsageError("info takes one file");
    const std::optional<TCharset> set = CharsetOption(args);
    auto db = OpenToRead(args.positional[0], err);
    if (set)
        db->SetCharset(*set);
    if (args.flags.count("--json")) {
        WriteJsonTo(
            *db, AllFields(*db), args.flags.count("--records") > 0,
            [&](const char* data, size_t size) { out.write(data, std::streamsize(size)); }, set);
    } else {
        out << DatabaseSummary(*db);
        // People read this form: the set the texts seem to be in, unless given.
        if (const std::optional<TCharset> guess = set ? std::nullopt : GuessCharset(*db))
            out << "Charset:     perhaps " << CharsetName(*guess) << " (give it with --charset)\n";
    }
    return 0;
}

int Create(int argc, char** argv, std::ostream&)
{
    Arguments args = Parse(argc, argv, {"-o", "--layout", "--charset"}, {});
    if (args.positional.size() != 1)
        throw UsageError("create takes one description file");
    const std::string output = Required(args, "-o");
    CreateFromSpec(args.positional[0], output, LayoutOption(args), CharsetOption(args));
    return 0;
}

int Convert(int argc, char** argv, std::ostream& err)
{
    Arguments args = Parse(argc, argv, {"-o", "--layout"}, {});
    if (args.positional.size() != 1)
        throw UsageError("convert takes one file");
    std::string output = Required(args, "-o");
    const std::optional<TLayout> layout = LayoutOption(args);
    if (!layout)
        throw UsageError("--layout is required");
    std::error_code ec;
    if (std::filesystem::equivalent(args.positional[0], output, ec))
        throw std::invalid_argument("The output file must not be the input file.");
    auto db = OpenToRead(args.positional[0], err);
    TSaveAs saveAs(*db, *layout, output);
    // The tool asks nothing: it says on one line what the layout does not
    // keep, before it writes, and leaves the exit status to the write.
    Warn(err, BytesToUtf8(saveAs.Losses().Line()));
    saveAs.Write();
    return 0;
}

// The numbers of a "--fields" list such as "1,3,2", without range checks.
std::vector<int> ParseFieldList(const std::string& list)
{
    std::vector<int> fields;
    size_t start = 0;
    while (true) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item.empty() || item.size() > 5 || item.find_first_not_of("0123456789") != std::string::npos)
            throw UsageError("--fields takes field numbers separated by commas, such as 1,3,2");
        fields.push_back(std::stoi(item));
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

// "csv, html, txt, csv-utf8, ..., json": the names `export` takes.
std::string ExportFormatNames()
{
    std::string names = "csv, html, txt";
    for (TProgramFormat format : kProgramFormats)
        if (ProgramFormatAvailable(format))
            names += std::string(", ") + ProgramFormatKind(format).CliName;
    if (PdfExportAvailable())
        names += ", pdf";
    return names;
}

// --separator and --bom, which only csv-utf8 takes.
TStandardCsvOptions CsvOptions(const Arguments& args, std::optional<TProgramFormat> program)
{
    TStandardCsvOptions csvOptions;
    csvOptions.ByteOrderMark = args.flags.count("--bom") > 0;
    if (auto separator = args.options.find("--separator"); separator != args.options.end()) {
        if (separator->second != "," && separator->second != ";")
            throw UsageError("--separator takes ',' or ';'");
        csvOptions.Separator = separator->second[0];
    }
    if (program != TProgramFormat::CSV && (csvOptions.ByteOrderMark || args.options.count("--separator")))
        throw UsageError("--separator and --bom are options of csv-utf8");
    return csvOptions;
}

int Export(int argc, char** argv, std::ostream& err)
{
    Arguments args = Parse(argc, argv, {"-o", "--fields", "--separator", "--charset", "--font-size"},
                           {"--bom", "--cards", "--landscape"}, WhereOption());
    if (args.positional.size() != 2)
        throw UsageError("export takes a format and one file");
    const std::map<std::string, TExportFormat> formats = {
        {"csv", TExportFormat::CSV}, {"html", TExportFormat::HTML}, {"txt", TExportFormat::TXT}};
    auto format = formats.find(args.positional[0]);
    const std::optional<TProgramFormat> program = ProgramFormatNamed(args.positional[0]);
    const bool pdf = args.positional[0] == "pdf";
    if (pdf && !PdfExportAvailable())
        throw UsageError("this build has no PDF export (it was built without Qt); export formats are " +
                         ExportFormatNames());
    if (format == formats.end() && !pdf && (!program || !ProgramFormatAvailable(*program)))
        throw UsageError("export formats are " + ExportFormatNames());
    if (!pdf && (args.flags.count("--cards") || args.flags.count("--landscape") || args.options.count("--font-size")))
        throw UsageError("--cards, --landscape and --font-size are options of pdf");
    TPrintOptions printOptions = pdf ? PdfOptions(args) : TPrintOptions{};
    const TStandardCsvOptions csvOptions = CsvOptions(args, program);
    std::string output = Required(args, "-o");
    auto listed = args.options.find("--fields");
    std::vector<int> fields;
    if (listed != args.options.end())
        fields = ParseFieldList(listed->second);

    const std::optional<TCharset> set = CharsetOption(args);
    auto db = OpenToRead(args.positional[1], err);
    if (set)
        db->SetCharset(*set);
    if (listed == args.options.end())
        fields = AllFields(*db);
    for (int f : fields)
        if (f < 1 || f > db->FieldCount())
            throw UsageError("--fields: there is no field " + std::to_string(f) + " (the database has " +
                             std::to_string(db->FieldCount()) + ")");
    const std::unique_ptr<TJFILE> passing = DatabaseWhere(*db, args);
    TJFILE& source = passing ? *passing : *db;
    if (pdf) {
        printOptions.Fields = fields;
        ExportPdf(source, printOptions, output);
    } else if (program == TProgramFormat::JSON && !set) {
        // Without a set, the form `create` reads back, as `info --json` prints it.
        WriteJson(source, fields, output, std::nullopt);
    } else if (program) {
        ExportForProgram(source, *program, fields, csvOptions, output);
    } else {
        if (format->second == TExportFormat::CSV)
            Warn(err, BytesToUtf8(PopupCommaMessage(source, fields)));
        Export(source, format->second, fields, output);
    }
    return 0;
}

// A CSV file (with its .DEF beside it, when there is one) as a new database.
int Import(int argc, char** argv, std::ostream& err)
{
    Arguments args = Parse(argc, argv, {"-o", "--layout", "--separator", "--charset"}, {"--no-header", "--utf8"});
    if (args.positional.size() != 1)
        throw UsageError("import takes one CSV file");
    const std::string output = Required(args, "-o");
    TCsvImportOptions options;
    options.Layout = LayoutOption(args);
    options.HeaderLine = args.flags.count("--no-header") == 0;
    options.Utf8 = args.flags.count("--utf8") > 0;
    options.Charset = CharsetOption(args).value_or(TCharset::Windows1252);
    if (auto separator = args.options.find("--separator"); separator != args.options.end()) {
        if (!options.Utf8)
            throw UsageError("--separator is an option of --utf8");
        if (separator->second != "," && separator->second != ";")
            throw UsageError("--separator takes ',' or ';'");
        options.Separator = separator->second[0];
    }
    std::error_code ec;
    if (std::filesystem::equivalent(args.positional[0], output, ec))
        throw std::invalid_argument("The output file must not be the input file.");
    TJFILE db;
    db.InitNew();
    const std::string note = ImportCSV(args.positional[0], options, db);
    WriteInLayout(db, db.Layout(), output);
    Warn(err, note);
    return 0;
}

}  // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    if (argc < 2) {
        err << kUsage;
        return 2;
    }
    std::string command = argv[1];
    try {
        if (command == "info")
            return Info(argc, argv, out, err);
        if (command == "create")
            return Create(argc, argv, out);
        if (command == "convert")
            return Convert(argc, argv, err);
        if (command == "export")
            return Export(argc, argv, err);
        if (command == "import")
            return Import(argc, argv, err);
        if (command == "split")
            return SplitCommand(argc, argv, err);
        if (command == "copy")
            return CopyCommand(argc, argv, out, err);
        if (command == "merge")
            return MergeCommand(argc, argv, out, err);
        if (command == "--help" || command == "-h") {
            out << kUsage;
            return 0;
        }
        if (command == "--version") {
            out << "quorvil-cli " << kVersion << "\n";
            return 0;
        }
        throw UsageError("unknown command " + command);
    } catch (const UsageError& e) {
        err << "quorvil-cli: " << e.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& e) {
        err << OneLine(e.what()) << "\n";
        return 1;
    }
}

}  // namespace quorvil
