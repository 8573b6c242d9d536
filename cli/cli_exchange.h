#pragma once
// The split, copy and merge subcommands of quorvil-cli: the editor's
// commands with their choices given as options.
#include <iosfwd>

namespace quorvil {

// Each returns the exit status and throws UsageError for a wrong command
// line, other exceptions for a failed command. Warnings go to `err`.
int SplitCommand(int argc, char** argv, std::ostream& err);
int CopyCommand(int argc, char** argv, std::ostream& out, std::ostream& err);
int MergeCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace quorvil
