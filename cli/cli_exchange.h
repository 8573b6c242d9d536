#pragma once
// The split, copy and merge subcommands of quorvil-cli: the editor's
// commands with their choices given as options.
#include "merge.h"

#include <iosfwd>

namespace quorvil {

struct Arguments;

// Each returns the exit status and throws UsageError for a wrong command
// line, other exceptions for a failed command. Warnings go to `err`.
int SplitCommand(int argc, char** argv, std::ostream& err);
int CopyCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
int MergeCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

// The merge's choice: the one the mapping window starts with, changed by
// --map, --id, --overwrite and --skip. Throws std::invalid_argument for a
// mapping file that cannot be read or does not fit the databases and
// UsageError for a field name (in the options or the mapping file) that the
// other database lacks.
TMergeChoice MergeChoice(const TJFILE& master, const TJFILE& other, const Arguments& args);

}  // namespace quorvil
