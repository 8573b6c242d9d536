#pragma once
// Merging another database into the master, record by record through an ID
// field both have: an other record whose ID the master holds updates the
// first master record of that ID, any other one is appended. Per field of
// the other database the choice says whether to copy it, into which master
// field (or a new one) and whether non-empty master values are overwritten.
#include "field_types.h"
#include "list_values.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// The type a field is paired by (TFieldTypeFacts::MergesAs): List (and a
// new field) counts as String, the automatic and international dates as
// Date, the automatic times as Time, counters as Integer.
TFieldType BaseType(TFieldType type);

inline constexpr const char* kCreateNewField = "[Create New Field]";
inline constexpr const char* kNoIdFieldMessage =
    "There are no fields in the new database that can be used as an ID field!";

// What happens to one field of the other database.
struct TFieldMapping {
    bool Copy = false;
    int MasterField = 0;  // 0: a new master field
    std::string NewName;  // of the new field; empty: the other field's name
    bool Overwrite = false;
};

struct TMergeChoice {
    std::string IdName;                 // compared without regard to case
    std::vector<TFieldMapping> Fields;  // Fields[j - 1] for field j of the other database
    // Values the popup list of their List field cannot take are left out;
    // without this the merge refuses them (see MergeLeftOut).
    bool LeaveOutUnlisted = false;
};

// The ID field candidates: for each other field in order, the master fields
// of the same name (any case) and base type, by their master names.
std::vector<std::string> IdCandidates(const TJFILE& master, const TJFILE& other);
// The master fields a field of `type` may go into: those of the same base
// type, in field order.
std::vector<int> MasterFieldsFor(const TJFILE& master, TFieldType type);

// The choice the mapping window starts with: the first ID candidate; each
// field into the first master field of its name (any case) and base type,
// ticked unless it is named "Have it?"; with none, a new field, ticked when
// some other record holds a meaningful value in it. Throws
// std::invalid_argument with kNoIdFieldMessage when there is no candidate.
TMergeChoice DefaultMergeChoice(const TJFILE& master, const TJFILE& other);

// The first problem of the new field names, each taken as it will be stored
// (cut to 20 characters), as the mapping window shows it: "Need new field
// name for Email", "Field name Phone already exists in master database",
// "Two new fields are named Mail"; empty when there is none.
std::string MappingProblem(const TJFILE& master, const TJFILE& other, const TMergeChoice& choice);

struct TMergeResult {
    int Written = 0;    // master cells written
    int Appended = 0;   // master records added
    int ListAdded = 0;  // values added to the popup lists of List fields
    int LeftOut = 0;    // values not written: their popup lists could not take them
};

using TMergeProgress = std::function<void(int record, int count)>;

// The values the merge would write into List fields whose popup lists
// cannot take them (full, or the value too long or a chunk header), by
// master field; empty when there are none. Changes nothing; when the lists
// are nearly full it runs the merge on a copy of the master to find out.
// Throws as Merge does for a mapping that does not fit.
TLeftOutValues MergeLeftOut(const TJFILE& master, const TJFILE& other, const TMergeChoice& choice,
                            const TMergeProgress& progress = {});

// Merges `other` into `master` (changed in memory only). Does nothing when
// either database lacks the ID field. A value written into a List field is
// added to its popup list, so the merged database passes the check made when
// it opens. Throws std::invalid_argument, before changing anything, when the
// new fields would pass the master layout's field limit or a mapping names a
// master field that does not exist, and EListsFull when values would be left
// out without choice.LeaveOutUnlisted; throws ERangeError when an append
// would pass 65535 records.
TMergeResult Merge(TJFILE& master, const TJFILE& other, const TMergeChoice& choice,
                   const TMergeProgress& progress = {});

}  // namespace quorvil
