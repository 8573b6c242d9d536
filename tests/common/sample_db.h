#pragma once
// Representative databases for the suites, described with the independent
// format helpers. Every header and block value is set explicitly, so that
// Parse(Build(db)).db == db.
#include "pdb_format.h"

namespace quorvil::pdbtest {

// A garden log in `layout`: six fields of several types (a list field with a
// popup list, an international date in the 5.x layouts), three records with
// 8-bit texts and a line feed, view settings, and in layouts 2 and 3 default
// values, two saved sorts and a saved filter.
Database SampleDatabase(int layout);

// `count` fields named "F1", "F2", ... of type STRING and one record whose
// cells are "r1c1", "r1c2", ...
Database WideDatabase(int layout, int count);

}  // namespace quorvil::pdbtest
