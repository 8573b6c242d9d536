#pragma once
// Memory straight from the system: page blocks for large buffers and
// read-only mappings of files, with a POSIX and a Win32 implementation.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "system_file.h"

namespace quorvil::sys {

// A block of at least `size` bytes of fresh pages, on huge-page boundaries
// where the system has them; null where it gives none (the caller then
// allocates). `length` is what FreePages takes back.
std::uint8_t* AllocatePages(std::size_t size, std::size_t& length);
void FreePages(std::uint8_t* data, std::size_t length);

// From now on, blocks of up to tens of megabytes that are freed stay with
// the heap for the next one instead of going back to the system: work that
// makes and frees such a block per step (a PDF page's stream) then does not
// map and fault in fresh pages every time.
void KeepFreedBlocks();

// A read-only mapping of a whole regular file. Pages that the file loses
// while mapped (another program cuts it) read as zeros instead of raising
// the system's bus error, and Cut() then tells.
class TFileMapping {
public:
    // Null when the file cannot be mapped: not a regular file, no bytes from
    // `from` on, or a system where a mapped file cannot be replaced by a
    // save (Windows).
    static std::unique_ptr<TFileMapping> Map(FileHandle file, std::uint64_t from);
    ~TFileMapping();
    TFileMapping(const TFileMapping&) = delete;
    TFileMapping& operator=(const TFileMapping&) = delete;

    const std::uint8_t* Data() const { return static_cast<const std::uint8_t*>(data_); }
    std::size_t Size() const { return size_; }
    bool Cut() const;

private:
    TFileMapping() = default;
    void* data_ = nullptr;
    std::size_t size_ = 0;
    int slot_ = -1;  // where the bus-error handler finds the mapping
};

}  // namespace quorvil::sys
