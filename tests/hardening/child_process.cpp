#include "child_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <limits>
#include <cstdlib>
#include <exception>
#include <grp.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvil::hardening {

namespace {

// Exit codes of a child whose work could not run as planned.
constexpr int kWorkThrew = 90;
constexpr int kCannotTrace = 91;
constexpr uid_t kNobody = 65534;

ChildEnd Reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    ChildEnd end;
    end.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return end;
}

ChildEnd KillAndReap(pid_t pid)
{
    ::kill(pid, SIGKILL);
    return Reap(pid);
}

[[noreturn]] void RunAndExit(const std::function<void()>& work)
{
    try {
        work();
    } catch (...) {
        ::_exit(kWorkThrew);
    }
    ::_exit(0);
}

void KillSelf(int)
{
    ::kill(::getpid(), SIGKILL);
}

// A child that stops itself before and after `work`, traced by this process.
// Returns 0 when tracing is not allowed.
pid_t StartTraced(const std::function<void()>& work)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(kCannotTrace);
        ::raise(SIGSTOP);
        try {
            work();
        } catch (...) {
            ::_exit(kWorkThrew);
        }
        ::raise(SIGSTOP);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFSTOPPED(status))
        return 0;
    long options = PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL;
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(options));
    return pid;
}

enum class Stepped { AtStop, AtEnd, Exited };

bool IsRename(uint64_t number)
{
#ifdef SYS_rename
    if (number == SYS_rename)
        return true;
#endif
    return number == SYS_renameat || number == SYS_renameat2;
}

// Notes in `renamed` whether the system call that just returned was a
// successful rename.
void NoteRename(pid_t pid, uint64_t& lastCall, bool& renamed)
{
    __ptrace_syscall_info info{};
    if (::ptrace(PTRACE_GET_SYSCALL_INFO, pid, reinterpret_cast<void*>(sizeof info), &info) <= 0)
        return;
    if (info.op == PTRACE_SYSCALL_INFO_ENTRY)
        lastCall = info.entry.nr;
    else if (info.op == PTRACE_SYSCALL_INFO_EXIT && IsRename(lastCall) && !info.exit.is_error)
        renamed = true;
}

// Lets the traced child run on to its `stop`-th system-call stop, counting
// in `seen`, or to the stop after its work, or until it exits.
Stepped RunToStop(pid_t pid, int stop, int& seen, bool& renamed)
{
    long deliver = 0;
    uint64_t lastCall = ~uint64_t(0);
    for (;;) {
        ::ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void*>(deliver));
        deliver = 0;
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status))
            return Stepped::Exited;
        int signal = WSTOPSIG(status);
        if (signal == (SIGTRAP | 0x80)) {
            NoteRename(pid, lastCall, renamed);
            if (++seen == stop)
                return Stepped::AtStop;
        } else if (signal == SIGSTOP) {
            return Stepped::AtEnd;
        } else {
            deliver = signal;
        }
    }
}

// Runs `work` in a child prepared by `prepare` and returns the message of
// the exception `work` threw, passed back through a pipe.
std::string MessageFromChild(const std::function<std::string()>& prepare, const std::function<void()>& work)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "(no pipe)";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        std::string message = prepare();
        if (message.empty()) {
            message = "(no exception)";
            try {
                work();
            } catch (const std::exception& e) {
                message = e.what();
            }
        }
        ssize_t ignored = ::write(pipeEnds[1], message.data(), message.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string message;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        message.append(buffer, size_t(n));
    ::close(pipeEnds[0]);
    Reap(pid);
    return message;
}

}  // namespace

ChildEnd RunKilledAtFileSize(uint64_t limit, const std::function<void()>& work)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        // The write that passes the limit is cut there; the next one raises
        // SIGXFSZ, which this handler turns into SIGKILL before any code of
        // the save sees the failure.
        struct sigaction action {};
        action.sa_handler = KillSelf;
        ::sigaction(SIGXFSZ, &action, nullptr);
        rlimit size{rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &size);
        RunAndExit(work);
    }
    return Reap(pid);
}

ChildEnd RunKilledAtSystemCall(int stop, const std::function<void()>& work)
{
    pid_t pid = StartTraced(work);
    if (pid == 0)
        return ChildEnd{false, kCannotTrace};
    int seen = 0;
    bool renamed = false;
    if (RunToStop(pid, stop, seen, renamed) == Stepped::Exited)
        return Reap(pid);
    ChildEnd end = KillAndReap(pid);
    end.renamed = renamed;
    return end;
}

int CountSystemCallStops(const std::function<void()>& work)
{
    pid_t pid = StartTraced(work);
    if (pid == 0)
        return 0;
    int seen = 0;
    bool renamed = false;
    if (RunToStop(pid, -1, seen, renamed) == Stepped::Exited)
        return -1;
    KillAndReap(pid);
    return seen;
}

int KillAtEverySystemCall(const std::function<void()>& work, const std::function<void()>& reset,
    const std::function<void(int, const ChildEnd&)>& check)
{
    const int stops = CountSystemCallStops(work);
    auto killAt = [&](int stop) {
        reset();
        check(stop, RunKilledAtSystemCall(stop, work));
    };
    for (int stop = 1; stop <= stops && !::testing::Test::HasFatalFailure(); ++stop)
        killAt(stop);
    // Past the end of any run, whatever its count: the work has ended.
    if (stops > 0 && !::testing::Test::HasFatalFailure())
        killAt(std::numeric_limits<int>::max());
    return stops;
}

std::string RunUnprivileged(const std::function<void()>& work)
{
    auto dropPrivileges = []() -> std::string {
        if (::geteuid() != 0)
            return "";
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            return "(cannot drop privileges)";
        return "";
    };
    return MessageFromChild(dropPrivileges, work);
}

std::string RunWithFileSizeLimit(uint64_t limit, const std::function<void()>& work)
{
    auto limitFiles = [limit]() -> std::string {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit size{rlim_t(limit), rlim_t(limit)};
        return ::setrlimit(RLIMIT_FSIZE, &size) == 0 ? "" : "(cannot limit file sizes)";
    };
    return MessageFromChild(limitFiles, work);
}

}  // namespace quorvil::hardening
