#include "record_data.h"

#include "byte_io.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace quorvil {

namespace {

uint16_t LengthAt(const uint8_t* table, int i)
{
    return uint16_t((table[2 * i] << 8) | table[2 * i + 1]);
}

// The sum of the first `count` lengths of a table, four at a time: a cell
// near the end of a wide record is found without fifty separate additions.
size_t SumOfLengths(const uint8_t* table, int count)
{
    constexpr uint64_t kLowBytes = 0x00FF00FF00FF00FFull;
    uint64_t evenBytes = 0;  // bytes 0, 2, 4, 6 of each word, in 16-bit lanes
    uint64_t oddBytes = 0;
    int k = 0;
    // At most 13 words: a lane collects at most 13 * 255, far below 65536.
    for (; k + 4 <= count; k += 4) {
        uint64_t word;
        std::memcpy(&word, table + 2 * k, 8);
        evenBytes += word & kLowBytes;
        oddBytes += (word >> 8) & kLowBytes;
    }
    auto lanes = [](uint64_t v) { return size_t((v * 0x0001000100010001ull) >> 48); };
    // Lengths are big-endian: the first byte of each is its high byte.
    const bool little = std::endian::native == std::endian::little;
    size_t sum = (lanes(little ? evenBytes : oddBytes) << 8) + lanes(little ? oddBytes : evenBytes);
    for (; k < count; ++k)
        sum += LengthAt(table, k);
    return sum;
}

// The text at `start` up to its first NUL, at most `available` bytes and at
// most the longest text the reader keeps.
std::string_view TextAt(const uint8_t* start, size_t available)
{
    const void* nul = std::memchr(start, 0, available);
    size_t len = nul ? size_t(static_cast<const uint8_t*>(nul) - start) : available;
    return std::string_view(reinterpret_cast<const char*>(start), len < kMaxTextRead ? len : kMaxTextRead);
}

// The number of zero bytes in `size` bytes, sixteen at a time where the
// compiler has vectors (a lane of a comparison is all ones, so subtracting
// it counts), else eight at a time: a zero byte is the one whose low seven
// bits plus 0x7F do not carry into its high bit and whose high bit is clear.
size_t ZeroBytes(const uint8_t* bytes, size_t size)
{
    size_t zeros = 0;
    size_t i = 0;
#if QUORVIL_BYTE_VECTORS
    while (i + 16 <= size) {
        // Each lane gathers at most 255 ones before it is summed.
        TByteLanes lanes = {};
        for (int words = 0; words < 255 && i + 16 <= size; ++words, i += 16)
            lanes -= reinterpret_cast<TByteLanes>(LoadLanes(bytes + i) == 0);
        for (int k = 0; k < 16; ++k)
            zeros += lanes[k];
    }
#endif
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    while (i + 8 <= size) {
        uint64_t lanes = 0;
        for (int words = 0; words < 255 && i + 8 <= size; ++words, i += 8) {
            const uint64_t word = LoadWord(bytes + i);
            lanes += (~(((word & kLow7) + kLow7) | word | kLow7) >> 7) & kLaneOnes;
        }
        for (; lanes != 0; lanes >>= 8)
            zeros += size_t(lanes & 0xFF);
    }
    for (; i < size; ++i)
        zeros += bytes[i] == 0;
    return zeros;
}

}  // namespace

TDATA::TDATA(const std::string_view* texts, int count)
{
    if (count <= 0)
        return;
    if (count > kMaxSlots)
        count = kMaxSlots;
    size_t total = 0;
    for (int i = 0; i < count; ++i)
        total += texts[i].size();
    buf_.resize(1 + size_t(count) * 4 + total);
    buf_[0] = char(count);
    char* ends = &buf_[1];
    char* out = &buf_[TextBase()];
    uint32_t end = 0;
    for (int i = 0; i < count; ++i) {
        end += uint32_t(texts[i].size());
        std::memcpy(ends + i * 4, &end, 4);
    }
    // Texts that lie back to back (those of one record) are copied as one
    // run: most records are made from another record's texts.
    for (int i = 0; i < count;) {
        const char* from = texts[i].data();
        size_t run = texts[i].size();
        int next = i + 1;
        while (next < count && (texts[next].empty() || texts[next].data() == from + run))
            run += texts[next++].size();
        if (run > 0)
            std::memcpy(out, from, run);
        out += run;
        i = next;
    }
}

