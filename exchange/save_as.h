#pragma once
// Save as: a copy of the open database, converted to one of the four JFile
// layouts, written to a file of the user's choice. The open database keeps
// its layout, fields, cells and modified flag; only the chosen file changes.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace quorvil {

class TJFILE;

// The longest value a layout keeps (0..2: 4000, 3: 32000); Save cuts longer
// values in the file.
size_t LongestValue(int layout);

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

enum class TLengthAnswer { Truncate, TruncateAll, Cancel };
using TLengthQuestion = std::function<TLengthAnswer(const TLongValue&)>;

// Throws EStreamError when `fileName` is the file of `db` itself: save as
// never replaces the open database's own file.
void CheckNotOwnFile(const TJFILE& db, const std::string& fileName);

// Converts `db` itself to `layout` and writes it to `fileName`; an existing
// file of that name is replaced only after the last byte is on the disk.
// Throws EStreamError when the file cannot be written (the old one stays).
void WriteInLayout(TJFILE& db, int layout, const std::string& fileName);

// One save as, in the steps the main window runs between its questions.
class TSaveAs {
public:
    // Converts a copy of `db` to `layout` (0..3). Throws EStreamError when
    // `fileName` is the database's own file.
    TSaveAs(TJFILE& db, int layout, std::string fileName);
    ~TSaveAs();
    TSaveAs(const TSaveAs&) = delete;
    TSaveAs& operator=(const TSaveAs&) = delete;

    // Asks about every String value the layout would cut, record by record;
    // "Truncate all" skips the rest of that record. The answers change no
    // value. Returns false when a question was cancelled.
    bool CheckLengths(const TLengthQuestion& ask) const;
    // Writes the converted copy, showing the progress through `db`.
    void Write();
    const TJFILE& Converted() const { return *copy_; }

private:
    TJFILE& db_;
    std::unique_ptr<TJFILE> copy_;
    std::string fileName_;
};

// The whole command: convert a copy, ask about long values, write. Returns
// false when cancelled (nothing written).
bool SaveAs(TJFILE& db, int layout, const std::string& fileName, const TLengthQuestion& ask);

}  // namespace quorvil
