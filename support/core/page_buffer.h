#pragma once
// One large block of bytes that is filled once, such as a whole file read
// into memory. Large blocks are asked of the system directly, in huge pages
// where it offers them: first touching each small page of fresh memory can
// cost more than copying the bytes into it.
#include <cstddef>
#include <cstdint>

namespace quorvil {

class TPageBuffer {
public:
    TPageBuffer() = default;
    // Uninitialised; throws std::bad_alloc when the memory is not there.
    explicit TPageBuffer(size_t size);
    ~TPageBuffer();
    TPageBuffer(TPageBuffer&& other) noexcept;
    TPageBuffer& operator=(TPageBuffer&& other) noexcept;
    TPageBuffer(const TPageBuffer&) = delete;
    TPageBuffer& operator=(const TPageBuffer&) = delete;

    uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    void Release() noexcept;

    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t mappedSize_ = 0;  // non-zero when the system's pages back it
};

}  // namespace quorvil
