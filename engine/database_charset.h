#pragma once
// Which character set a database's texts seem to be written in.
#include "charset.h"

#include <optional>

namespace quorvil {

class TJFILE;

// The multi-byte set that the title, field names, popup values and cells
// read as, when they are not plausible Windows-1252 (TCharsetGuess); none
// otherwise. Reads every text once.
std::optional<TCharset> GuessCharset(const TJFILE& db);

}  // namespace quorvil
