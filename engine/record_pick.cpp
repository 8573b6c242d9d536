#include "record_pick.h"

#include "jfile.h"

namespace quorvil {

TRecordPick::TRecordPick(const TJFILE& source, std::vector<int> fields, std::map<int, std::string> fixed)
    : source_(source), fields_(std::move(fields)), fixedTexts_(std::move(fixed))
{
    if (fields_.size() > size_t(kMaxSlots))
        fields_.resize(size_t(kMaxSlots));
    for (auto& [k, text] : fixedTexts_) {
        if (k < 1 || k > FieldCount())
            continue;
        // The text the field would hold had SetCell stored it there.
        text = std::string(source_.StoredText(fields_[size_t(k - 1)], text));
        fixed_[size_t(k - 1)] = &text;
        fixedLineFeeds_ = fixedLineFeeds_ || text.find('\n') != std::string::npos;
        fixedNul_ = fixedNul_ || text.find('\0') != std::string::npos;
    }
}

std::string_view TRecordPick::Cells(int i, std::array<std::string_view, kMaxSlots>& out, bool* nulFree) const
{
    const int r = i >= 1 && i <= Count() ? Rows[size_t(i - 1)] : 0;
    const TDATA& record = source_.Record(r);
    // The records of a pick lie far apart: the next ones are fetched while
    // this one is read (their entries first, then their bytes).
    const auto at = [&](int ahead) -> const TDATA* {
        const int next = i + ahead <= Count() ? Rows[size_t(i + ahead - 1)] : 0;
        return next >= 1 ? &source_.Record(next) : nullptr;
    };
    if (const TDATA* later = at(8))
        PrefetchBytes(later);
    if (const TDATA* next = at(4))
        next->Prefetch();
    std::array<std::string_view, kMaxSlots> in;
    const bool recordNulFree = record.Texts(in);
    if (nulFree)
        *nulFree = recordNulFree && !fixedNul_;
    const size_t count = fields_.size();
    for (size_t k = 0; k < count; ++k) {
        const int f = fields_[k];
        out[k] = fixed_[k]                  ? std::string_view(*fixed_[k])
                 : f >= 1 && f <= kMaxSlots ? in[size_t(f - 1)]
                                            : std::string_view();
    }
    std::fill(out.begin() + long(count), out.end(), std::string_view());
    return record.TextSpan();
}

}  // namespace quorvil
