#pragma once
// Big-endian numbers and bounds-checked reading of an in-memory file image.
// Reads past the end come back short (zeros), as the format's lenient reader
// expects, and never touch memory outside the image; the reader remembers
// that one did, so that a load can tell a whole file from one that ends early.
#include <cstdint>
#include <cstring>
#include <string>

namespace quorvil {

inline uint16_t GetU16BE(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}
inline uint32_t GetU32BE(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
// Eight bytes at a time. ZeroLanes(w) is nonzero when a byte of `w` is
// zero; its lowest set bit (the high bit of a byte) marks the first such
// byte exactly, bits above it may be false. Cells are short: a word test
// beats a call to memchr.
constexpr uint64_t kLaneOnes = 0x0101010101010101ull;
constexpr uint64_t kLaneHighs = 0x8080808080808080ull;
inline uint64_t LoadWord(const void* p)
{
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}
inline uint64_t ZeroLanes(uint64_t w)
{
    return (w - kLaneOnes) & ~w & kLaneHighs;
}
inline uint64_t LanesEqual(uint64_t w, unsigned char c)
{
    return ZeroLanes(w ^ (kLaneOnes * c));
}

// Sixteen bytes at a time where the compiler has vectors (GCC and Clang):
// a comparison gives all ones in each lane that holds.
#if defined(__GNUC__)
#define QUORVIL_BYTE_VECTORS 1
typedef uint8_t TByteLanes __attribute__((vector_size(16)));
inline TByteLanes LoadLanes(const void* p)
{
    TByteLanes v;
    std::memcpy(&v, p, 16);
    return v;
}
inline bool AnyLane(TByteLanes v)
{
    uint64_t halves[2];
    std::memcpy(halves, &v, 16);
    return (halves[0] | halves[1]) != 0;
}
#endif

inline void PutU16BE(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void PutU32BE(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Size() const { return size_; }
    size_t Position() const { return pos_; }
    void Seek(uint64_t pos) { pos_ = pos > size_ ? size_ : size_t(pos); }
    bool AtEnd() const { return pos_ >= size_; }
    size_t Remaining() const { return size_ - pos_; }
    const uint8_t* Here() const { return data_ + pos_; }
    // The image's bytes at `pos`, or null past its end.
    const uint8_t* At(uint64_t pos) const { return pos < size_ ? data_ + pos : nullptr; }

    // Copies up to count bytes into out, zero-filling what the image lacks.
    size_t ReadInto(void* out, size_t count)
    {
        size_t n = count < Remaining() ? count : Remaining();
        if (n)
            std::memcpy(out, data_ + pos_, n);
        if (n < count) {
            std::memset(static_cast<uint8_t*>(out) + n, 0, count - n);
            short_ = true;
        }
        pos_ += n;
        return n;
    }

    void Skip(size_t count)
    {
        if (count > Remaining()) {
            short_ = true;
            count = Remaining();
        }
        pos_ += count;
    }

    // True once a read or skip wanted more bytes than remained, or MarkShort
    // was called (a text that runs into the end without its NUL).
    bool RanShort() const { return short_; }
    void MarkShort() { short_ = true; }
    void ClearShort() { short_ = false; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool short_ = false;
};

}  // namespace quorvil
