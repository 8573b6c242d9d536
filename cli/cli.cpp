#include "cli.h"

#include "db_json.h"
#include "errors.h"
#include "jfile.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvil {

namespace {

const char* const kUsage =
    "usage: quorvil-cli info FILE [--json] [--records]\n"
    "       quorvil-cli create SPEC.json -o OUT [--layout N]\n"
    "       quorvil-cli convert FILE --layout N -o OUT\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Positional arguments and options of one subcommand; `flags` take no value.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::set<std::string> flags;
};

Arguments Parse(int argc, char** argv, const std::set<std::string>& valueOptions,
                const std::set<std::string>& flagOptions)
{
    Arguments args;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (valueOptions.count(a)) {
            if (i + 1 >= argc)
                throw UsageError(a + " needs a value");
            args.options[a] = argv[++i];
        } else if (flagOptions.count(a)) {
            args.flags.insert(a);
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else {
            args.positional.push_back(a);
        }
    }
    return args;
}

int LayoutOption(const Arguments& args, int fallback)
{
    auto it = args.options.find("--layout");
    if (it == args.options.end())
        return fallback;
    const std::string& v = it->second;
    if (v.size() != 1 || v[0] < '0' || v[0] > '3')
        throw UsageError("--layout takes 0, 1, 2 or 3");
    return v[0] - '0';
}

std::string Required(const Arguments& args, const char* option)
{
    auto it = args.options.find(option);
    if (it == args.options.end())
        throw UsageError(std::string(option) + " is required");
    return it->second;
}

int Info(int argc, char** argv, std::ostream& out)
{
    Arguments args = Parse(argc, argv, {}, {"--json", "--records"});
    if (args.positional.size() != 1)
        throw UsageError("info takes one file");
    auto db = Open(args.positional[0]);
    if (args.flags.count("--json"))
        out << DatabaseToJson(*db, args.flags.count("--records") > 0).dump(1) << "\n";
    else
        out << DatabaseSummary(*db);
    return 0;
}

int Create(int argc, char** argv, std::ostream&)
{
    Arguments args = Parse(argc, argv, {"-o", "--layout"}, {});
    if (args.positional.size() != 1)
        throw UsageError("create takes one description file");
    std::string output = Required(args, "-o");
    std::ifstream in(args.positional[0], std::ios::binary);
    if (!in)
        throw EStreamError("Cannot open file \"" + args.positional[0] + "\".");
    nlohmann::json spec;
    try {
        spec = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& e) {
        throw std::invalid_argument("Invalid JSON in \"" + args.positional[0] + "\": " + e.what());
    }
    int layout = 3;
    if (spec.is_object() && spec.contains("layout") && spec["layout"].is_number_integer())
        layout = spec["layout"].get<int>();
    layout = LayoutOption(args, layout);
    if (layout < 0 || layout > 3)
        throw std::invalid_argument("\"layout\" must be 0, 1, 2 or 3");

    bool existed = std::filesystem::exists(output);
    try {
        auto db = CreateNew(output);
        ApplySpec(*db, spec, layout);
        db->SaveWithName(db->PdbHeader.Name);
    } catch (...) {
        // A database that could not be built leaves no empty file behind.
        if (!existed)
            std::filesystem::remove(output);
        throw;
    }
    return 0;
}

int Convert(int argc, char** argv, std::ostream&)
{
    Arguments args = Parse(argc, argv, {"-o", "--layout"}, {});
    if (args.positional.size() != 1)
        throw UsageError("convert takes one file");
    std::string output = Required(args, "-o");
    int layout = LayoutOption(args, -1);
    if (layout < 0)
        throw UsageError("--layout is required");
    std::error_code ec;
    if (std::filesystem::equivalent(args.positional[0], output, ec))
        throw std::invalid_argument("The output file must not be the input file.");
    auto db = Open(args.positional[0]);
    db->ConvertLayout(layout);
    TMemoryStream image;
    db->Save(image);
    TFileStream::ReplaceFile(output, [&](TFileStream& file) {
        file.Write(image.Bytes().data(), image.Bytes().size());
    });
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
            return Info(argc, argv, out);
        if (command == "create")
            return Create(argc, argv, out);
        if (command == "convert")
            return Convert(argc, argv, out);
        if (command == "--help" || command == "-h") {
            out << kUsage;
            return 0;
        }
        throw UsageError("unknown command " + command);
    } catch (const UsageError& e) {
        err << "quorvil-cli: " << e.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::string message = e.what();
        for (char& c : message)
            if (c == '\n' || c == '\r')
                c = ' ';
        err << message << "\n";
        return 1;
    }
}

}  // namespace quorvil
