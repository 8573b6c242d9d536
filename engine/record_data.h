#pragma once
// One record (or one popup list): up to 50 text slots numbered from 1.
// A record of its own keeps its slots in one allocation (end offsets, then
// the texts), so it costs its text plus four bytes a used slot. A record just
// loaded refers to its bytes in the database's file image instead and finds
// a slot's text there when it is asked for; setting a slot, or copying the
// record, makes it a record of its own (copy on write).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvil {

constexpr int kMaxSlots = 50;
// The longest text the reader keeps of a field; longer ones are cut.
constexpr size_t kMaxTextRead = 32000;

// A cache hint only: compilers without the builtin simply skip it.
inline void PrefetchBytes(const void* at)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(at);
#else
    (void)at;
#endif
}

class TDATA {
public:
    // How a record's bytes in a file hold its texts.
    enum class TFileFormat : uint8_t {
        NulTerminated,  // JFile 3.x: each text followed by a NUL
        LengthTable,    // later layouts: a u16 big-endian length per field, then the fields
        // Bytes of the program's own that never change: a u16 big-endian
        // length per text, then the texts back to back, known to hold no NUL.
        Packed,
    };

    TDATA() = default;
    // A record of `count` slots taken from `texts`.
    TDATA(const std::string_view* texts, int count);
    // A record of `count` slots (at most 50) that refers to `size` bytes of a
    // file image, which must outlive it or it must be set first. Reading a
    // slot never leaves those bytes: whatever they hold, a text ends at their
    // end. For LengthTable and Packed, `size` covers at least the table.
    static TDATA InFile(const uint8_t* bytes, size_t size, int count, TFileFormat format);

    // A record that refers to the same bytes of the file image as `other`,
    // which must outlive it (a record of its own is copied). For copies that
    // live only while their database does.
    static TDATA Borrowed(const TDATA& other);

    // A copy is a record of its own, so that it can outlive the database.
    TDATA(const TDATA& other);
    TDATA& operator=(const TDATA& other);
    TDATA(TDATA&& other) noexcept;
    TDATA& operator=(TDATA&& other) noexcept;
    ~TDATA() = default;

    // The slot text; empty for i = 0, i > 50 or a slot never set.
    std::string GetField(int i) const { return std::string(Field(i)); }
    std::string_view Field(int i) const;
    // Stores the text; ignored for i = 0 or i > 50.
    void SetField(int i, std::string_view text);
    // Every slot's text at once, slot i in out[i - 1] (empty beyond
    // SlotCount): one pass over a record in the file instead of one a slot.
    // True when no text can hold a NUL byte (a record in the file whose
    // texts were found by their NULs, or a Packed one); false when one may.
    bool Texts(std::array<std::string_view, kMaxSlots>& out) const;

    // Number of slots held (the highest slot ever set or read).
    int SlotCount() const;
    size_t TextBytes() const;
    // Bytes that hold every slot's text: for a record of its own the texts
    // back to back; for a record in the file its bytes after the length
    // table, NULs and anything between the texts included. Its size bounds
    // the texts' total, and a byte it lacks is in no text.
    std::string_view TextSpan() const;
    // Asks the processor to fetch the record's bytes into its cache: a
    // writer that visits records far apart calls it a few records ahead.
    void Prefetch() const;
    // True while the record refers to the file image.
    bool InFileImage() const { return view_ != nullptr; }

private:
    uint32_t EndOf(int slot) const;  // slot counts from 0
    size_t TextBase() const { return 1 + size_t(OwnSlotCount()) * 4; }
    int OwnSlotCount() const { return buf_.empty() ? 0 : static_cast<unsigned char>(buf_[0]); }
    std::string_view ViewField(int i) const;
    bool CleanTexts(std::array<std::string_view, kMaxSlots>& out, size_t textStart) const;

    std::string buf_;
    const uint8_t* view_ = nullptr;
    size_t viewSize_ = 0;
    uint8_t viewCount_ = 0;
    TFileFormat format_ = TFileFormat::LengthTable;
};

}  // namespace quorvil
