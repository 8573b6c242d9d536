#pragma once
// The split, copy and merge subcommands of quorvil-cli: the editor's
// commands with their choices given as options.
#include <iosfwd>

namespace quorvil {

// Each returns the exit status and throws UsageError for a wrong command
// line, other exceptions for a failed command.
int SplitCommand(int argc, char** argv, std::ostream& out);
int CopyCommand(int argc, char** argv, std::ostream& out);
int MergeCommand(int argc, char** argv, std::ostream& out);

}  // namespace quorvil
