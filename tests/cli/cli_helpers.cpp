#include "cli_helpers.h"

#include "cli.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace quorvil {

CliResult RunInProcess(const std::vector<std::string>& args)
{
    std::vector<std::string> storage = {"quorvil-cli"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    CliResult result;
    result.code = RunCli(int(storage.size()), argv.data(), out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

CliResult RunBinary(const std::vector<std::string>& args)
{
    testkit::TempDir dir;
    const char* binary = std::getenv("QUORVIL_CLI");
    // The tests' paths and options hold no quote.
#if defined(_WIN32)
    const char quote = '"';
#else
    const char quote = '\'';
#endif
    std::string command = quote + std::string(binary ? binary : QUORVIL_CLI_PATH) + quote;
    for (const std::string& a : args)
        command += std::string(" ") + quote + a + quote;
    command += " >" + dir.File("out") + " 2>" + dir.File("err");
#if defined(_WIN32)
    // cmd.exe drops the outer quotes of a line that starts with one.
    const int status = std::system(("\"" + command + "\"").c_str());
    CliResult result;
    // An unhandled exception ends a process with its NTSTATUS code.
    result.crashed = unsigned(status) >= 0xC0000000u;
    result.code = result.crashed ? -1 : status;
#else
    const int status = std::system(command.c_str());
    CliResult result;
    // The shell reports a child ended by a signal as exit code 128 + the signal.
    result.crashed = WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) > 128);
    result.code = WIFEXITED(status) && !result.crashed ? WEXITSTATUS(status) : -1;
#endif
    result.out = testkit::ReadText(dir.File("out"));
    result.err = testkit::ReadText(dir.File("err"));
    return result;
}

nlohmann::json InfoJson(const std::string& file)
{
    CliResult r = RunInProcess({"info", file, "--json", "--records"});
    EXPECT_EQ(r.code, 0) << r.err;
    return r.code == 0 ? nlohmann::json::parse(r.out) : nlohmann::json::object();
}

std::string Latin1ToUtf8(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out.push_back(char(c));
        } else {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

int LineCount(const std::string& text)
{
    return int(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace quorvil
