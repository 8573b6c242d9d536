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

// How far a UTF-8 text went into Windows-1252.
struct TUtf8ToCp1252 {
    size_t Size = 0;  // the bytes written
    // Where the text stopped: the offset of the first character Windows-1252
    // has no byte for, or of the first bytes that are not UTF-8; npos when
    // it went in whole.
    size_t StopAt = std::string_view::npos;
    size_t StopLength = 0;  // the bytes of that character or broken sequence
    char32_t Missing = 0;   // that character; 0 for bytes that are not UTF-8
    bool Whole() const { return StopAt == std::string_view::npos; }
};
// Writes the Windows-1252 bytes of `utf8` to `out`, which has room for
// utf8.size() bytes and may be utf8.data() itself (no character gets longer).
// Stops, never replacing, at a character the set has no byte for and at
// bytes that are not UTF-8: overlong forms, surrogates, code points above
// U+10FFFF, stray or missing continuation bytes. U+0081, U+008D, U+008F,
// U+0090 and U+009D give the undefined bytes of the same number, as
// Cp1252ToUnicode maps them.
TUtf8ToCp1252 Utf8ToCp1252(std::string_view utf8, char* out);

// What a text's bytes are: all below hex 80, well-formed UTF-8 with some
// above, or neither (Windows-1252, say).
enum class TTextBytes { Ascii, Utf8, Other };
TTextBytes ClassifyBytes(std::string_view bytes);

}  // namespace quorvil
