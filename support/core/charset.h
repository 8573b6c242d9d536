#pragma once
// The handheld's character set, Windows-1252, as Unicode code points. Cell
// texts stay bytes everywhere; this is only for showing them to people.
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvil {

// The code point of a Windows-1252 byte; the five undefined bytes map to
// the C1 controls of the same number so that every byte survives.
char32_t Cp1252ToUnicode(unsigned char byte);
// The byte of a code point, or -1 when Windows-1252 has none.
int UnicodeToCp1252(char32_t cp);
std::string Cp1252ToUtf8(std::string_view bytes);

}  // namespace quorvil
