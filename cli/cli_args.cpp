#include "cli_args.h"

#include "latin1.h"

namespace quorvil {

Arguments Parse(int argc, char** argv, const std::set<std::string>& valueOptions,
                const std::set<std::string>& flagOptions, const GroupOptions& groupOptions)
{
    Arguments args;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (auto group = groupOptions.find(a); group != groupOptions.end()) {
            const std::vector<std::string>& names = group->second;
            if (argc - 1 - i < int(names.size())) {
                std::string form;
                for (const std::string& name : names)
                    form += " " + name;
                throw UsageError(a + " takes" + form);
            }
            args.groups.emplace(a, std::vector<std::string>(argv + i + 1, argv + i + 1 + names.size()));
            i += int(names.size());
        } else if (valueOptions.count(a)) {
            if (i + 1 >= argc)
                throw UsageError(a + " needs a value");
            args.options[a] = argv[++i];
            args.repeated.emplace(a, argv[i]);
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

std::string Required(const Arguments& args, const char* option)
{
    auto it = args.options.find(option);
    if (it == args.options.end())
        throw UsageError(std::string(option) + " is required");
    return it->second;
}

std::optional<TCharset> CharsetOption(const Arguments& args)
{
    const auto named = args.options.find("--charset");
    if (named == args.options.end())
        return std::nullopt;
    if (const std::optional<TCharset> set = CharsetByName(named->second))
        return set;
    std::string names;
    for (const TCharset set : AllCharsets())
        names += (names.empty() ? "" : ", ") + std::string(CharsetName(set));
    throw UsageError("--charset takes " + names + "; not " + named->second);
}

std::string TextBytes(const std::string& utf8, std::optional<TCharset> set)
{
    if (!set)
        return Utf8ToBytes(utf8);
    const TToCharset bytes = Utf8ToCharset(*set, utf8);
    if (bytes.Whole())
        return bytes.Bytes;
    if (bytes.Missing == 0)
        throw std::invalid_argument("\"" + utf8 + "\" is not UTF-8");
    throw std::invalid_argument("'" + utf8.substr(bytes.StopAt, bytes.StopLength) + "' cannot be stored in a " +
                                std::string(CharsetCaption(*set)) +
                                " database; give the database's character set with --charset");
}

std::string TypedBytes(const std::string& utf8, std::optional<TCharset> set, const std::string& option)
{
    try {
        return TextBytes(utf8, set);
    } catch (const std::invalid_argument& e) {
        throw UsageError(option + ": " + e.what());
    }
}

std::vector<std::string> SplitList(const std::string& list)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        if (comma > start)
            items.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

}  // namespace quorvil
