#include "streams.h"

#include "errors.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "file_names.h"
#include "system_file.h"
#include "system_paths.h"

namespace quorvil {

namespace {

constexpr size_t kWriteBufferSize = 1 << 20;
// Blocks at least this large skip the buffer: copying them gains nothing.
constexpr size_t kDirectWriteSize = 64 << 10;

using sys::ErrorText;

size_t LastSeparator(const std::string& path)
{
    return path.find_last_of(sys::kPathSeparators);
}

std::string DirectoryOf(const std::string& path)
{
    size_t slash = LastSeparator(path);
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    size_t slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes the temporary files ".NAME.XXXXXX" of earlier replacements of
// `target` that were killed before their rename. A replacement in progress
// holds its temporary file locked, so only unlocked ones go.
void RemoveStaleTemporaries(const std::string& target)
{
    const std::string dir = DirectoryOf(target);
    const std::string prefix = "." + BaseNameOf(target) + ".";
    auto isSuffixChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    std::error_code ec;
    for (std::filesystem::directory_iterator it(sys::PathFromUtf8(dir), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = sys::Utf8FromPath(it->path().filename());
        if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
            std::all_of(name.begin() + long(prefix.size()), name.end(), isSuffixChar))
            sys::RemoveIfUnlocked(AddBackslash(dir) + name);
    }
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

bool WriteDenied(int err)
{
    return err == EACCES || err == EPERM || err == EROFS;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, Mode mode) : fileName_(fileName), diskName_(fileName)
{
    // A save writes a temporary file beside the target and renames it over,
    // so the folder must take new files as well.
    writable_ = mode != Mode::ReadOnly && (mode == Mode::CreateOrOpen || sys::CanCreateIn(DirectoryOf(fileName)));
    // Other writers are denied while the file is open for writing; a file
    // opened only to be read shares its lock with other such readers.
    const auto lockOf = [mode](bool writable) {
        return mode == Mode::ReadOnly ? sys::Lock::None : writable ? sys::Lock::Exclusive : sys::Lock::Shared;
    };
    int err = 0;
    file_ = sys::OpenFile(fileName, writable_ ? sys::Access::ReadWrite : sys::Access::Read, lockOf(writable_),
                          mode == Mode::CreateOrOpen, err);
    if (file_ == sys::kNoFile && mode == Mode::OpenExisting && writable_ && WriteDenied(err)) {
        writable_ = false;
        file_ = sys::OpenFile(fileName, sys::Access::Read, lockOf(false), false, err);
    }
    if (file_ == sys::kNoFile || sys::IsDirectory(file_)) {
        const bool directory = file_ != sys::kNoFile || err == EISDIR;
        sys::CloseFile(file_);
        file_ = sys::kNoFile;
        const std::string reason = directory ? "It is a directory." : ErrorText(err);
        // A file held by another program exists: opening it is what failed.
        const bool create = mode == Mode::CreateOrOpen && !directory && err != sys::kInUse;
        throw EStreamError((create ? "Cannot create file \"" : "Cannot open file \"") + fileName + "\". " + reason);
    }
}

TFileStream::~TFileStream()
{
    if (file_ != sys::kNoFile) {
        try {
            FlushBuffer();
        } catch (...) {
            // A destructor cannot report; callers that care call Flush first.
        }
        sys::CloseFile(file_);
    }
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    FlushBuffer();
    size_t done = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        int err = 0;
        const long long n = sys::ReadAt(file_, out + done, count - done, pos_ + done, err);
        if (n < 0)
            throw EStreamError("Cannot read file \"" + fileName_ + "\". " + ErrorText(err));
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
        int err = 0;
        const long long n = sys::WriteAt(file_, data + done, count - done, position + done, err);
        if (n < 0)
            throw EStreamError("Cannot write file \"" + fileName_ + "\". " + ErrorText(err));
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
    uint64_t size = sys::FileSize(file_);
    if (!wbuf_.empty())
        size = std::max<uint64_t>(size, wbufStart_ + wbuf_.size());
    return size;
}

bool TFileStream::IsFileAt(const std::string& path) const
{
    return sys::IsSameFile(file_, path);
}

void TFileStream::Flush()
{
    FlushBuffer();
}

void TFileStream::Sync()
{
    FlushBuffer();
    if (int err = 0; !sys::SyncFile(file_, err))
        throw EStreamError("Cannot write file \"" + fileName_ + "\". " + ErrorText(err));
}

void TFileStream::Truncate(uint64_t size)
{
    FlushBuffer();
    if (int err = 0; !sys::Truncate(file_, size, err))
        throw EStreamError("Cannot write file \"" + fileName_ + "\". " + ErrorText(err));
}

void TFileStream::CheckNotHeld(const std::string& target, const TFileStream* holder)
{
    if (holder && holder->IsFileAt(target))
        return;
    if (sys::IsLocked(target))
        throw EStreamError("Cannot write file \"" + target + "\". " + ErrorText(sys::kInUse) +
                           " Close it there first, or write to another file.");
}

std::unique_ptr<TFileStream> TFileStream::CreateTemporaryBeside(const std::string& target)
{
    std::string name;
    int err = 0;
    const sys::FileHandle file = sys::CreateTemporary(
        AddBackslash(DirectoryOf(target)) + "." + BaseNameOf(target) + ".", target, name, err);
    if (file == sys::kNoFile)
        throw EStreamError("Cannot create file \"" + target + "\". " + ErrorText(err));
    std::unique_ptr<TFileStream> temp(new TFileStream());
    temp->file_ = file;
    temp->fileName_ = target;
    temp->diskName_ = name;
    return temp;
}

void TFileStream::CommitOver(const std::string& target, Durability durability)
{
    if (durability == Durability::Synced)
        Sync();
    else
        Flush();
    if (int err = 0; !sys::ReplaceWith(file_, diskName_, target, err))
        throw EStreamError("Cannot create file \"" + target + "\". " + ErrorText(err));
    fileName_ = target;
    diskName_ = target;
    RemoveStaleTemporaries(target);
    // Make the rename itself durable.
    if (durability == Durability::Synced)
        sys::SyncDirectory(DirectoryOf(target));
}

void TFileStream::Discard()
{
    wbuf_.clear();
    sys::RemoveFile(diskName_);
}

}  // namespace quorvil
