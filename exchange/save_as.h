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

// A field, saved sort or saved filter: its number (or slot) and its name as
// in the database (8-bit text).
struct TNamedItem {
    int Number = 0;
    std::string Name;
};

// A value longer than the chosen layout keeps.
struct TLongValue {
    int Record = 0;
    int Field = 0;
    std::string FieldName;
    size_t Length = 0;
};

// What a copy in another layout loses of a database, found before anything
// is written. Fields past the layout's limit take their popup lists and
// defaults along; the other lists are about the fields that stay.
struct TLayoutLosses {
    TLayout Layout = TLayout::JFile55;
    std::vector<TNamedItem> Fields;      // past the field limit, in order
    std::vector<TNamedItem> SavedSorts;  // by slot
    std::vector<TNamedItem> Filters;     // by slot
    std::vector<TNamedItem> Defaults;    // fields whose default goes
    std::vector<TNamedItem> IntDates;    // INT.DATE fields that become DATE fields
    std::vector<TLongValue> LongValues;  // the first few values cut, in record order
    size_t CutValues = 0;                // every value cut

    bool Empty() const;
    // Empty when nothing is lost, else all of it in one line, e.g.
    //   Fields 21 to 25 (F21, F22, F23, F24, F25), saved sort 1 (By bed) and
    //   the default of field 1 (Plant) are not kept by JFile 3.x; INT.DATE
    //   field 3 (Sown) becomes a DATE field with its dates written as
    //   dd/mm/yyyy; 1 value longer than 4000 characters is cut to 4000:
    //   record 3's field "Notes" (5000)
    // (at most five names or values each; the rest are "...").
    std::string Line() const;
    // The same a sentence a line, then after an empty line whether to write
    // the copy.
    std::string Question() const;
};

// What converting `db` to `layout` loses.
TLayoutLosses LayoutLosses(const TJFILE& db, TLayout layout);

// Throws EStreamError when `fileName` is the file of `db` itself: save as
// never replaces the open database's own file.
void CheckNotOwnFile(const TJFILE& db, const std::string& fileName);

// Converts `db` itself to `layout` and writes it to `fileName`; an existing
// file of that name is replaced only after the last byte is on the disk.
// Throws EStreamError when the file cannot be written (the old one stays).
void WriteInLayout(TJFILE& db, TLayout layout, const std::string& fileName);

// One save as, in the steps the editor and the command-line tool run
// between their questions.
class TSaveAs {
public:
    // Converts a copy of `db` to `layout`; the copy refers to `db`'s records,
    // so `db` must stay loaded while this lives. INT.DATE fields the layout
    // turns into DATE fields get their dates as dd/mm/yyyy in the copy.
    // Throws EStreamError when `fileName` is the database's own file.
    TSaveAs(TJFILE& db, TLayout layout, std::string fileName);
    ~TSaveAs();
    TSaveAs(const TSaveAs&) = delete;
    TSaveAs& operator=(const TSaveAs&) = delete;

    // What the copy lacks of the database: the caller asks whether to go on.
    const TLayoutLosses& Losses() const { return losses_; }
    // Writes the converted copy, showing the progress through `db`.
    void Write();

private:
    TJFILE& db_;
    std::unique_ptr<TJFILE> copy_;
    std::string fileName_;
    TLayoutLosses losses_;
};

// The whole command: convert a copy and write it, after `goOn` agreed to
// what the layout loses (it is asked only when something is lost). Returns
// false when it did not agree: nothing is written then.
bool SaveAs(TJFILE& db, TLayout layout, const std::string& fileName,
            const std::function<bool(const TLayoutLosses&)>& goOn);

}  // namespace quorvil
