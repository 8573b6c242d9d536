#pragma once
// What a changed definition does to the values a database holds, told
// before anything is written. Two fields of one name are refused, as is a
// popup list that cannot hold its field's values. A retyped field keeps its
// values as they are; those its new type cannot read are counted. A field
// that becomes a List field gets the values its list lacks added, and one
// that stops being one loses its list: both are said.
#include "field_definition.h"
#include "field_layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvil {

class TJFILE;

// Whether a field of type `type` reads `value` as its kind of value: a
// whole number of 32 bits (Integer, AutoInc), a number written with a point
// (Float), a date or a time of day as the sort reads them, "1" or "0"
// (Boolean). Empty values, and every value of the other types, read.
bool ReadableAs(TFieldType type, std::string_view value);

struct TDefinitionReview {
    // Why the definition cannot be written, and how to mend it; empty when
    // it can be.
    std::string Refusal;
    int Field = 0;             // the field (from 1) the refusal is about
    bool NameRefused = false;  // its name, rather than its type or list
    // What writing it does besides what was chosen, one sentence each.
    std::vector<std::string> Notes;
    // What to write: the definition reviewed, with the values a List
    // field's records hold beyond its list added at the list's end.
    std::vector<TFieldDefinition> Fields;
};

// Reviews `fields`, one per field of `db` in field order, against the
// definition and the values `db` holds now.
TDefinitionReview ReviewDefinition(const TJFILE& db, const std::vector<TFieldDefinition>& fields);
// The same for fields added, deleted or put in another order: field p of
// `fields` was field sources[p - 1] of `db` (0: added, holding a new
// record's value). The saved sorts on a deleted field are named too.
TDefinitionReview ReviewDefinition(const TJFILE& db, const std::vector<TFieldDefinition>& fields,
                                   const TFieldSources& sources);

}  // namespace quorvil
