#pragma once
// What a database's file looked like on disk when this program last read or
// wrote it, so that a change another program made since can be told apart
// from the program's own saves.
#include <cstdint>
#include <string>

namespace quorvil {

struct TDiskStamp {
    bool Exists = false;
    uint64_t Size = 0;
    int64_t Time = 0;  // the last write, in the file system's own units
    bool operator==(const TDiskStamp&) const = default;
};

// The stamp of the file at `path` now; Exists is false when there is none.
TDiskStamp DiskStampOf(const std::string& path);

// How the file of an open database changed behind its back.
enum class TOutsideChange {
    None,
    Rewritten,  // new contents in the same file
    Replaced,   // another file put in its place (a rename over it)
    Removed,    // deleted or moved away
};

}  // namespace quorvil
