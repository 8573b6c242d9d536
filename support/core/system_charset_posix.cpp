#include "system_charset.h"

#include <cerrno>
#include <clocale>
#include <cwctype>
#include <iconv.h>
#include <locale.h>

namespace quorvil::sys {

struct TCharsetConverter::TState {
    iconv_t ToUnicode = iconv_t(-1);
    iconv_t FromUnicode = iconv_t(-1);
};

namespace {

// Converts all of `in` or nothing; the converter is reset before and after,
// so no shift state lingers between calls.
bool ConvertWhole(iconv_t cd, std::string_view in, std::string& out, size_t room)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.assign(room, '\0');
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = room;
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool whole = done != size_t(-1) && inLeft == 0;
    // glibc reports a character it wrote by approximation in the count.
    const bool exact = done == 0;
    out.resize(room - outLeft);
    return whole && exact;
}

}  // namespace

TCharsetConverter::TCharsetConverter(const char* iconvName, unsigned) : state_(std::make_unique<TState>())
{
    state_->ToUnicode = iconv_open("UTF-32LE", iconvName);
    state_->FromUnicode = iconv_open(iconvName, "UTF-32LE");
}

TCharsetConverter::~TCharsetConverter()
{
    if (state_->ToUnicode != iconv_t(-1))
        iconv_close(state_->ToUnicode);
    if (state_->FromUnicode != iconv_t(-1))
        iconv_close(state_->FromUnicode);
}

bool TCharsetConverter::Available() const
{
    return state_->ToUnicode != iconv_t(-1) && state_->FromUnicode != iconv_t(-1);
}

std::optional<char32_t> TCharsetConverter::Decode(std::string_view bytes) const
{
    std::string out;
    if (!ConvertWhole(state_->ToUnicode, bytes, out, 16) || out.size() != 4)
        return std::nullopt;
    const auto* u = reinterpret_cast<const unsigned char*>(out.data());
    return char32_t(u[0] | u[1] << 8 | u[2] << 16 | u[3] << 24);
}

std::string TCharsetConverter::Encode(char32_t cp) const
{
    const char in[4] = {char(cp & 0xFF), char(cp >> 8 & 0xFF), char(cp >> 16 & 0xFF), char(cp >> 24)};
    std::string out;
    if (!ConvertWhole(state_->FromUnicode, std::string_view(in, 4), out, 8))
        return {};
    return out;
}

char32_t UpperCodePoint(char32_t cp)
{
    // The Unicode locale every glibc has built in, whatever the user's is.
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (!unicode || cp > 0x10FFFF)
        return cp;
    return char32_t(towupper_l(wint_t(cp), unicode));
}

}  // namespace quorvil::sys
