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

// Gives `add` every text of the database until `done` says so.
template <class TAdd, class TDone>
void ForEachText(const TJFILE& db, TAdd add, TDone done)
{
    add(db.PdbHeader.Name);
    for (int f = 1; f <= db.FieldCount(); ++f) {
        add(db.GetFieldName(f));
        for (int k = 1; k <= db.PopupCount(f); ++k)
            add(db.GetPopupItem(f, k));
    }
    // A record of ASCII only tells nothing, and most records of most
    // databases are: one pass over its bytes passes it. The others give
    // their texts in one pass too, not a search per field.
    std::array<std::string_view, kMaxSlots> cells;
    const size_t fields = size_t(db.FieldCount());
    for (int r = 1; r <= db.RecordCount() && !done(); ++r) {
        const TDATA& record = db.Record(r);
        if (IsAscii(record.TextSpan()))
            continue;
        record.Texts(cells);
        for (size_t f = 0; f < fields && f < cells.size(); ++f)
            add(cells[f]);
    }
}

}  // namespace

std::optional<TCharset> GuessCharset(const TJFILE& db)
{
    TCharsetGuess guess;
    ForEachText(
        db, [&](std::string_view text) { guess.AddWestern(text); }, [] { return false; });
    if (guess.Western())
        return std::nullopt;
    TCharsetGuess full;
    ForEachText(
        db, [&](std::string_view text) { full.Add(text); }, [&] { return full.Settled(); });
    return full.Result();
}

}  // namespace quorvil
