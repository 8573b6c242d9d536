#include "system_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvil::sys {

FileHandle OpenFile(const std::string& name, Access access, Lock lock, bool create, int& error)
{
    const int flags = (access == Access::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | (create ? O_CREAT : 0);
    const int fd = ::open(name.c_str(), flags, 0666);
    if (fd < 0) {
        error = errno;
        return kNoFile;
    }
    // An advisory lock that a second instance of the program (or a second
    // open in this one) cannot take.
    if (lock != Lock::None && ::flock(fd, (lock == Lock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? kInUse : errno;
        ::close(fd);
        return kNoFile;
    }
    return fd;
}

void CloseFile(FileHandle file)
{
    if (file != kNoFile)
        ::close(int(file));
}

bool IsDirectory(FileHandle file)
{
    struct stat st {};
    return ::fstat(int(file), &st) == 0 && S_ISDIR(st.st_mode);
}

long long ReadAt(FileHandle file, void* buffer, std::size_t count, std::uint64_t position, int& error)
{
    for (;;) {
        const ssize_t n = ::pread(int(file), buffer, count, off_t(position));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

long long WriteAt(FileHandle file, const void* data, std::size_t count, std::uint64_t position, int& error)
{
    for (;;) {
        const ssize_t n = ::pwrite(int(file), data, count, off_t(position));
        if (n > 0)
            return n;
        if (n < 0 && errno == EINTR)
            continue;
        error = n < 0 ? errno : ENOSPC;
        return -1;
    }
}

std::uint64_t FileSize(FileHandle file)
{
    struct stat st {};
    return ::fstat(int(file), &st) == 0 ? std::uint64_t(st.st_size) : 0;
}

bool Truncate(FileHandle file, std::uint64_t size, int& error)
{
    if (::ftruncate(int(file), off_t(size)) == 0)
        return true;
    error = errno;
    return false;
}

bool SyncFile(FileHandle file, int& error)
{
    if (::fsync(int(file)) == 0)
        return true;
    error = errno;
    return false;
}

bool IsSameFile(FileHandle file, const std::string& path)
{
    struct stat open {};
    struct stat named {};
    return ::fstat(int(file), &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

bool CanCreateIn(const std::string& directory)
{
    return ::access(directory.c_str(), W_OK | X_OK) == 0;
}

FileHandle CreateTemporary(const std::string& prefix, const std::string& permissionsOf, std::string& name, int& error)
{
    std::string pattern = prefix + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return kNoFile;
    }
    name = pattern;
    ::flock(fd, LOCK_EX | LOCK_NB);
    struct stat st {};
    if (permissionsOf.empty()) {
        // mkostemp's own mode, 0600.
    } else if (::stat(permissionsOf.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    return fd;
}

bool ReplaceWith(FileHandle, const std::string& tempName, const std::string& target, int& error)
{
    if (::rename(tempName.c_str(), target.c_str()) == 0)
        return true;
    error = errno;
    return false;
}

void SyncDirectory(const std::string& directory)
{
    const int dir = ::open(directory.c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool RemoveIfUnlocked(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool removable = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (removable)
        ::unlink(path.c_str());
    ::close(fd);
    return removable;
}

void RemoveFile(const std::string& path)
{
    ::unlink(path.c_str());
}

bool IsLocked(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    // Closing gives the probe's own lock back at once.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

void SetBinaryStandardOutput() {}

}  // namespace quorvil::sys
