#include "child_process.h"

#include <gtest/gtest.h>

#if defined(_WIN32)

#include <stdexcept>

// Windows has no fork, signals or tracing: the tests that need them are
// left out of its runs by name, and these only keep them building.
namespace quorvil::hardening {

ChildEnd RunKilledAtFileSize(uint64_t, const std::function<void()>&)
{
    throw std::logic_error("no child processes to kill on Windows");
}

int KillAtEverySystemCall(const std::function<void()>&, const std::function<void()>&,
                          const std::function<void(int, const ChildEnd&)>&)
{
    throw std::logic_error("no child processes to kill on Windows");
}

std::string RunUnprivileged(const std::function<void()>&)
{
    throw std::logic_error("no unprivileged child on Windows");
}

std::string RunWithFileSizeLimit(uint64_t, const std::function<void()>&)
{
    throw std::logic_error("no file size limit on Windows");
}

}  // namespace quorvil::hardening

#else

#include <csignal>
#include <grp.h>
#include <limits>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvil::hardening {

namespace {

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

void RunWork(const std::function<void()>& work)
{
    try {
        work();
    } catch (...) {
        ::_exit(kWorkThrew);
    }
}

// A child that stops itself before and after `work`, traced by this process;
// 0 when tracing is not allowed.
pid_t StartTraced(const std::function<void()>& work)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(kCannotTrace);
        ::raise(SIGSTOP);
        RunWork(work);
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

bool IsRename(uint64_t number)
{
#ifdef SYS_rename
    if (number == SYS_rename)
        return true;
#endif
    return number == SYS_renameat || number == SYS_renameat2;
}

enum class Stepped { AtStop, AtEnd, Exited };

// Runs the traced child on to its `stop`-th system-call stop, counting in
// `seen` and noting a completed rename, or to the stop after its work.
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
        const int signal = WSTOPSIG(status);
        if (signal == SIGSTOP)
            return Stepped::AtEnd;
        if (signal != (SIGTRAP | 0x80)) {
            deliver = signal;
            continue;
        }
        __ptrace_syscall_info info{};
        if (::ptrace(PTRACE_GET_SYSCALL_INFO, pid, reinterpret_cast<void*>(sizeof info), &info) > 0) {
            if (info.op == PTRACE_SYSCALL_INFO_ENTRY)
                lastCall = info.entry.nr;
            else if (info.op == PTRACE_SYSCALL_INFO_EXIT && IsRename(lastCall) && !info.exit.is_error)
                renamed = true;
        }
        if (++seen == stop)
            return Stepped::AtStop;
    }
}

// Runs `work` in a traced child to its `stop`-th stop (or its end) and kills it.
ChildEnd RunKilledAtSystemCall(int stop, const std::function<void()>& work, int* stops = nullptr)
{
    pid_t pid = StartTraced(work);
    if (pid == 0)
        return ChildEnd{false, kCannotTrace};
    int seen = 0;
    bool renamed = false;
    if (RunToStop(pid, stop, seen, renamed) == Stepped::Exited)
        return Reap(pid);
    ::kill(pid, SIGKILL);
    ChildEnd end = Reap(pid);
    end.renamed = renamed;
    if (stops)
        *stops = seen;
    return end;
}

// Runs `work` in a child prepared by `prepare` (which returns an error or
// "") and passes back the message of the exception `work` threw.
std::string MessageFromChild(const std::function<std::string()>& prepare, const std::function<void()>& work)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return "(no pipe)";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        std::string message = prepare();
        if (message.empty()) {
            message = "(no exception)";
            try {
                work();
            } catch (const std::exception& e) {
                message = e.what();
            }
        }
        [[maybe_unused]] ssize_t n = ::write(ends[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, size_t(n));
    ::close(ends[0]);
    Reap(pid);
    return message;
}

}  // namespace

ChildEnd RunKilledAtFileSize(uint64_t limit, const std::function<void()>& work)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        // The write past the limit raises SIGXFSZ, turned into SIGKILL before
        // any code of the work sees the failure.
        struct sigaction action {};
        action.sa_handler = [](int) { ::kill(::getpid(), SIGKILL); };
        ::sigaction(SIGXFSZ, &action, nullptr);
        rlimit size{rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &size);
        RunWork(work);
        ::_exit(0);
    }
    return Reap(pid);
}

int KillAtEverySystemCall(const std::function<void()>& work, const std::function<void()>& reset,
                          const std::function<void(int, const ChildEnd&)>& check)
{
    int stops = 0;
    reset();
    const ChildEnd full = RunKilledAtSystemCall(-1, work, &stops);
    if (full.exitCode == kCannotTrace)
        return 0;
    if (!full.killed)
        return -1;  // the work failed or never stopped at its end
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
    auto drop = []() -> std::string {
        if (::geteuid() != 0)
            return "";
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            return "(cannot drop privileges)";
        return "";
    };
    return MessageFromChild(drop, work);
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

#endif
