#pragma once
#include <iosfwd>

namespace quorvil {

// Runs quorvil-cli. Returns 0 on success, 1 when the command failed (one line
// on `err` with the reason), 2 for a usage error.
int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace quorvil
