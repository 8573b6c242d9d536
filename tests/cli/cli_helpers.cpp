#include "cli_helpers.h"

#include "cli.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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

std::string CliBinary()
{
    const char* path = std::getenv("QUORVIL_CLI");
    return path ? path : QUORVIL_CLI_PATH;
}

CliResult RunBinary(const std::vector<std::string>& args)
{
    testkit::TempDir dir;
    const std::string outPath = dir.File("out"), errPath = dir.File("err");
    std::vector<std::string> storage = {CliBinary()};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    CliResult result;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << argv[0];
        return result;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) {
            ADD_FAILURE() << "cannot wait for " << argv[0];
            return result;
        }
    result.crashed = WIFSIGNALED(status);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto text = [](const std::string& path) {
        std::vector<uint8_t> bytes = testkit::ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    result.out = text(outPath);
    result.err = text(errPath);
    return result;
}

nlohmann::json InfoJson(const std::string& file)
{
    CliResult r = RunInProcess({"info", file, "--json", "--records"});
    EXPECT_EQ(r.code, 0) << r.err;
    if (r.code != 0)
        return nlohmann::json::object();
    return nlohmann::json::parse(r.out);
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
