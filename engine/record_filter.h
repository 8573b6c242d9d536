#pragma once
// The filter row: one box per field, read by the field's type, all boxes
// together (a record passes when every box matches its cell). A box's text
// is read once; matching a cell then costs one search or one parse.
//
//   any field      plain text: the cell contains it, letters compared as
//                  Find compares them without regard to case, by the
//                  database's character set
//   number, date,  "=v", "<v", ">v", "<=v", ">=v", "a..b" (both ends
//   time           included, either may be left out) compared by value;
//                  v is read as the editors read a typed value (CellInput),
//                  and a cell that holds no such value never matches them
//   Boolean        TRUE or FALSE (also 1 and 0 and the database's own
//                  texts, any case): the cells the grid ticks (the stored
//                  "1") or the others
//   List           "=v": the cells holding exactly v (the drop-down's form)
//
// A box whose text says something that cannot be true of any cell (">abc" in
// a number field) matches no cell and tells why in Problem().
#include "charset.h"
#include "field_types.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TFindText;
class TJFILE;

// A box as typed: its field (from 1) and its text, 8-bit as cells are.
struct TFilterBox {
    int Field = 0;
    std::string Text;
    // The text is what the cells must contain, as it stands: no operator is
    // read from it and its blanks count (the command line's "contains").
    bool Literal = false;
    bool operator==(const TFilterBox&) const = default;
};

enum class TFilterOp : uint8_t {
    Any,
    Contains,
    Equal,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Range,
    Checked,
    Unchecked,
    Exactly,
    Nothing
};

class TFilterCondition {
public:
    // `set` is the character set of the texts and cells.
    TFilterCondition(TFieldType fieldType, std::string_view text, std::string_view trueText = "TRUE",
                     std::string_view falseText = "FALSE", TCharset set = TCharset::Windows1252);
    ~TFilterCondition();
    TFilterCondition(TFilterCondition&&) noexcept;
    // The cells that contain `text` as it stands; an empty text matches none.
    static TFilterCondition Containing(std::string_view text, TCharset set = TCharset::Windows1252);
    TFilterCondition& operator=(TFilterCondition&&) noexcept;

    // False for an empty box, which every cell passes.
    bool Active() const { return op_ != TFilterOp::Any; }
    bool Matches(std::string_view cell) const;
    // Why the box matches nothing, for the user; empty when it was understood.
    const std::string& Problem() const { return problem_; }

private:
    bool Compares(std::string_view cell) const;

    TFilterOp op_ = TFilterOp::Any;
    int kind_ = 0;  // TOrderKind of the field
    uint64_t low_ = 0;
    uint64_t high_ = 0;
    std::string text_;  // Exactly's value, Checked's TRUE text
    std::unique_ptr<TFindText> find_;
    std::string problem_;
};

class TRecordFilter {
public:
    TRecordFilter() = default;
    // Boxes of fields the database lacks, and empty boxes, are left out.
    TRecordFilter(const TJFILE& db, const std::vector<TFilterBox>& boxes);

    bool Active() const { return !conditions_.empty(); }
    bool Matches(const TJFILE& db, int record) const;
    // Whether `field` has a box in force and `cell` passes it: the cells
    // the views highlight.
    bool CellMatches(int field, std::string_view cell) const;
    // Why the box of `field` matches nothing; empty when it was understood
    // or there is none.
    std::string ProblemOf(int field) const;
    // The first box's problem as "Price: ...", empty when every box was understood.
    std::string Problem() const;

private:
    struct TFieldCondition {
        int Field;
        TFilterCondition Condition;
    };
    std::vector<TFieldCondition> conditions_;
    std::vector<std::string> names_;  // of the fields with a box, for Problem()
};

// The records from `first` to `last` that pass, one flag each (1 passes)
// into flags[first - 1 .. last - 1], which must be large enough. The window
// filters a large database in slices of this.
void FilterRecords(const TJFILE& db, const TRecordFilter& filter, int first, int last, std::vector<uint8_t>& flags);
// The records of `records` that pass, in that order.
std::vector<int> RecordsPassing(const TJFILE& db, const TRecordFilter& filter, const std::vector<int>& records);

// The box's tool tip for a field of `fieldType`: what it takes, naming the
// operators the field's values compare by, with an example.
std::string FilterHelp(TFieldType fieldType);

// The box text of a command-line condition FIELD OP VALUE: OP is one of
// "contains", "=", "<", ">", "<=", ">=" and ".." (VALUE then "a..b"). Nothing
// when OP is none of them, or is one the field's type does not take (a
// Boolean field takes "=" only). A "contains" box is meant Literal.
std::optional<std::string> BoxText(TFieldType fieldType, std::string_view op, std::string_view value);

}  // namespace quorvil
