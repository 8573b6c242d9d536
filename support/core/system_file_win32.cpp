#include "system_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <random>
#include <vector>

#include "system_win32.h"

namespace quorvil::sys {

using win32::ErrnoOf;
using win32::Wide;

namespace {

// Locks are share modes: a holder lets others read but not write, and lets
// the file be renamed over (the replacement's system rename asks for that).
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kShareLocked = FILE_SHARE_READ | FILE_SHARE_DELETE;

struct Slot {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring name;  // full path
    DWORD access = 0;
    DWORD share = 0;
};

// The slots of locked files, for a replacement that must give them up.
std::mutex gLockedMutex;
std::vector<Slot*> gLocked;

Slot* SlotOf(FileHandle file)
{
    return reinterpret_cast<Slot*>(file);
}

FileHandle HandleOf(Slot* slot)
{
    return reinterpret_cast<FileHandle>(slot);
}

std::wstring FullName(const std::wstring& name)
{
    const DWORD n = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return name;
    std::wstring full(n, L'\0');
    const DWORD written = ::GetFullPathNameW(name.c_str(), n, full.data(), nullptr);
    full.resize(written < n ? written : 0);
    return full.empty() ? name : full;
}

FileHandle Adopt(HANDLE handle, std::wstring name, DWORD access, DWORD share)
{
    auto* slot = new Slot{handle, FullName(name), access, share};
    if (share != kShareAll) {
        const std::lock_guard<std::mutex> guard(gLockedMutex);
        gLocked.push_back(slot);
    }
    return HandleOf(slot);
}

struct FileIdentity {
    DWORD volume = 0;
    DWORD high = 0;
    DWORD low = 0;
    // Wine gives a renamed file's handle volume 0.
    bool operator==(const FileIdentity& o) const
    {
        return high == o.high && low == o.low && (volume == o.volume || volume == 0 || o.volume == 0);
    }
};

bool IdentityOf(HANDLE handle, FileIdentity& id)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info))
        return false;
    id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

bool IdentityOf(const std::wstring& name, FileIdentity& id)
{
    HANDLE h = ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = IdentityOf(h, id);
    ::CloseHandle(h);
    return ok;
}

OVERLAPPED At(std::uint64_t position)
{
    OVERLAPPED at{};
    at.Offset = DWORD(position & 0xFFFFFFFFu);
    at.OffsetHigh = DWORD(position >> 32);
    return at;
}

