#pragma once
// Line-oriented output of the text writers: bytes gather in a fixed-size
// buffer that goes to the stream in large blocks.
#include "streams.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace quorvil {

// Copies `text` to `to` and returns its end. A short text that lies within
// `within` goes as two fixed blocks of sixteen bytes rather than through a
// call: they read and write up to 32 bytes from its start, the bytes after
// it in `within` and room the caller keeps past its end (kCopySlack).
constexpr size_t kCopySlack = 32;
inline char* CopyText(char* to, std::string_view text, std::string_view within)
{
    const auto from = reinterpret_cast<uintptr_t>(text.data());
    const auto begin = reinterpret_cast<uintptr_t>(within.data());
    if (text.size() <= kCopySlack && from >= begin && within.size() >= kCopySlack &&
        from - begin <= within.size() - kCopySlack) {
        std::memcpy(to, text.data(), 16);
        std::memcpy(to + 16, text.data() + 16, 16);
        return to + text.size();
    }
    if (!text.empty())
        std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

class TTextOutput {
public:
    static constexpr size_t kDefaultCapacity = 0x20000;  // 128 KB

    explicit TTextOutput(TStream& out, size_t capacity = kDefaultCapacity)
        : out_(out), capacity_(capacity), buf_(new char[capacity])
    {
    }
    TTextOutput(const TTextOutput&) = delete;
    TTextOutput& operator=(const TTextOutput&) = delete;

    void Put(std::string_view text) { Append(text, false); }
    void Put(char c)
    {
        if (used_ == capacity_)
            Flush();
        buf_[used_++] = c;
    }
    // The text with every line feed shown as the byte hex CF.
    void PutWithoutLineFeeds(std::string_view text) { Append(text, true); }
    // A separator (when not the first), then the text in double quotes with
    // its line feeds shown as hex CF: one CSV cell.
    // `mayHoldLineFeeds` false skips the search for them.
    void PutQuotedCell(std::string_view text, bool first, bool mayHoldLineFeeds = true)
    {
        if (used_ + text.size() + 3 > capacity_) {
            if (!first)
                Put(',');
            Put('"');
            Append(text, true);
            Put('"');
            return;
        }
        char* to = buf_.get() + used_;
        if (!first)
            *to++ = ',';
        *to++ = '"';
        // An empty view may carry a null pointer, which memcpy must not get.
        if (!text.empty()) {
            std::memcpy(to, text.data(), text.size());
            if (mayHoldLineFeeds && std::memchr(to, '\n', text.size()))
                std::replace(to, to + text.size(), '\n', '\xCF');
            to += text.size();
        }
        *to++ = '"';
        used_ = size_t(to - buf_.get());
    }
    void EndLine() { Put(std::string_view("\r\n", 2)); }
    // Room for `count` bytes at the end of the buffer, flushing first when
    // needed; null when the buffer is smaller than that. Commit(end) then
    // keeps what was written up to `end`.
    char* Reserve(size_t count)
    {
        if (used_ + count > capacity_)
            Flush();
        return count <= capacity_ ? buf_.get() + used_ : nullptr;
    }
    void Commit(char* end) { used_ = size_t(end - buf_.get()); }
    // Hands everything gathered so far to the stream.
    void Flush()
    {
        if (used_ > 0)
            out_.Write(buf_.get(), used_);
        used_ = 0;
    }

private:
    // Texts longer than the free space go out in pieces of the buffer's size.
    void Append(std::string_view text, bool lineFeeds)
    {
        while (!text.empty()) {
            if (used_ == capacity_)
                Flush();
            size_t n = std::min(text.size(), capacity_ - used_);
            char* to = buf_.get() + used_;
            std::memcpy(to, text.data(), n);
            if (lineFeeds && std::memchr(to, '\n', n))
                std::replace(to, to + n, '\n', '\xCF');
            used_ += n;
            text.remove_prefix(n);
        }
    }

    TStream& out_;
    size_t capacity_;
    std::unique_ptr<char[]> buf_;
    size_t used_ = 0;
};

}  // namespace quorvil
