#include "database_charset.h"

#include "jfile.h"

#include <array>
#include <cstring>

namespace quorvil {

namespace {

bool IsAscii(std::string_view bytes)
{
    size_t at = 0;
    for (; bytes.size() - at >= 8; at += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        if ((word & 0x8080808080808080u) != 0)
            return false;
    }
    for (; at < bytes.size(); ++at)
        if (uint8_t(bytes[at]) >= 0x80)
            return false;
    return true;
}

}  // namespace

std::optional<TCharset> GuessCharset(const TJFILE& db)
{
    TCharsetGuess guess;
    guess.Add(db.PdbHeader.Name);
    for (int f = 1; f <= db.FieldCount(); ++f) {
        guess.Add(db.GetFieldName(f));
        for (int k = 1; k <= db.PopupCount(f); ++k)
            guess.Add(db.GetPopupItem(f, k));
    }
    // A record of ASCII only tells nothing, and most records of most
    // databases are: one pass over its bytes passes it. The others give
    // their texts in one pass too, not a search per field. A Western
    // database is settled after its first few texts of the upper half.
    std::array<std::string_view, kMaxSlots> cells;
    const size_t fields = size_t(db.FieldCount());
    for (int r = 1; r <= db.RecordCount() && !guess.Settled(); ++r) {
        const TDATA& record = db.Record(r);
        if (IsAscii(record.TextSpan()))
            continue;
        record.Texts(cells);
        for (size_t f = 0; f < fields && f < cells.size(); ++f)
            guess.Add(cells[f]);
    }
    return guess.Result();
}

}  // namespace quorvil
