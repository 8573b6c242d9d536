#include "system_memory.h"

namespace quorvil::sys {

// The allocator's pages serve as well there.
std::uint8_t* AllocatePages(std::size_t, std::size_t& length)
{
    length = 0;
    return nullptr;
}

void FreePages(std::uint8_t*, std::size_t) {}

// A mapped file cannot be replaced there, which every save does.
std::unique_ptr<TFileMapping> TFileMapping::Map(FileHandle, std::uint64_t)
{
    return nullptr;
}

TFileMapping::~TFileMapping() = default;

bool TFileMapping::Cut() const
{
    return false;
}

void KeepFreedBlocks()
{
    // The Windows heap has no such setting.
}

}  // namespace quorvil::sys
