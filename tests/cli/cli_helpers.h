#pragma once
// Running quorvil-cli in the test process and as its own binary.
#include "pdb_format.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace quorvil {

struct CliResult {
    int code = -1;         // exit code
    bool crashed = false;  // ended by a signal (binary only)
    std::string out;
    std::string err;
};

// quorvil::RunCli with "quorvil-cli" and `args` as its arguments.
CliResult RunInProcess(const std::vector<std::string>& args);
// The binary named by QUORVIL_CLI, or the one the build made.
CliResult RunBinary(const std::vector<std::string>& args);

// `info FILE --json --records`, in process; fails the test unless it exits 0.
nlohmann::json InfoJson(const std::string& file);

// Bytes read as code points U+0000..U+00FF, written as UTF-8 — the JSON
// form of the tool's 8-bit texts, made here without the tool's own code.
std::string Latin1ToUtf8(const std::string& bytes);

// Number of lines in a text that ends in a line feed.
int LineCount(const std::string& text);

}  // namespace quorvil
