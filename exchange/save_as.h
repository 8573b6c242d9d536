#pragma once
// Save as: a copy of the open database, converted to one of the four JFile
// layouts, written to a file of the user's choice. The open database keeps
// its layout, fields, cells and modified flag; only the chosen file changes.
#include "layout.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// A String value longer than the chosen layout keeps.
struct TLongValue {
    int Record = 0;
    int Field = 0;
    std::string FieldName;
    size_t Length = 0;
    size_t Max = 0;
};

// The question about one long value, in two lines:
// Record #3's field "Notes" is too long / (Length=4100, Max=4000).
std::string LongValueQuestion(const TLongValue& value);

// The fields of a database that a layout holds too few fields to keep: those
// past the layout's field limit, which a conversion leaves out for good.
struct TDroppedField {
    int Number = 0;
    std::string Name;  // as in the database (8-bit text)
};
struct TDroppedFields {
    std::vector<TDroppedField> Fields;  // in field order; empty when all are kept
    // Empty when all are kept, else for the user, in one line:
    //   Field 21 (Notes) is not kept by JFile 3.x
    //   Fields 21 and 22 (Notes, Extra) are not kept by JFile 3.x
    //   Fields 21 to 30 (Notes, Extra, Due, Owner, Cost, ...) are not kept by JFile 3.x
    // (at most five names; an empty name shows as "").
    std::string Message;
    bool Empty() const { return Fields.empty(); }
};
TDroppedFields DroppedFields(const TJFILE& db, TLayout layout);

enum class TLengthAnswer { Truncate, TruncateAll, Cancel };
using TLengthQuestion = std::function<TLengthAnswer(const TLongValue&)>;

// Throws EStreamError when `fileName` is the file of `db` itself: save as
// never replaces the open database's own file.
void CheckNotOwnFile(const TJFILE& db, const std::string& fileName);

// Converts `db` itself to `layout` and writes it to `fileName`; an existing
// file of that name is replaced only after the last byte is on the disk.
// Throws EStreamError when the file cannot be written (the old one stays).
void WriteInLayout(TJFILE& db, TLayout layout, const std::string& fileName);

// One save as, in the steps the main window runs between its questions.
class TSaveAs {
public:
    // Converts a copy of `db` to `layout`; the copy refers to `db`'s records,
    // so `db` must stay loaded while this lives. Throws EStreamError when
    // `fileName` is the database's own file.
    TSaveAs(TJFILE& db, TLayout layout, std::string fileName);
    ~TSaveAs();
    TSaveAs(const TSaveAs&) = delete;
    TSaveAs& operator=(const TSaveAs&) = delete;

    // The fields of the database that the chosen layout does not keep, found
    // before anything is written: the caller asks whether to go on.
    const TDroppedFields& DroppedFields() const { return dropped_; }

    // Asks about every String value the layout would cut, record by record;
    // "Truncate all" skips the rest of that record. The answers change no
    // value. Returns false when a question was cancelled.
    bool CheckLengths(const TLengthQuestion& ask) const;
    // Writes the converted copy, showing the progress through `db`.
    void Write();

private:
    TJFILE& db_;
    std::unique_ptr<TJFILE> copy_;
    std::string fileName_;
    TDroppedFields dropped_;
};

// The whole command: convert a copy, ask about long values, write. Returns
// false when cancelled (nothing written). Fields the layout does not keep
// are left out without a question (TSaveAs::DroppedFields names them).
bool SaveAs(TJFILE& db, TLayout layout, const std::string& fileName, const TLengthQuestion& ask);

}  // namespace quorvil
