#pragma once
// Number texts: decimal conversion that never throws and reports failures
// through ConvertError and ErrorPosition.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvil {

// Result of the last text-to-number conversion: whether it failed, and the
// position (from 1) of the first character that could not be used; 0 when
// the conversion succeeded.
extern bool ConvertError;
extern int ErrorPosition;

// Decimal text without padding.
std::string NumberText(long long value);

// Decimal text to number: leading spaces, an optional sign, then digits up to
// the end. Anything else, an empty text, or a value that does not fit gives 0
// with ConvertError set.
int32_t TextToInt(std::string_view text);
int64_t TextToInt64(std::string_view text);

// The number a cell holds: blanks around it, an optional sign, digits with an
// optional decimal point ("-12", "3.25", ".5") and an optional exponent.
// Empty for any other text, and for a number too large for a double. Leaves
// ConvertError alone.
std::optional<double> DecimalValue(std::string_view text);

}  // namespace quorvil
