#pragma once
// --where FIELD OP VALUE of export, split and copy: the filter row's rules
// given on the command line, every condition to hold.
#include "cli_args.h"

#include <memory>
#include <vector>

namespace quorvil {

class TJFILE;

// The group option to hand Parse.
const GroupOptions& WhereOption();

// The records of `records` that pass every --where of `args`, in that
// order; `records` itself without one. Throws UsageError for a field `db`
// lacks, an operator its type does not take, or a value no cell can match.
std::vector<int> RecordsWhere(const TJFILE& db, const Arguments& args, const std::vector<int>& records);

// A copy of `db` holding only the records that pass every --where, borrowing
// them (it must not outlive `db`); null without --where. Throws as above.
std::unique_ptr<TJFILE> DatabaseWhere(const TJFILE& db, const Arguments& args);

}  // namespace quorvil
