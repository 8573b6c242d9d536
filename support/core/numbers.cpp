#include "numbers.h"

#include "text_utils.h"

#include <charconv>
#include <limits>

namespace quorvil {

bool ConvertError = false;
int ErrorPosition = 0;

namespace {

template <typename T>
T Failed(std::size_t index)
{
    ConvertError = true;
    ErrorPosition = static_cast<int>(index) + 1;
    return 0;
}

template <typename T>
T ParseDecimal(std::string_view text)
{
    ConvertError = false;
    ErrorPosition = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    if (i == text.size())
        return Failed<T>(i);
    // The magnitude of the most negative value is one more than the maximum.
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return Failed<T>(i);
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (limit - digit) / 10)
            return Failed<T>(i);
        magnitude = magnitude * 10 + digit;
    }
    // Unsigned negation, then the two's-complement conversion of C++20.
    return static_cast<T>(negative ? 0 - magnitude : magnitude);
}

}  // namespace

std::string NumberText(long long value)
{
    return std::to_string(value);
}

int32_t TextToInt(std::string_view text)
{
    return ParseDecimal<int32_t>(text);
}

int64_t TextToInt64(std::string_view text)
{
    return ParseDecimal<int64_t>(text);
}

std::optional<double> DecimalValue(std::string_view text)
{
    text = TrimBlanks(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    // A digit or a point first: from_chars would also read "inf" and "nan".
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || !(digit(text[0]) || (text[0] == '.' && text.size() > 1 && digit(text[1]))))
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace quorvil
