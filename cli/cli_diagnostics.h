#pragma once
// The diagnostics quorvil-cli prints on standard error, one line each, and
// the opening of the databases its commands read.
#include <iosfwd>
#include <memory>
#include <string>

namespace quorvil {

class TJFILE;

// `text` with each line break made a space.
std::string OneLine(std::string text);

// Prints "quorvil-cli: " and `text` on one line; nothing for an empty text.
// A warning leaves the command's exit status alone.
void Warn(std::ostream& err, const std::string& text);

// OpenReadOnly, then the database's load warning (a file that ends early)
// through Warn.
std::unique_ptr<TJFILE> OpenToRead(const std::string& fileName, std::ostream& err);

}  // namespace quorvil
