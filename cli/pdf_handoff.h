#pragma once
// Where Qt is a shared library, loading it costs every command of
// quorvil-cli tens of milliseconds and megabytes; so only quorvil-cli-pdf
// links it, and quorvil-cli hands `export pdf` over to it.
#include <iosfwd>

namespace quorvil {

// Whether argv is `export pdf ...`.
bool IsPdfExport(int argc, char** argv);

// Replaces this process with quorvil-cli-pdf (beside this program, or in
// `helperDir` relative to it) given the same arguments. Returns only when
// it cannot be started: exit status 1, with the reason on `err`.
int HandOffPdfExport(char** argv, const char* helperDir, std::ostream& err);

}  // namespace quorvil
