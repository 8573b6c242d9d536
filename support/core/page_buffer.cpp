#include "page_buffer.h"

#include <new>
#include <utility>

#if !defined(_WIN32)
#include <sys/mman.h>
#endif

namespace quorvil {

namespace {

// Below this the allocator's own pages serve as well.
constexpr size_t kDirectFrom = size_t(4) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

}  // namespace

TPageBuffer::TPageBuffer(size_t size) : size_(size)
{
#if !defined(_WIN32)
    if (size >= kDirectFrom) {
        // Huge pages only come in aligned blocks, so the block is cut out of
        // a slightly larger mapping at a huge-page boundary.
        const size_t length = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* block = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block != MAP_FAILED) {
            auto* raw = static_cast<uint8_t*>(block);
            const uintptr_t at = reinterpret_cast<uintptr_t>(raw);
            uint8_t* aligned = raw + ((kHugePage - at % kHugePage) % kHugePage);
            if (aligned > raw)
                ::munmap(raw, size_t(aligned - raw));
            const size_t tail = size_t(raw + length + kHugePage - (aligned + length));
            if (tail > 0)
                ::munmap(aligned + length, tail);
#if defined(MADV_HUGEPAGE)
            ::madvise(aligned, length, MADV_HUGEPAGE);  // a hint: refused is fine
#endif
            data_ = aligned;
            mappedSize_ = length;
            return;
        }
    }
#endif
    data_ = new uint8_t[size > 0 ? size : 1];
}

TPageBuffer::~TPageBuffer()
{
    Release();
}

TPageBuffer::TPageBuffer(TPageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mappedSize_(std::exchange(other.mappedSize_, 0))
{
}

TPageBuffer& TPageBuffer::operator=(TPageBuffer&& other) noexcept
{
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mappedSize_ = std::exchange(other.mappedSize_, 0);
    }
    return *this;
}

void TPageBuffer::Release() noexcept
{
    if (!data_)
        return;
#if !defined(_WIN32)
    if (mappedSize_) {
        ::munmap(data_, mappedSize_);
        data_ = nullptr;
        return;
    }
#endif
    delete[] data_;
    data_ = nullptr;
}

}  // namespace quorvil
