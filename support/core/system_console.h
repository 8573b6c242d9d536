#pragma once
// The console of a window program.

namespace quorvil::sys {

// A window program on Windows starts without a console, so what it prints
// (--help, --version, a refused option) would go nowhere: started from a
// console, it writes to that one instead. Streams already redirected to a
// file or a pipe stay as they are. Nothing to do on POSIX.
void UseParentConsole();

}  // namespace quorvil::sys
