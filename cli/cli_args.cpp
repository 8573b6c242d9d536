#include "cli_args.h"

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
