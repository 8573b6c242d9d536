#pragma once
// What a typed text stores in a field. Dates and times are read as a person
// types them ("7/3/2024", "07:45") and written in the form the field's values
// already have; a text that is no date or time is refused rather than stored
// as something else. Other fields store the text as typed.
#include <string>
#include <string_view>

namespace quorvil {

class TJFILE;

// The kind of value a field's editors take.
enum class TValueKind { Text, Date, LongDate, Time };
TValueKind ValueKindOf(uint16_t fieldType);

struct TCellInput {
    bool Accepted = true;
    std::string Stored;   // what SetCell is to store, when accepted
    std::string Problem;  // the message, when refused
};

// The text `typed` into field `field` of `db` comes to: a blank date or time
// stores "", a valid one is written in the field's form, anything else is
// refused with a message that names the text and the form to use.
TCellInput CellInput(const TJFILE& db, int field, std::string_view typed);

// The form the field's dates or times are written in, as people read it
// ("dd/mm/yyyy", "dd mmm yyyy", "hh:mm"); empty for other fields.
std::string InputPattern(const TJFILE& db, int field);

}  // namespace quorvil
