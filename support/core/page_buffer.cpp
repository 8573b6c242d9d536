#include "page_buffer.h"

#include <new>
#include <utility>

#include "system_memory.h"

namespace quorvil {

namespace {

// Below this the allocator's own pages serve as well.
constexpr size_t kDirectFrom = size_t(4) << 20;

}  // namespace

TPageBuffer::TPageBuffer(size_t size) : size_(size)
{
    if (size >= kDirectFrom) {
        data_ = sys::AllocatePages(size, mappedSize_);
        if (data_)
            return;
        mappedSize_ = 0;
    }
    data_ = new uint8_t[size > 0 ? size : 1];
}

TPageBuffer::~TPageBuffer()
{
    Release();
}

TPageBuffer::TPageBuffer(TPageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
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
    if (mappedSize_) {
        sys::FreePages(data_, mappedSize_);
        data_ = nullptr;
        return;
    }
    delete[] data_;
    data_ = nullptr;
}

}  // namespace quorvil
