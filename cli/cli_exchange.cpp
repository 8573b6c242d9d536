#include "cli_exchange.h"

#include "cli_args.h"
#include "cli_diagnostics.h"
#include "cli_where.h"
#include "copy_records.h"
#include "field_types.h"
#include "jfile.h"
#include "latin1.h"
#include "merge.h"
#include "save_as.h"
#include "split.h"
#include "text_case.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <ostream>

namespace quorvil {

namespace {

// The field chosen by --field, or the only List field.
int SplitField(const TJFILE& db, const Arguments& args)
{
    const std::vector<int> lists = ListFields(db);
    if (lists.empty())
        throw std::invalid_argument(kNoListFieldMessage);
    auto named = args.options.find("--field");
    if (named == args.options.end()) {
        if (lists.size() > 1)
            throw UsageError("--field is required: the database has several List fields");
        return lists.front();
    }
    const int field = LastFieldNamed(db, TextBytes(named->second, CharsetOption(args)));
    if (field == 0 || db.GetFieldType(field) != TFieldType::List)
        throw UsageError("--field: there is no List field " + named->second);
    return field;
}

TSplitFormats SplitFormats(const Arguments& args)
{
    auto listed = args.options.find("--formats");
    if (listed == args.options.end())
        return {};
    TSplitFormats formats{false, false, false, false};
    for (const std::string& f : SplitList(listed->second)) {
        bool& flag = f == "pdb"    ? formats.PDB
                     : f == "csv"  ? formats.CSV
                     : f == "html" ? formats.HTM
                     : f == "txt"  ? formats.TXT
                                   : throw UsageError("--formats takes pdb, csv, html and txt");
        flag = true;
    }
    return formats;
}

// Record numbers of a list such as "1,4-9", in that order.
std::vector<int> RecordList(const std::string& list, int count)
{
    std::vector<int> records;
    for (const std::string& item : SplitList(list)) {
        const size_t dash = item.find('-');
        int first = 0, last = 0;
        try {
            first = std::stoi(item.substr(0, dash));
            last = dash == std::string::npos ? first : std::stoi(item.substr(dash + 1));
        } catch (const std::exception&) {
            throw UsageError("--records takes record numbers and ranges such as 1,4-9");
        }
        if (first < 1 || last > count || first > last)
            throw UsageError("--records: " + item + " is not a range of records 1.." + std::to_string(count));
        for (int r = first; r <= last; ++r)
            records.push_back(r);
    }
    return records;
}

// The field of the other database named `name` (any case), from 1.
size_t OtherField(const TJFILE& other, const std::string& name, const char* option)
{
    const int f = other.FieldIndexByName(Utf8ToBytes(name));
    if (f == 0)
        throw UsageError(std::string(option) + ": the other database has no field " + name);
    return size_t(f - 1);
}

void ApplyMapFile(const TJFILE& master, const TJFILE& other, const std::string& path, TMergeChoice& choice)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::invalid_argument("Cannot open file \"" + path + "\".");
    nlohmann::json map;
    try {
        map = nlohmann::json::parse(in);
        if (map.contains("id"))
            choice.IdName = Utf8ToBytes(map.at("id").get<std::string>());
        if (!map.contains("fields"))
            return;
        for (const auto& [name, spec] : map.at("fields").items()) {
            const size_t j = OtherField(other, name, "--map");
            TFieldMapping& m = choice.Fields[j];
            m.Copy = spec.value("copy", true);
            m.Overwrite = spec.value("overwrite", m.Overwrite);
            if (spec.contains("to")) {
                if (spec.at("to").is_null()) {
                    m.MasterField = 0;
                    // Without a name the new field takes the other field's own (the key may differ in case).
                    m.NewName = spec.contains("name") ? Utf8ToBytes(spec.at("name").get<std::string>())
                                                      : other.GetFieldName(int(j) + 1);
                    if (m.NewName.find('\0') != std::string::npos)
                        throw std::invalid_argument("The new field for " + name + " has a name with a NUL character.");
                } else {
                    const std::string to = Utf8ToBytes(spec.at("to").get<std::string>());
                    m.MasterField = master.FieldIndexByName(to);
                    if (m.MasterField == 0)
                        throw std::invalid_argument("The master database has no field " + spec.at("to").dump() + ".");
                }
            }
        }
    } catch (const nlohmann::json::exception& e) {
        throw std::invalid_argument("Invalid mapping in \"" + path + "\": " + e.what());
    }
}

}  // namespace

