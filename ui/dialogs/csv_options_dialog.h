#pragma once
// The two choices of a CSV for other programs: the separator and whether the
// file starts with a byte-order mark.
#include "standard_csv.h"

#include <optional>

namespace quorvil {

// The options chosen, or none when the dialog was cancelled.
std::optional<TStandardCsvOptions> ChooseStandardCsvOptions(const TStandardCsvOptions& initial);

}  // namespace quorvil
