#include "streams.h"

#include "errors.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvil {

namespace {

constexpr size_t kWriteBufferSize = 1 << 20;
// Blocks at least this large skip the buffer: copying them gains nothing.
constexpr size_t kDirectWriteSize = 64 << 10;

std::string SystemReason(int err)
{
    return std::strerror(err);
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the temporary files ".NAME.XXXXXX" of earlier replacements of
// `target` that were killed before their rename. A replacement in progress
// holds its temporary file locked, so only unlocked ones go.
void RemoveStaleTemporaries(const std::string& target)
{
    const std::string dir = DirectoryOf(target);
    const std::string prefix = "." + BaseNameOf(target) + ".";
    DIR* listing = ::opendir(dir.c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        std::string_view name = entry->d_name;
        auto isSuffixChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix) ||
            !std::all_of(name.begin() + long(prefix.size()), name.end(), isSuffixChar))
            continue;
        const std::string path = dir + "/" + std::string(name);
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(listing);
}

}  // namespace

std::vector<uint8_t> TStream::ReadRest()
{
    uint64_t pos = Position();
    uint64_t size = Size();
    std::vector<uint8_t> bytes(size > pos ? size_t(size - pos) : 0);
    bytes.resize(Read(bytes.data(), bytes.size()));
    return bytes;
}

// --- TMemoryStream ---------------------------------------------------------

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    if (pos_ >= data_.size())
        return 0;
    size_t n = std::min<uint64_t>(count, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

void TMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return;
    const auto* in = static_cast<const uint8_t*>(buffer);
    if (pos_ == data_.size()) {
        data_.insert(data_.end(), in, in + count);
    } else {
        if (pos_ + count > data_.size())
            data_.resize(pos_ + count);
        std::memcpy(data_.data() + pos_, in, count);
    }
    pos_ += count;
}

// --- TFileStream -----------------------------------------------------------

namespace {

// A save writes a temporary file beside the target and renames it over, so
// the folder must take new files as well.
bool CanReplace(const std::string& fileName)
{
    return ::access(DirectoryOf(fileName).c_str(), W_OK | X_OK) == 0;
}

bool WriteDenied(int err)
{
    return err == EACCES || err == EPERM || err == EROFS;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, Mode mode) : fileName_(fileName), diskName_(fileName)
{
    writable_ = mode != Mode::ReadOnly && (mode == Mode::CreateOrOpen || CanReplace(fileName));
    int flags = (writable_ ? O_RDWR : O_RDONLY) | O_CLOEXEC | (mode == Mode::CreateOrOpen ? O_CREAT : 0);
    fd_ = ::open(fileName.c_str(), flags, 0666);
    if (fd_ < 0 && mode == Mode::OpenExisting && writable_ && WriteDenied(errno)) {
        writable_ = false;
        fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd_ < 0) {
        int err = errno;
        throw EStreamError((mode == Mode::CreateOrOpen ? "Cannot create file \"" : "Cannot open file \"") +
                           fileName + "\". " + SystemReason(err));
    }
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EStreamError("Cannot open file \"" + fileName + "\". It is a directory.");
    }
    // Other writers denied: an advisory lock that a second instance of the
    // program (or a second open in this one) cannot take. A file opened only
    // to be read shares its lock with other such readers.
    const int lock = writable_ ? LOCK_EX : LOCK_SH;
    if (mode != Mode::ReadOnly && ::flock(fd_, lock | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd_);
        fd_ = -1;
        if (err == EWOULDBLOCK)
            throw EStreamError("Cannot open file \"" + fileName +
                               "\". The file is in use by another program.");
        throw EStreamError("Cannot open file \"" + fileName + "\". " + SystemReason(err));
    }
}

