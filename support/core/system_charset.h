#pragma once
// The platform's own converters between a character set's bytes and
// Unicode: iconv on POSIX, the code page functions on Windows. Slow per
// call; the character set tables ask them once per byte sequence and keep
// the answers.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorvil::sys {

class TCharsetConverter {
public:
    // `iconvName` names the set on POSIX, `codePage` on Windows.
    TCharsetConverter(const char* iconvName, unsigned codePage);
    ~TCharsetConverter();
    TCharsetConverter(const TCharsetConverter&) = delete;
    TCharsetConverter& operator=(const TCharsetConverter&) = delete;

    // False when the platform lacks the set.
    bool Available() const;
    // The one code point that `bytes` (one or two) stand for; none when they
    // are not exactly one character of the set.
    std::optional<char32_t> Decode(std::string_view bytes) const;
    // The bytes the set writes `cp` as (never a replacement); empty when none.
    std::string Encode(char32_t cp) const;

private:
    struct TState;
    std::unique_ptr<TState> state_;
};

// The upper case of a code point by Unicode's simple mapping; itself when it
// has none.
char32_t UpperCodePoint(char32_t cp);

}  // namespace quorvil::sys
