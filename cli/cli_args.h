#pragma once
// The argument parsing the subcommands of quorvil-cli share.
#include "charset.h"

#include <map>
#include <optional>
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
// The value of --charset: the database's character set by its IANA name,
// case ignored; none without the option. Throws UsageError naming the valid
// names for an unknown one.
std::optional<TCharset> CharsetOption(const Arguments& args);
// A text typed on the command line (UTF-8) as the database's bytes: in
// `set`, or without one each code point up to U+00FF as the byte of its
// number, as always. Throws std::invalid_argument naming a character the set
// lacks, or for a text that is not UTF-8.
std::string TextBytes(const std::string& utf8, std::optional<TCharset> set);
// The same for the value of `option`, refused with UsageError after it.
std::string TypedBytes(const std::string& utf8, std::optional<TCharset> set, const std::string& option);

// The items of a comma-separated list ("a,b,c"); empty items are dropped.
std::vector<std::string> SplitList(const std::string& list);

}  // namespace quorvil
