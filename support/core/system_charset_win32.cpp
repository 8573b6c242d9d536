#include "system_charset.h"

#include <windows.h>

namespace quorvil::sys {

struct TCharsetConverter::TState {
    unsigned CodePage = 0;
    bool Available = false;
};

TCharsetConverter::TCharsetConverter(const char*, unsigned codePage) : state_(std::make_unique<TState>())
{
    state_->CodePage = codePage;
    state_->Available = IsValidCodePage(codePage) != 0;
}

TCharsetConverter::~TCharsetConverter() = default;

bool TCharsetConverter::Available() const
{
    return state_->Available;
}

std::optional<char32_t> TCharsetConverter::Decode(std::string_view bytes) const
{
    wchar_t wide[4];
    const int n = MultiByteToWideChar(state_->CodePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), wide, 4);
    if (n == 1 && (wide[0] < 0xD800 || wide[0] > 0xDFFF))
        return char32_t(wide[0]);
    if (n == 2 && wide[0] >= 0xD800 && wide[0] < 0xDC00 && wide[1] >= 0xDC00 && wide[1] <= 0xDFFF)
        return 0x10000 + (char32_t(wide[0] - 0xD800) << 10) + (wide[1] - 0xDC00);
    return std::nullopt;
}

std::string TCharsetConverter::Encode(char32_t cp) const
{
    wchar_t wide[2];
    int units = 1;
    if (cp < 0x10000) {
        wide[0] = wchar_t(cp);
    } else {
        wide[0] = wchar_t(0xD800 + ((cp - 0x10000) >> 10));
        wide[1] = wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        units = 2;
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(state_->CodePage, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault)
        return {};
    return std::string(bytes, size_t(n));
}

char32_t UpperCodePoint(char32_t cp)
{
    if (cp >= 0x10000 || (cp >= 0xD800 && cp <= 0xDFFF))
        return cp;
    wchar_t unit = wchar_t(cp);
    CharUpperBuffW(&unit, 1);
    return char32_t(unit);
}

}  // namespace quorvil::sys
