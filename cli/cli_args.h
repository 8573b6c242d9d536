#pragma once
// The argument parsing the subcommands of quorvil-cli share.
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quorvil {

// A wrong command line: reported with the usage text and exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Positional arguments and options of one subcommand; `flags` take no value.
// `options` keeps the last value of an option, `repeated` every value, and
// `groups` the values of each option that takes several, in command-line order.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::multimap<std::string, std::string> repeated;
    std::multimap<std::string, std::vector<std::string>> groups;
    std::set<std::string> flags;
};

// Option -> the names of the values it takes, such as
// {"--where", {"FIELD", "OP", "VALUE"}}.
using GroupOptions = std::map<std::string, std::vector<std::string>>;

// Parses argv[2..]: options in `valueOptions` take the next argument, those
// in `groupOptions` as many as they name, whatever they start with (a value
// may be "-5"). Throws UsageError when the command line ends before them.
Arguments Parse(int argc, char** argv, const std::set<std::string>& valueOptions,
                const std::set<std::string>& flagOptions, const GroupOptions& groupOptions = {});
// The value of `option`; throws UsageError when it is absent.
std::string Required(const Arguments& args, const char* option);
// The items of a comma-separated list ("a,b,c"); empty items are dropped.
std::vector<std::string> SplitList(const std::string& list);

}  // namespace quorvil
