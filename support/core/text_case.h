#pragma once
// Case handling of 8-bit texts in the handheld's character set (Windows-1252),
// the stand-in for "upper-casing by the current locale".
#include <string>
#include <string_view>

namespace quorvil {

char UpperChar1252(char c);
std::string UpperCase(std::string_view text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quorvil
