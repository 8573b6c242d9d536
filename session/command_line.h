#pragma once
// The database files named by the command line. No user interface here.
#include <string>
#include <vector>

namespace quorvil {

// Full paths of the files one argument names, in name order: a directory
// stands for every .PDB file in it, a name without '.' gets ".PDB", and '*'
// and '?' in the file-name part are wildcards. The extension ".PDB" matches
// without regard to case, so data.pdb is found too. Directories never match.
std::vector<std::string> ExpandDatabaseArgument(const std::string& argument);

// True when `name` matches the wildcard `pattern` ('*' any run, '?' one
// character), case-sensitively except for a final ".PDB".
bool MatchesDatabasePattern(const std::string& name, const std::string& pattern);

}  // namespace quorvil
