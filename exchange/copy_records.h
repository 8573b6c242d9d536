#pragma once
// Copying records into another database, keyed by the first field name the
// two share: a record whose key the target holds updates every target
// record of that key field by field, any other record is appended.
#include <functional>
#include <string>
#include <vector>

namespace quorvil {

class TJFILE;

// The key fields: the first source field whose name equals (case-sensitive)
// the name of a target field, and the first target field of that name. Both
// 0 when the databases share no field name. A non-empty `keyName` chooses
// the name instead (both 0 when either database lacks it).
struct TKeyFields {
    int Source = 0;
    int Target = 0;
};
TKeyFields FindKeyFields(const TJFILE& source, const TJFILE& target, const std::string& keyName = "");

// What a copy did. Keyed is false when there were no key fields (then
// nothing was copied).
struct TCopyResult {
    bool Keyed = false;
    int Copied = 0;  // target cells whose text changed
};

// "No fields copied.", "1 field copied.", "12 fields copied."
std::string CopyMessage(int copied);
// "Select database to export record to" (one row) or "... records to".
std::string CopyFileDialogTitle(int rows);

// Copies `records` (record numbers of `source`, in this order) into
// `target`, which changes only in memory. Throws ERangeError when an append
// would pass 65535 records (the records before it are copied).
TCopyResult CopyRecords(const TJFILE& source, const std::vector<int>& records, TJFILE& target,
                        const std::string& keyName = "");

// Opens `fileName`, copies into it and writes it back under its own title,
// also when the copy ends early (no key fields, or a failure). Throws
// EStreamError or EInOutError when the file cannot be opened (nothing is
// changed) or written (the file keeps its old contents).
TCopyResult CopyRecordsToFile(const TJFILE& source, const std::vector<int>& records, const std::string& fileName,
                              const std::string& keyName = "");

}  // namespace quorvil
