#pragma once
// One record (or one popup list): up to 50 text slots numbered from 1.
// The slots live in one allocation (end offsets, then the texts), so a record
// costs its text plus four bytes a used slot, not 50 empty strings.
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvil {

constexpr int kMaxSlots = 50;

class TDATA {
public:
    TDATA() = default;
    // A record of `count` slots taken from `texts`.
    TDATA(const std::string_view* texts, int count);

    // The slot text; empty for i = 0, i > 50 or a slot never set.
    std::string GetField(int i) const { return std::string(Field(i)); }
    std::string_view Field(int i) const;
    // Stores the text; ignored for i = 0 or i > 50.
    void SetField(int i, std::string_view text);

    // Number of slots held (the highest slot ever set or read).
    int SlotCount() const { return buf_.empty() ? 0 : static_cast<unsigned char>(buf_[0]); }
    size_t TextBytes() const;
    // The texts of all slots, back to back.
    std::string_view AllText() const
    {
        return buf_.empty() ? std::string_view() : std::string_view(buf_).substr(TextBase());
    }

private:
    uint32_t EndOf(int slot) const;  // slot counts from 0
    size_t TextBase() const { return 1 + size_t(SlotCount()) * 4; }

    std::string buf_;
};

}  // namespace quorvil
