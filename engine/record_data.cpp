#include "record_data.h"

#include <cstring>
#include <vector>

namespace quorvil {

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
        if (!texts[i].empty())
            std::memcpy(out + end, texts[i].data(), texts[i].size());
        end += uint32_t(texts[i].size());
        std::memcpy(ends + i * 4, &end, 4);
    }
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
    uint32_t start = i == 1 ? 0 : EndOf(i - 2);
    uint32_t end = EndOf(i - 1);
    return std::string_view(buf_.data() + TextBase() + start, end - start);
}

void TDATA::SetField(int i, std::string_view text)
{
    if (i < 1 || i > kMaxSlots)
        return;
    int count = SlotCount() > i ? SlotCount() : i;
    std::vector<std::string_view> texts(static_cast<size_t>(count));
    for (int k = 1; k <= SlotCount(); ++k)
        texts[size_t(k - 1)] = Field(k);
    // `text` may point into this record; the new record is built before the old one goes.
    texts[size_t(i - 1)] = text;
    TDATA rebuilt(texts.data(), count);
    buf_.swap(rebuilt.buf_);
}

size_t TDATA::TextBytes() const
{
    return SlotCount() == 0 ? 0 : EndOf(SlotCount() - 1);
}

}  // namespace quorvil
