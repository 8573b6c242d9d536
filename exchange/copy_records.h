#pragma once
// Copying records into another database, matched on a key field: a record
// whose key the target holds updates every target record of that key field
// by field, any other record is added. Without a key every record is added.
#include "list_values.h"

#include <memory>
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// The names records can be matched on: those of the source fields that a
// target field has exactly (case-sensitive), in source order, each once.
// The first is the key a copy takes unless told otherwise.
std::vector<std::string> KeyCandidates(const TJFILE& source, const TJFILE& target);

// The key fields of `keyName`: the first source field of that name and the
// first target field of that name; both 0 when either database lacks it.
struct TKeyFields {
    int Source = 0;
    int Target = 0;
};
TKeyFields FindKeyFields(const TJFILE& source, const TJFILE& target, const std::string& keyName);

struct TCopyOptions {
    std::string Key;  // the field name records are matched on; empty: every record is added
    // Values the popup list of their List field cannot take are left out;
    // without this the copy refuses them (see CopyLeftOut).
    bool LeaveOutUnlisted = false;
};

// What a copy did. Shared is false when no field name of the source is a
// target field's, in any case (then nothing was copied).
struct TCopyResult {
    bool Shared = false;
    std::string Key;    // as in the options
    int Records = 0;    // source records copied
    int Added = 0;      // target records added
    int Updated = 0;    // target records of a key with a value changed
    int Unchanged = 0;  // target records of a key that already held every value
    int Copied = 0;     // target cells whose text changed
    int ListAdded = 0;  // values added to the popup lists of List fields
    int LeftOut = 0;    // values not written: their popup lists could not take them
};

// "Copied 3 records, matched on Name: 1 added, 1 updated, 1 unchanged."
// (or "..., without a key field: 3 added."), then what went into and was
// left out of popup lists.
std::string CopyMessage(const TCopyResult& result);
// "Select database to export record to" (one row) or "... records to".
std::string CopyFileDialogTitle(int rows);

// The values the copy would write into List fields whose popup lists cannot
// take them, by target field; empty when there are none. Changes nothing;
// when the lists are nearly full it copies into a copy of the target to
// find out.
TLeftOutValues CopyLeftOut(const TJFILE& source, const std::vector<int>& records, const TJFILE& target,
                           const TCopyOptions& options);

// Copies `records` (record numbers of `source`, in this order) into
// `target`, which changes only in memory. A value written into a List field
// is added to its popup list. Throws std::invalid_argument when the key is
// not a field of both, and EListsFull when values would be left out without
// options.LeaveOutUnlisted, both before changing anything; ERangeError when
// an append would pass 65535 records (the records before it are copied).
TCopyResult CopyRecords(const TJFILE& source, const std::vector<int>& records, TJFILE& target,
                        const TCopyOptions& options);

// Opens a database file to copy records into. Throws EStreamError or
// EInOutError when it cannot be opened, EInOutError when it ends early (a
// save would lose what could not be read).
std::unique_ptr<TJFILE> OpenCopyTarget(const std::string& fileName);
// Copies into a target opened by OpenCopyTarget and writes it back under its
// own title when it changed, also when the copy stops at the record limit.
// Throws as CopyRecords does, and EStreamError when the file cannot be
// written (it keeps its old contents).
TCopyResult CopyRecordsToFile(const TJFILE& source, const std::vector<int>& records, TJFILE& target,
                              const TCopyOptions& options);

}  // namespace quorvil
