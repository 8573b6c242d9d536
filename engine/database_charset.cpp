#include "database_charset.h"

#include "jfile.h"

namespace quorvil {

std::optional<TCharset> GuessCharset(const TJFILE& db)
{
    TCharsetGuess guess;
    guess.Add(db.PdbHeader.Name);
    for (int f = 1; f <= db.FieldCount(); ++f) {
        guess.Add(db.GetFieldName(f));
        for (int k = 1; k <= db.PopupCount(f); ++k)
            guess.Add(db.GetPopupItem(f, k));
    }
    for (int r = 1; r <= db.RecordCount(); ++r)
        for (int f = 1; f <= db.FieldCount(); ++f)
            guess.Add(db.CellView(r, f));
    return guess.Result();
}

}  // namespace quorvil