TFileStream::~TFileStream()
{
    if (fd_ >= 0) {
        try {
            FlushBuffer();
        } catch (...) {
            // A destructor cannot report; callers that care call Flush first.
        }
        ::close(fd_);
    }
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    FlushBuffer();
    size_t done = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::pread(fd_, out + done, count - done, off_t(pos_ + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EStreamError("Cannot read file \"" + fileName_ + "\". " + SystemReason(errno));
        if (n == 0)
            break;
        done += size_t(n);
    }
    pos_ += done;
    return done;
}

void TFileStream::Write(const void* buffer, size_t count)
{
    // The buffer is flushed before it would grow past its size, so that it is
    // allocated once per file and never copied to a larger one.
    if (!wbuf_.empty() && (wbufStart_ + wbuf_.size() != pos_ || wbuf_.size() + count > kWriteBufferSize))
        FlushBuffer();
    if (wbuf_.empty())
        wbufStart_ = pos_;
    const auto* in = static_cast<const uint8_t*>(buffer);
    if (wbuf_.empty() && count >= kDirectWriteSize) {
        // A large block goes to the file directly instead of through the buffer.
        WriteAt(in, count, pos_);
        pos_ += count;
        return;
    }
    if (wbuf_.capacity() < kWriteBufferSize)
        wbuf_.reserve(kWriteBufferSize);
    wbuf_.insert(wbuf_.end(), in, in + count);
    pos_ += count;
}

void TFileStream::WriteAt(const uint8_t* data, size_t count, uint64_t position)
{
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pwrite(fd_, data + done, count - done, off_t(position + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EStreamError("Cannot write file \"" + fileName_ + "\". " + SystemReason(n < 0 ? errno : ENOSPC));
        done += size_t(n);
    }
}

void TFileStream::FlushBuffer()
{
    if (wbuf_.empty())
        return;
    std::vector<uint8_t> pending;
    pending.swap(wbuf_);
    WriteAt(pending.data(), pending.size(), wbufStart_);
    // Keep the buffer's memory for the next writes.
    pending.clear();
    wbuf_.swap(pending);
}

void TFileStream::Seek(uint64_t position)
{
    pos_ = position;
}

uint64_t TFileStream::Size() const
{
    struct stat st {};
    uint64_t size = ::fstat(fd_, &st) == 0 ? uint64_t(st.st_size) : 0;
    if (!wbuf_.empty())
        size = std::max<uint64_t>(size, wbufStart_ + wbuf_.size());
    return size;
}

bool TFileStream::IsFileAt(const std::string& path) const
{
    struct stat open {};
    struct stat named {};
    return ::fstat(fd_, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

void TFileStream::Flush()
{
    FlushBuffer();
}

void TFileStream::Sync()
{
    FlushBuffer();
    if (::fsync(fd_) != 0)
        throw EStreamError("Cannot write file \"" + fileName_ + "\". " + SystemReason(errno));
}

void TFileStream::Truncate(uint64_t size)
{
    FlushBuffer();
    if (::ftruncate(fd_, off_t(size)) != 0)
        throw EStreamError("Cannot write file \"" + fileName_ + "\". " + SystemReason(errno));
}

std::unique_ptr<TFileStream> TFileStream::CreateTemporaryBeside(const std::string& target)
{
    std::string pattern = DirectoryOf(target) + "/." + BaseNameOf(target) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw EStreamError("Cannot create file \"" + target + "\". " + SystemReason(errno));
    std::unique_ptr<TFileStream> temp(new TFileStream());
    temp->fd_ = fd;
    temp->fileName_ = target;
    temp->diskName_ = name.data();
    ::flock(fd, LOCK_EX | LOCK_NB);
    // The new version keeps the permissions of the file it replaces.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    return temp;
}

void TFileStream::CommitOver(const std::string& target, Durability durability)
{
    if (durability == Durability::Synced)
        Sync();
    else
        Flush();
    if (::rename(diskName_.c_str(), target.c_str()) != 0)
        throw EStreamError("Cannot create file \"" + target + "\". " + SystemReason(errno));
    fileName_ = target;
    diskName_ = target;
    RemoveStaleTemporaries(target);
    if (durability == Durability::Unsynced)
        return;
    // Make the rename itself durable.
    int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void TFileStream::Discard()
{
    wbuf_.clear();
    ::unlink(diskName_.c_str());
}

}  // namespace quorvil