TDATA TDATA::InFile(const uint8_t* bytes, size_t size, int count, TFileFormat format)
{
    TDATA record;
    if (count <= 0)
        return record;
    record.view_ = bytes;
    record.viewSize_ = size;
    record.viewCount_ = uint8_t(count > kMaxSlots ? kMaxSlots : count);
    record.format_ = format;
    return record;
}

TDATA TDATA::Borrowed(const TDATA& other)
{
    return other.view_ ? InFile(other.view_, other.viewSize_, other.viewCount_, other.format_) : TDATA(other);
}

TDATA::TDATA(const TDATA& other) : buf_(other.buf_)
{
    if (other.view_) {
        std::array<std::string_view, kMaxSlots> texts;
        other.Texts(texts);
        *this = TDATA(texts.data(), other.viewCount_);
    }
}

TDATA& TDATA::operator=(const TDATA& other)
{
    if (this != &other)
        *this = TDATA(other);
    return *this;
}

TDATA::TDATA(TDATA&& other) noexcept
    : buf_(std::move(other.buf_)), view_(std::exchange(other.view_, nullptr)),
      viewSize_(std::exchange(other.viewSize_, 0)), viewCount_(std::exchange(other.viewCount_, 0)),
      format_(other.format_)
{
    other.buf_.clear();
}

TDATA& TDATA::operator=(TDATA&& other) noexcept
{
    if (this != &other) {
        buf_ = std::move(other.buf_);
        other.buf_.clear();
        view_ = std::exchange(other.view_, nullptr);
        viewSize_ = std::exchange(other.viewSize_, 0);
        viewCount_ = std::exchange(other.viewCount_, 0);
        format_ = other.format_;
    }
    return *this;
}

int TDATA::SlotCount() const
{
    return view_ ? viewCount_ : OwnSlotCount();
}

uint32_t TDATA::EndOf(int slot) const
{
    uint32_t end;
    std::memcpy(&end, &buf_[1 + size_t(slot) * 4], 4);
    return end;
}

std::string_view TDATA::Field(int i) const
{
    if (i < 1 || i > SlotCount())
        return {};
    if (view_)
        return ViewField(i);
    uint32_t start = i == 1 ? 0 : EndOf(i - 2);
    uint32_t end = EndOf(i - 1);
    return std::string_view(buf_.data() + TextBase() + start, end - start);
}

// Every offset is checked against the record's bytes rather than trusted
// from the load: a mapped file can change under the record.
std::string_view TDATA::ViewField(int i) const
{
    if (format_ != TFileFormat::NulTerminated) {
        size_t offset = 2 * size_t(viewCount_);
        if (offset > viewSize_)
            return {};
        offset += SumOfLengths(view_, i - 1);
        if (offset >= viewSize_)
            return {};
        const size_t length = std::min<size_t>(LengthAt(view_, i - 1), viewSize_ - offset);
        if (format_ == TFileFormat::LengthTable)
            return TextAt(view_ + offset, length);
        return std::string_view(reinterpret_cast<const char*>(view_ + offset), std::min(length, kMaxTextRead));
    }
    size_t offset = 0;
    for (int k = 1; k < i; ++k) {
        const void* nul = std::memchr(view_ + offset, 0, viewSize_ - offset);
        if (!nul)
            return {};
        offset = size_t(static_cast<const uint8_t*>(nul) - view_) + 1;
    }
    return TextAt(view_ + offset, viewSize_ - offset);
}

// The common record of a length-table file: each field's bytes lie within
// the record, end in its one NUL and fit what the reader keeps. Then every
// text is its field less the NUL, and one count of the zero bytes of all
// fields stands for a NUL search in each. False (with `out` partly set)
// for any other record.
bool TDATA::CleanTexts(std::array<std::string_view, kMaxSlots>& out, size_t textStart) const
{
    const int count = viewCount_;
    size_t offset = textStart;
    for (int i = 0; i < count; ++i) {
        const size_t length = LengthAt(view_, i);
        if (length == 0 || length - 1 > kMaxTextRead || length > viewSize_ - offset || view_[offset + length - 1] != 0)
            return false;
        out[size_t(i)] = std::string_view(reinterpret_cast<const char*>(view_ + offset), length - 1);
        offset += length;
    }
    return ZeroBytes(view_ + textStart, offset - textStart) == size_t(count);
}

