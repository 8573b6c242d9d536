#pragma once
// Which tab a database opens in, one rule for every way one comes in: Open,
// the recent files, New, Import, a drop and the command line. No user
// interface here.
#include <vector>

namespace quorvil {

struct TTabChoice {
    int Tab = -1;           // -1: no tab may take it
    bool Replaces = false;  // the tab's database goes, once the user agrees
};

// The lowest tab not in use; with every tab in use, the active one in place
// of its database, unless `activeSpared` (it holds a database the same
// request opened, which the next file must not take the place of).
TTabChoice ChooseTab(const std::vector<bool>& inUse, int active, bool activeSpared);

}  // namespace quorvil
