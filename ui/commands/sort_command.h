#pragma once
// The interactive sort of a database: the key fields in the sort dialog, the
// order of List keys in the order dialog, then the records sorted.
#include "record_sort.h"

#include <vector>

namespace quorvil {

class TJFILE;
struct TListKey;

// The List fields among the names, in key order, each with its popup items:
// a name stands for the first field with exactly that name.
std::vector<TListKey> ListKeys(const TJFILE& db, const std::vector<std::string>& names);

// Shows the dialogs and sorts all records; false when the user cancelled
// (nothing sorted; an order written back with "Update PopUpList order"
// stays written). Engine errors pass on; records already moved stay moved.
bool SortInteractively(TJFILE& db);

}  // namespace quorvil
