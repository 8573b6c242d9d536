#pragma once
// Child processes for the crash tests: a save runs in a forked child, which
// is killed with SIGKILL at an exact point of its work, so that the parent
// can inspect what a crash at that point leaves on disk.
#include <cstdint>
#include <functional>
#include <string>

namespace quorvil::hardening {

// How a child ended.
struct ChildEnd {
    bool killed = false;  // by SIGKILL
    int exitCode = -1;    // when it exited; 0 means the work ran to its end
    bool renamed = false; // a rename of a file had completed before the kill
};

// Runs `work` in a child whose writes to files stop at `limit` bytes: the
// write that would pass the limit is cut at exactly that byte and the child
// is killed with SIGKILL right then.
ChildEnd RunKilledAtFileSize(uint64_t limit, const std::function<void()>& work);

// Runs `work` in a traced child and kills it with SIGKILL at its `stop`-th
// system-call stop (1 is the entry of the first system call of `work`, 2
// its exit, and so on): the system calls before have all happened, the one
// at an entry stop has not. When `work` ends before that stop the child is
// killed at the end of `work`, still holding everything it opened. Which
// stop falls on which system call can vary a little from run to run (memory
// requests of the allocator); `renamed` tells where the kill fell.
ChildEnd RunKilledAtSystemCall(int stop, const std::function<void()>& work);

// The number of system-call stops `work` makes when it runs to its end in a
// traced child; 0 when this system does not allow tracing a child, -1 when
// `work` did not run to its end.
int CountSystemCallStops(const std::function<void()>& work);

// Kills `work` at each of the `CountSystemCallStops(work)` stops in turn and
// once more past the end of any run, calling `reset` before and `check`
// after each kill.
// Returns the count of stops (0 when tracing is not allowed, -1 when `work` does not end).
int KillAtEverySystemCall(const std::function<void()>& work, const std::function<void()>& reset,
    const std::function<void(int, const ChildEnd&)>& check);

// Runs `work` in a child without the privileges to write where it may not
// (root becomes "nobody"); returns the message of the exception it threw,
// or "(no exception)".
std::string RunUnprivileged(const std::function<void()>& work);
// Runs `work` in a child that cannot make files longer than `limit` bytes,
// as on a full disk; returns the message as RunUnprivileged does.
std::string RunWithFileSizeLimit(uint64_t limit, const std::function<void()>& work);

}  // namespace quorvil::hardening