bool TDATA::Texts(std::array<std::string_view, kMaxSlots>& out) const
{
    const int count = SlotCount();
    if (!view_) {
        // The end offsets in one pass: copy and merge read every slot of
        // many records.
        const char* base = buf_.data() + (count > 0 ? TextBase() : 0);
        uint32_t start = 0;
        for (int i = 0; i < count; ++i) {
            const uint32_t end = EndOf(i);
            out[size_t(i)] = std::string_view(base + start, end - start);
            start = end;
        }
        std::fill(out.begin() + count, out.end(), std::string_view());
        return false;
    }
    out.fill({});
    if (format_ == TFileFormat::Packed) {
        size_t offset = 2 * size_t(count);
        for (int i = 0; i < count && offset < viewSize_; ++i) {
            const size_t length = LengthAt(view_, i);
            out[size_t(i)] = std::string_view(reinterpret_cast<const char*>(view_ + offset),
                                              std::min({length, viewSize_ - offset, kMaxTextRead}));
            offset += length;
        }
        return true;
    }
    if (format_ == TFileFormat::LengthTable) {
        size_t offset = 2 * size_t(count);
        if (offset > viewSize_)
            return true;
        if (CleanTexts(out, offset))
            return true;
        out.fill({});
        for (int i = 0; i < count && offset < viewSize_; ++i) {
            size_t length = LengthAt(view_, i);
            out[size_t(i)] = TextAt(view_ + offset, std::min<size_t>(length, viewSize_ - offset));
            offset += length;
        }
        return false;
    }
    size_t offset = 0;
    for (int i = 0; i < count && offset < viewSize_; ++i) {
        const uint8_t* start = view_ + offset;
        const void* nul = std::memchr(start, 0, viewSize_ - offset);
        size_t len = nul ? size_t(static_cast<const uint8_t*>(nul) - start) : viewSize_ - offset;
        out[size_t(i)] = std::string_view(reinterpret_cast<const char*>(start), std::min(len, kMaxTextRead));
        offset += nul ? len + 1 : len;
    }
    return true;
}

void TDATA::SetField(int i, std::string_view text)
{
    if (i < 1 || i > kMaxSlots)
        return;
    // `text` may point into this record, or into the file image: the new
    // record is built before the old one goes.
    std::array<std::string_view, kMaxSlots> texts;
    Texts(texts);
    int count = SlotCount() > i ? SlotCount() : i;
    texts[size_t(i - 1)] = text;
    TDATA rebuilt(texts.data(), count);
    buf_.swap(rebuilt.buf_);
    view_ = nullptr;
    viewSize_ = 0;
    viewCount_ = 0;
}

size_t TDATA::TextBytes() const
{
    if (!view_)
        return OwnSlotCount() == 0 ? 0 : EndOf(OwnSlotCount() - 1);
    std::array<std::string_view, kMaxSlots> texts;
    Texts(texts);
    size_t total = 0;
    for (std::string_view text : texts)
        total += text.size();
    return total;
}

void TDATA::Prefetch() const
{
    const char* bytes = view_ ? reinterpret_cast<const char*>(view_) : buf_.data();
    const size_t size = view_ ? viewSize_ : buf_.size();
    for (size_t at = 0; at < size; at += 64)
        PrefetchBytes(bytes + at);
}

std::string_view TDATA::TextSpan() const
{
    if (!view_)
        return buf_.empty() ? std::string_view() : std::string_view(buf_).substr(TextBase());
    size_t skip = format_ != TFileFormat::NulTerminated ? std::min<size_t>(2 * size_t(viewCount_), viewSize_) : 0;
    return std::string_view(reinterpret_cast<const char*>(view_) + skip, viewSize_ - skip);
}

}  // namespace quorvil
