#pragma once
// The command-line tool's JSON maps each byte of a text onto the code point
// of the same number (U+0000..U+00FF), so every byte survives the trip.
#include <string>
#include <string_view>

namespace quorvil {

std::string BytesToUtf8(std::string_view bytes);
// Throws std::invalid_argument for invalid UTF-8 or a code point above U+00FF.
std::string Utf8ToBytes(std::string_view utf8);

}  // namespace quorvil
