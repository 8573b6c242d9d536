#include "text_case.h"

#include <array>

namespace quorvil {

namespace {

std::array<unsigned char, 256> MakeUpperTable()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 32);
    // Latin-1 letters à..þ map to À..Þ, except the division sign (hex F7).
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7)
            t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A;  // š -> Š
    t[0x9C] = 0x8C;  // œ -> Œ
    t[0x9E] = 0x8E;  // ž -> Ž
    t[0xFF] = 0x9F;  // ÿ -> Ÿ
    return t;
}

const std::array<unsigned char, 256> kUpper = MakeUpperTable();

}  // namespace

char UpperChar1252(char c)
{
    return static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
}

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = UpperChar1252(c);
    return out;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperChar1252(a[i]) != UpperChar1252(b[i]))
            return false;
    return true;
}

}  // namespace quorvil
