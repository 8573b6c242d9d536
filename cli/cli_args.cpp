#include "cli_args.h"

namespace quorvil {

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