TMergeChoice MergeChoice(const TJFILE& master, const TJFILE& other, const Arguments& args)
{
    TMergeChoice choice = DefaultMergeChoice(master, other);
    if (auto map = args.options.find("--map"); map != args.options.end())
        ApplyMapFile(master, other, map->second, choice);
    if (auto id = args.options.find("--id"); id != args.options.end())
        choice.IdName = Utf8ToBytes(id->second);
    for (const char* option : {"--overwrite", "--skip"}) {
        auto listed = args.options.find(option);
        if (listed == args.options.end())
            continue;
        for (const std::string& name : SplitList(listed->second)) {
            TFieldMapping& m = choice.Fields[OtherField(other, name, option)];
            (std::string(option) == "--skip" ? m.Copy : m.Overwrite) = std::string(option) != "--skip";
        }
    }
    if (master.FieldIndexByName(choice.IdName) == 0 || other.FieldIndexByName(choice.IdName) == 0)
        throw std::invalid_argument("The ID field " + BytesToUtf8(choice.IdName) + " is not in both databases.");
    for (size_t j = 0; j < choice.Fields.size(); ++j) {
        const TFieldMapping& m = choice.Fields[j];
        if (m.Copy && m.MasterField > 0 &&
            BaseType(master.GetFieldType(m.MasterField)) != BaseType(other.GetFieldType(int(j) + 1)))
            throw std::invalid_argument("Field " + BytesToUtf8(other.GetFieldName(int(j) + 1)) +
                                        " cannot go into field " + BytesToUtf8(master.GetFieldName(m.MasterField)) +
                                        ": their types differ.");
    }
    const std::string problem = MappingProblem(master, other, choice);
    if (!problem.empty())
        throw std::invalid_argument(BytesToUtf8(problem) + ".");
    return choice;
}

int SplitCommand(int argc, char** argv, std::ostream& err)
{
    Arguments args = Parse(argc, argv, {"--field", "-d", "--formats", "--global", "--charset"}, {"--all-values"},
                           WhereOption());
    if (args.positional.size() != 1)
        throw UsageError("split takes one file");
    const std::optional<TCharset> set = CharsetOption(args);
    auto opened = OpenToRead(args.positional[0], err);
    if (set)
        opened->SetCharset(*set);
    // With --where the outputs hold the passing records only; values none of them hold get no file.
    const std::unique_ptr<TJFILE> passing = DatabaseWhere(*opened, args);
    const TJFILE* db = passing ? passing.get() : opened.get();
    TSplitChoice choice;
    choice.Field = SplitField(*db, args);
    choice.Formats = SplitFormats(args);
    auto dir = args.options.find("-d");
    // Without -d the outputs go beside the database.
    choice.OutputDir = dir != args.options.end() ? dir->second : std::string();
    if (dir != args.options.end() && !std::filesystem::is_directory(choice.OutputDir))
        throw std::invalid_argument("The output directory \"" + choice.OutputDir + "\" does not exist.");
    choice.Values = SplitValues(*db, choice.Field, nullptr);
    if (!args.flags.count("--all-values"))
        for (TSplitValue& v : choice.Values)
            if (!v.Held)
                v.FileName.clear();
    auto [first, last] = args.repeated.equal_range("--global");
    for (auto it = first; it != last; ++it) {
        const size_t eq = it->second.find('=');
        if (eq == std::string::npos)
            throw UsageError("--global takes FIELD=VALUE");
        const int f = LastFieldNamed(*db, TextBytes(it->second.substr(0, eq), set));
        if (f == 0 || f == choice.Field)
            throw UsageError("--global: there is no other field " + it->second.substr(0, eq));
        choice.GlobalValues[f] = TextBytes(it->second.substr(eq + 1), set);
    }
    const std::vector<std::string> written = Split(*db, choice);
    if (passing && passing->RecordCount() == 0 && written.empty())
        Warn(err, "No record passes --where; no file written.");
    return 0;
}

