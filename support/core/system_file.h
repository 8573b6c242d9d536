#pragma once
// The operating system's files behind one interface, with a POSIX and a
// Win32 implementation: opening with the program's locking rules, reads and
// writes at a position, and the steps of a crash-safe replacement. Names are
// UTF-8. Failures give errno values (Win32 errors are mapped to them), so a
// message reads the same on every platform.
#include <cstdint>
#include <cstring>
#include <string>

namespace quorvil::sys {

// A file descriptor on POSIX; on Windows a slot of the program's own that
// holds the HANDLE, so that a replacement can close and reopen it.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class Access { Read, ReadWrite };
// None: other programs may read and write (a reader of a file that is only
// ever replaced whole). Shared: others may read but not write. Exclusive:
// no other writer and no other Shared holder.
enum class Lock { None, Shared, Exclusive };

// The error a lock held elsewhere gives.
inline constexpr int kInUse = -2;

// Opens (or with `create`, creates) a file. On failure returns kNoFile and
// sets `error`: kInUse when the lock is held by another program.
FileHandle OpenFile(const std::string& name, Access access, Lock lock, bool create, int& error);
void CloseFile(FileHandle file);

bool IsDirectory(FileHandle file);
// Bytes read (0 at the end), or -1 with `error` set.
long long ReadAt(FileHandle file, void* buffer, std::size_t count, std::uint64_t position, int& error);
// Bytes written (at least 1), or -1 with `error` set.
long long WriteAt(FileHandle file, const void* data, std::size_t count, std::uint64_t position, int& error);
std::uint64_t FileSize(FileHandle file);
bool Truncate(FileHandle file, std::uint64_t size, int& error);
// Forces the file's data to the disk.
bool SyncFile(FileHandle file, int& error);
// True when `path` names the very file `file` holds.
bool IsSameFile(FileHandle file, const std::string& path);

// True when new files can be made in the folder (a replacement needs that).
bool CanCreateIn(const std::string& directory);

// Creates `prefix` followed by six random letters or digits, exclusively
// locked, with the permissions `permissionsOf` has (or the defaults for a
// new file when it does not exist; readable by the user alone when it is
// empty). Returns kNoFile with `error` on failure.
FileHandle CreateTemporary(const std::string& prefix, const std::string& permissionsOf, std::string& name, int& error);
// Renames the temporary file `temp`, named `tempName`, over `target`; `temp`
// then holds the target. Handles of this program on the old target are
// given up where the system refuses to replace an open file, and kept when
// the replacement fails.
bool ReplaceWith(FileHandle temp, const std::string& tempName, const std::string& target, int& error);
// Makes a rename in the folder durable, where the system needs that.
void SyncDirectory(const std::string& directory);
// Removes a file that no handle holds locked; false when one does.
bool RemoveIfUnlocked(const std::string& path);
void RemoveFile(const std::string& path);
// True when a handle that holds the program's lock (Shared or Exclusive)
// has the file open: a database open in the editor, this program's own
// handles included. False where it cannot tell (no such file, no right to
// open it).
bool IsLocked(const std::string& path);

// Standard output passes bytes as they are (Windows would turn LF into
// CR LF).
void SetBinaryStandardOutput();

// A readable sentence for an error of the functions above.
inline std::string ErrorText(int error)
{
    return error == kInUse ? "The file is in use by another program." : std::strerror(error);
}

}  // namespace quorvil::sys
