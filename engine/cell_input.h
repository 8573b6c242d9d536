#pragma once
// What a typed text stores in a field. Dates and times are read as a person
// types them ("7/3/2024", "07:45") and written in the form the field's values
// already have; numbers are stored as typed. A text that is no value of the
// field's kind is refused rather than stored as something else. Other fields
// store the text as typed.
#include "field_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvil {

class TJFILE;

struct TCellInput {
    bool Accepted = true;
    std::string Stored;   // what SetCell is to store, when accepted
    std::string Problem;  // the message, when refused
};

// The text `typed` into field `field` of `db` comes to: a blank date, time
// or number stores "", a valid date or time is written in the field's form,
// a valid number as typed (without blanks around it or a plus sign); anything
// else is refused with a message that names the text and the form to use.
TCellInput CellInput(const TJFILE& db, int field, std::string_view typed);

// The number a text stands for when it is written as number fields hold
// one: digits with at most one decimal point, an optional leading sign,
// blanks around. Empty for any other text ("1,5", "1e3", "", "-").
std::optional<double> TypedNumber(std::string_view typed);

// True when `text` is blank or a number a field of `kind` (Integer or
// Float) takes, by the rule typing follows.
bool ReadsAsNumber(TValueKind kind, std::string_view text);

// The range of whole numbers an "INTEGER" field holds.
constexpr int64_t kLeastInteger = -2147483648LL;
constexpr int64_t kGreatestInteger = 2147483647LL;

// The form the field's dates or times are written in, as people read it
// ("dd/mm/yyyy", "dd mmm yyyy", "hh:mm"); empty for other fields.
std::string InputPattern(const TJFILE& db, int field);

}  // namespace quorvil