// FILE_RENAME_INFO with the flags of the extended class, which older
// headers lack.
struct RenameInfo {
    union {
        BOOLEAN ReplaceIfExists;
        DWORD Flags;
    };
    HANDLE RootDirectory;
    DWORD FileNameLength;
    WCHAR FileName[1];
};
constexpr auto kFileRenameInfoEx = FILE_INFO_BY_HANDLE_CLASS(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

bool RenameHandle(HANDLE handle, const std::wstring& target, bool posix)
{
    std::vector<unsigned char> buffer(sizeof(RenameInfo) + target.size() * sizeof(WCHAR));
    auto* info = reinterpret_cast<RenameInfo*>(buffer.data());
    if (posix)
        info->Flags = kRenameReplaceIfExists | kRenamePosixSemantics;
    else
        info->ReplaceIfExists = TRUE;
    info->FileNameLength = DWORD(target.size() * sizeof(WCHAR));
    std::copy(target.begin(), target.end(), info->FileName);
    return ::SetFileInformationByHandle(handle, posix ? kFileRenameInfoEx : FileRenameInfo, info,
                                        DWORD(buffer.size())) != 0;
}

bool Refused(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

}  // namespace

FileHandle OpenFile(const std::string& name, Access access, Lock lock, bool create, int& error)
{
    const std::wstring wide = Wide(name);
    const DWORD rights = GENERIC_READ | (access == Access::ReadWrite ? GENERIC_WRITE : 0);
    const DWORD share = lock == Lock::None ? kShareAll : kShareLocked;
    HANDLE h = ::CreateFileW(wide.c_str(), rights, share, nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        const bool directory = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        error = directory ? EISDIR : ErrnoOf(code);
        return kNoFile;
    }
    return Adopt(h, wide, rights, share);
}

void CloseFile(FileHandle file)
{
    if (file == kNoFile)
        return;
    Slot* slot = SlotOf(file);
    {
        const std::lock_guard<std::mutex> guard(gLockedMutex);
        std::erase(gLocked, slot);
    }
    if (slot->handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(slot->handle);
    delete slot;
}

bool IsDirectory(FileHandle file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(SlotOf(file)->handle, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long ReadAt(FileHandle file, void* buffer, std::size_t count, std::uint64_t position, int& error)
{
    OVERLAPPED at = At(position);
    DWORD done = 0;
    const DWORD chunk = DWORD(std::min<std::size_t>(count, 1u << 30));
    if (::ReadFile(SlotOf(file)->handle, buffer, chunk, &done, &at))
        return done;
    const DWORD code = ::GetLastError();
    if (code == ERROR_HANDLE_EOF)
        return 0;
    error = SlotOf(file)->handle == INVALID_HANDLE_VALUE ? EBADF : ErrnoOf(code);
    return -1;
}

long long WriteAt(FileHandle file, const void* data, std::size_t count, std::uint64_t position, int& error)
{
    OVERLAPPED at = At(position);
    DWORD done = 0;
    const DWORD chunk = DWORD(std::min<std::size_t>(count, 1u << 30));
    if (::WriteFile(SlotOf(file)->handle, data, chunk, &done, &at) && done > 0)
        return done;
    error = SlotOf(file)->handle == INVALID_HANDLE_VALUE ? EBADF : ErrnoOf(::GetLastError());
    return -1;
}

std::uint64_t FileSize(FileHandle file)
{
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(SlotOf(file)->handle, &size) ? std::uint64_t(size.QuadPart) : 0;
}

bool Truncate(FileHandle file, std::uint64_t size, int& error)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = LONGLONG(size);
    if (::SetFileInformationByHandle(SlotOf(file)->handle, FileEndOfFileInfo, &end, sizeof end))
        return true;
    error = ErrnoOf(::GetLastError());
    return false;
}

bool SyncFile(FileHandle file, int& error)
{
    if (::FlushFileBuffers(SlotOf(file)->handle))
        return true;
    error = ErrnoOf(::GetLastError());
    return false;
}

bool IsSameFile(FileHandle file, const std::string& path)
{
    FileIdentity open;
    FileIdentity named;
    return IdentityOf(SlotOf(file)->handle, open) && IdentityOf(Wide(path), named) && open == named;
}

bool CanCreateIn(const std::string& directory)
{
    // The folder's permissions are its access list, which only an attempt
    // to create a file tells; the replacement reports that failure.
    const DWORD attributes = ::GetFileAttributesW(Wide(directory).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileHandle CreateTemporary(const std::string& prefix, const std::string&, std::string& name, int& error)
{
    // New files take the permissions of their folder, as the target has.
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, int(sizeof kLetters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = prefix;
        for (int i = 0; i < 6; ++i)
            candidate += kLetters[pick(random)];
        const std::wstring wide = Wide(candidate);
        const DWORD rights = GENERIC_READ | GENERIC_WRITE;
        HANDLE h = ::CreateFileW(wide.c_str(), rights, kShareLocked, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            name = candidate;
            return Adopt(h, wide, rights, kShareLocked);
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            error = ErrnoOf(code);
            return kNoFile;
        }
    }
    error = EEXIST;
    return kNoFile;
}

bool ReplaceWith(FileHandle temp, const std::string& tempName, const std::string& target, int& error)
{
    Slot* slot = SlotOf(temp);
    const std::wstring full = FullName(Wide(target));
    // The rename goes through a handle of its own: a handle with the right to
    // delete would keep out every reader that does not share deleting.
    HANDLE renamer = ::CreateFileW(Wide(tempName).c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (renamer == INVALID_HANDLE_VALUE) {
        error = ErrnoOf(::GetLastError());
        return false;
    }
    const auto done = [&](bool ok, DWORD code) {
        ::CloseHandle(renamer);
        if (ok)
            slot->name = full;
        else
            error = Refused(code) ? kInUse : ErrnoOf(code);
        return ok;
    };
    // Where the system has it, a POSIX rename replaces a file that is open.
    if (RenameHandle(renamer, full, true) || RenameHandle(renamer, full, false))
        return done(true, 0);
    DWORD code = ::GetLastError();
    FileIdentity targetId;
    if (!Refused(code) || !IdentityOf(full, targetId))
        return done(false, code);
    // Elsewhere the system refuses while any handle is open on the target,
    // this program's own among them: those are closed for the rename. On
    // success they are left closed, since their file is gone; on failure
    // they are opened again, so the program keeps its lock. A refusal that
    // remains comes from another program holding the file.
    const std::lock_guard<std::mutex> guard(gLockedMutex);
    std::vector<Slot*> released;
    for (Slot* holder : gLocked) {
        FileIdentity id;
        if (holder != slot && holder->handle != INVALID_HANDLE_VALUE && IdentityOf(holder->handle, id) &&
            id == targetId) {
            ::CloseHandle(holder->handle);
            holder->handle = INVALID_HANDLE_VALUE;
            released.push_back(holder);
        }
    }
    if (!released.empty() && RenameHandle(renamer, full, false))
        return done(true, 0);
    code = ::GetLastError();
    for (Slot* holder : released)
        holder->handle = ::CreateFileW(holder->name.c_str(), holder->access, holder->share, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    return done(false, code);
}

void SyncDirectory(const std::string&)
{
    // The file system keeps its own metadata journal; a folder cannot be
    // flushed by an ordinary program.
}

bool RemoveIfUnlocked(const std::string& path)
{
    // Sharing only reading fails while a handle writes or holds the file.
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_DISPOSITION_INFO remove{};
    remove.DeleteFile = TRUE;
    const bool removed = ::GetFileInformationByHandle(h, &info) &&
                         !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                         ::SetFileInformationByHandle(h, FileDispositionInfo, &remove, sizeof remove);
    ::CloseHandle(h);
    return removed;
}

void RemoveFile(const std::string& path)
{
    ::DeleteFileW(Wide(path).c_str());
}

bool IsLocked(const std::string& path)
{
    // Every locked handle denies others writing, so asking to write tells.
    HANDLE h = ::CreateFileW(Wide(path).c_str(), FILE_WRITE_DATA, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

void SetBinaryStandardOutput()
{
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

}  // namespace quorvil::sys
