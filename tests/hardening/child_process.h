#pragma once
// Child processes for the crash tests: the work runs in a forked child that
// is killed with SIGKILL at an exact point, so that the parent can inspect
// what a crash at that point leaves on disk.
#include <cstdint>
#include <functional>
#include <string>

namespace quorvil::hardening {

struct ChildEnd {
    bool killed = false;   // by SIGKILL
    int exitCode = -1;     // 0: the work ran to its end
    bool renamed = false;  // a rename of a file had completed before the kill
};

// The child's writes stop at `limit` bytes a file: the write that passes the
// limit is cut at exactly that byte and the child is killed right then.
ChildEnd RunKilledAtFileSize(uint64_t limit, const std::function<void()>& work);

// Kills `work` in a traced child at each of its system-call stops in turn
// (entry and exit of each call), and once more after its end, calling
// `reset` before and `check` after each run. Which stop falls on which call
// varies a little from run to run, so each run reports its own rename.
// Returns the count of stops of a full run, 0 when tracing is not allowed,
// -1 when the work fails.
int KillAtEverySystemCall(const std::function<void()>& work, const std::function<void()>& reset,
                          const std::function<void(int, const ChildEnd&)>& check);

// Runs `work` in a child that cannot create files where it may not (root
// becomes "nobody"), or that cannot make files longer than `limit` bytes as
// on a full disk; returns the message of the exception `work` threw, or
// "(no exception)".
std::string RunUnprivileged(const std::function<void()>& work);
std::string RunWithFileSizeLimit(uint64_t limit, const std::function<void()>& work);

}  // namespace quorvil::hardening
