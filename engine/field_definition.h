#pragma once
// The definition of a database as the definition editor works on it: one
// name, type and popup list per field, read from and written back to the
// engine in one step.
#include "field_types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;

struct TFieldDefinition {
    std::string Name;
    TFieldType Type = TFieldType::String;
    std::vector<std::string> Popup;  // read and written for "LIST" fields only
    bool operator==(const TFieldDefinition&) const = default;
};

// One entry per field, in field order.
std::vector<TFieldDefinition> ReadDefinition(const TJFILE& db);

// Sets the field count, then the name and type of every field and the popup
// list of every "LIST" field; a field that stops being one loses its list.
// Stored cell texts never change: a value the new type or list does not
// know stays as it is.
void WriteDefinition(TJFILE& db, const std::vector<TFieldDefinition>& fields);

// The popup values of `field` of `db`, in order.
std::vector<std::string> PopupValues(const TJFILE& db, int field);
// True when a popup list with room can take `value` and read it back the
// same: at most 255 characters, and no text the reader takes for the end of
// the list.
bool PopupCanHold(std::string_view value);

// Whether two field names are one name as the file stores them: cut to 20
// characters, capitals and small letters alike.
bool SameFieldName(std::string_view a, std::string_view b);

// The field names of saved sort `s` (1..5) in key order, leaving out field
// numbers that name no field; empty when the slot is not in use.
std::vector<std::string> SavedSortNames(const TJFILE& db, int s);

}  // namespace quorvil
