#include "charset.h"

#include <cstring>
#include <optional>
#include <utility>

namespace quorvil {

namespace {

// Bytes hex 80..9F; the rest of the set equals Latin-1.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The well-formed sequences of more than one byte, by lead byte: their
// length and the range of the second byte, which rules out overlong forms,
// surrogates and code points above U+10FFFF. Later bytes are 80..BF.
struct TUtf8Form {
    uint8_t FirstLead, LastLead;
    uint8_t Length;
    uint8_t SecondMin, SecondMax;
};
constexpr TUtf8Form kUtf8Forms[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

}  // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

std::pair<size_t, std::optional<char32_t>> DecodeUtf8(std::string_view text, size_t at)
{
    const auto lead = uint8_t(text[at]);
    if (lead < 0x80)
        return {1, lead};
    const TUtf8Form* form = nullptr;
    for (const TUtf8Form& f : kUtf8Forms)
        if (lead >= f.FirstLead && lead <= f.LastLead)
            form = &f;
    if (!form)
        return {1, std::nullopt};
    char32_t cp = lead & (0x7F >> form->Length);
    for (size_t k = 1; k < form->Length; ++k) {
        if (at + k == text.size())
            return {k, std::nullopt};
        const auto byte = uint8_t(text[at + k]);
        const bool fits = k == 1 ? byte >= form->SecondMin && byte <= form->SecondMax : (byte & 0xC0) == 0x80;
        if (!fits)
            return {k, std::nullopt};
        cp = (cp << 6) | (byte & 0x3F);
    }
    return {form->Length, cp};
}

char32_t Cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return kHigh[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return int(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp)
            return 0x80 + i;
    return -1;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

TUtf8ToCp1252 Utf8ToCp1252(std::string_view utf8, char* out)
{
    TUtf8ToCp1252 result;
    for (size_t at = 0; at < utf8.size();) {
        if (uint8_t(utf8[at]) < 0x80) {
            out[result.Size++] = utf8[at++];
            continue;
        }
        const auto [length, cp] = DecodeUtf8(utf8, at);
        const int byte = cp ? UnicodeToCp1252(*cp) : -1;
        if (byte < 0) {
            result.StopAt = at;
            result.StopLength = length;
            result.Missing = cp.value_or(0);
            return result;
        }
        out[result.Size++] = char(byte);
        at += length;
    }
    return result;
}

TTextBytes ClassifyBytes(std::string_view bytes)
{
    bool ascii = true;
    for (size_t at = 0; at < bytes.size();) {
        // Eight bytes at a time through the ASCII that most files mostly are.
        if (bytes.size() - at >= 8) {
            uint64_t word = 0;
            std::memcpy(&word, bytes.data() + at, 8);
            if ((word & 0x8080808080808080u) == 0) {
                at += 8;
                continue;
            }
        }
        if (uint8_t(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const auto [length, cp] = DecodeUtf8(bytes, at);
        if (!cp)
            return TTextBytes::Other;
        ascii = false;
        at += length;
    }
    return ascii ? TTextBytes::Ascii : TTextBytes::Utf8;
}

}  // namespace quorvil