namespace {

// The key of a copy: --key, none with --no-key, else the first field name
// both databases share.
std::string CopyKey(const TJFILE& source, const TJFILE& target, const Arguments& args)
{
    auto key = args.options.find("--key");
    if (key != args.options.end() && args.flags.count("--no-key"))
        throw UsageError("copy takes --key or --no-key, not both");
    if (key != args.options.end()) {
        const std::string name = TextBytes(key->second, CharsetOption(args));
        if (FindKeyFields(source, target, name).Target == 0)
            throw UsageError("--key: " + key->second + " is not the name of a field in both databases");
        return name;
    }
    if (args.flags.count("--no-key"))
        return {};
    const std::vector<std::string> candidates = KeyCandidates(source, target);
    if (candidates.empty())
        throw std::invalid_argument("No field name of the source is a field name of the target in the same case, so "
                                    "records cannot be matched; give --no-key to add every record.");
    return candidates.front();
}

// Refuses, before anything is written, values that popup lists cannot take,
// unless --without-unlisted leaves them out.
void CheckLeftOut(const TLeftOutValues& leftOut, const Arguments& args, const char* what)
{
    if (leftOut.empty() || args.flags.count("--without-unlisted"))
        return;
    throw std::invalid_argument(std::string("The popup lists cannot take every value the ") + what +
                                " would write: " + BytesToUtf8(LeftOutMessage(leftOut, "; ")) +
                                ". Nothing was written; give --without-unlisted to " + what + " without them.");
}

}  // namespace

int CopyCommand(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    Arguments args = Parse(argc, argv, {"--records", "--key", "--charset"}, {"--no-key", "--without-unlisted"},
                           WhereOption());
    if (args.positional.size() != 2)
        throw UsageError("copy takes a source and a target file");
    const std::optional<TCharset> set = CharsetOption(args);
    std::error_code ec;
    if (std::filesystem::equivalent(args.positional[0], args.positional[1], ec))
        throw std::invalid_argument("The target file must not be the source file.");
    auto source = OpenToRead(args.positional[0], err);
    if (set)
        source->SetCharset(*set);
    auto listed = args.options.find("--records");
    std::vector<int> records;
    if (listed != args.options.end())
        records = RecordList(listed->second, source->RecordCount());
    else
        for (int r = 1; r <= source->RecordCount(); ++r)
            records.push_back(r);
    const bool filtered = args.groups.count("--where") > 0;
    records = RecordsWhere(*source, args, records);
    // Nothing to copy leaves the target as it is, unopened.
    if (filtered && records.empty()) {
        out << "No record passes --where; nothing copied.\n";
        return 0;
    }
    const std::unique_ptr<TJFILE> target = OpenCopyTarget(args.positional[1]);
    if (set)
        target->SetCharset(*set);
    TCopyOptions options;
    options.Key = CopyKey(*source, *target, args);
    CheckLeftOut(CopyLeftOut(*source, records, *target, options), args, "copy");
    options.LeaveOutUnlisted = true;
    out << BytesToUtf8(CopyMessage(CopyRecordsToFile(*source, records, *target, options))) << "\n";
    return 0;
}

int MergeCommand(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    Arguments args = Parse(argc, argv, {"-o", "--id", "--map", "--overwrite", "--skip"}, {"--without-unlisted"});
    if (args.positional.size() != 2)
        throw UsageError("merge takes a master and another file");
    const std::string output = Required(args, "-o");
    auto master = OpenToRead(args.positional[0], err);
    auto other = OpenToRead(args.positional[1], err);
    TMergeChoice choice = MergeChoice(*master, *other, args);
    CheckLeftOut(MergeLeftOut(*master, *other, choice), args, "merge");
    choice.LeaveOutUnlisted = true;
    const TMergeResult result = Merge(*master, *other, choice);
    WriteInLayout(*master, master->Layout(), output);
    out << result.Written << (result.Written == 1 ? " value" : " values") << " written, " << result.Appended
        << (result.Appended == 1 ? " record" : " records") << " appended.";
    if (const std::string note = PopupListsNote(result.ListAdded, result.LeftOut); !note.empty())
        out << " " << note;
    out << "\n";
    return 0;
}

}  // namespace quorvil
