#include "cell_input.h"

#include "date_text.h"
#include "jfile.h"
#include "numbers.h"
#include "text_utils.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace quorvil {

namespace {

// Enough values to tell the form a column is written in, few enough that a
// keystroke or a refill of the largest database does not wait for it.
constexpr size_t kFormSample = 200;
constexpr int kFormRecords = 2000;

constexpr TDateForm kLongDateForm{true, true, true, true, ' '};
constexpr TDateForm kDefaultDateForm{};
constexpr TTimeForm kDefaultTimeForm{false, true};

std::vector<std::string_view> SampleValues(const TJFILE& db, int field)
{
    std::vector<std::string_view> values;
    const int last = std::min<int>(db.RecordCount(), kFormRecords);
    for (int r = 1; r <= last && values.size() < kFormSample; ++r)
        if (std::string_view value = db.CellView(r, field); !value.empty())
            values.push_back(value);
    return values;
}

// The form of a field whose values show none: the one typed, with the
// program's padded day, month and hour, and always numeric for a date.
TDateForm TypedDateForm(std::string_view typed)
{
    TDateForm form = DateFormOf(typed).value_or(kDefaultDateForm);
    if (form.MonthName)
        form.FourDigitYear = true;
    form.MonthName = false;
    form.PadDay = form.PadMonth = true;
    form.Separator = '/';
    return form;
}

std::optional<TDateForm> FieldDateForm(const TJFILE& db, int field, TValueKind kind)
{
    if (kind == TValueKind::LongDate)
        return kLongDateForm;
    return CommonDateForm(SampleValues(db, field));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A trimmed text written as number fields hold one: a sign, then digits
// with at most one point (a whole number has none).
bool NumberForm(std::string_view text, bool whole)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    bool digits = false;
    bool point = false;
    for (char c : text) {
        if (IsDigit(c))
            digits = true;
        else if (c == '.' && !point && !whole)
            point = true;
        else
            return false;
    }
    return digits;
}

// A whole number's text within the field's range; the digits may be padded
// with zeros, as counters often are.
bool WithinIntegerRange(std::string_view text)
{
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+')
        text.remove_prefix(1);
    const int64_t limit = negative ? -kLeastInteger : kGreatestInteger;
    int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > limit)
            return false;
    }
    return true;
}

TCellInput NumberInput(TValueKind kind, std::string_view typed)
{
    TCellInput input;
    std::string_view text = TrimBlanks(typed);
    const bool whole = kind == TValueKind::Integer;
    if (text.empty())
        return input;
    if (whole && !NumberForm(text, true)) {
        input.Problem = Quoted(typed) + " is not a whole number. Type digits only, as in 42 or -7.";
    } else if (whole && !WithinIntegerRange(text)) {
        input.Problem = Quoted(typed) + " is outside the range of this field. Type a whole number from " +
                        NumberText(kLeastInteger) + " to " + NumberText(kGreatestInteger) + ".";
    } else if (!whole && !NumberForm(text, false)) {
        // A decimal comma is the likeliest slip; say so when it is the only one.
        std::string pointed(text);
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        input.Problem = Quoted(typed) + " is not a number. " +
                        (pointed != text && NumberForm(pointed, false)
                             ? "Type it with a point, as in 1.5."
                             : "Type digits with a point before any decimals, as in 1.5 or -20.");
    } else if (!whole && !TypedNumber(text)) {
        input.Problem = Quoted(typed) + " is too large a number for this field.";
    }
    input.Accepted = input.Problem.empty();
    if (input.Accepted) {
        // The plus sign adds nothing, and the handheld reads a number without it.
        if (text.front() == '+')
            text.remove_prefix(1);
        input.Stored = std::string(text);
    }
    return input;
}

}  // namespace

TCellInput CellInput(const TJFILE& db, int field, std::string_view typed)
{
    TCellInput input;
    const TValueKind kind = ValueKindOf(db.GetFieldType(field));
    // A Boolean field's own texts are the engine's to store.
    if (kind == TValueKind::Text || kind == TValueKind::Boolean) {
        input.Stored = std::string(typed);
        return input;
    }
    if (kind == TValueKind::Integer || kind == TValueKind::Float)
        return NumberInput(kind, typed);
    std::optional<std::string> stored;
    if (kind == TValueKind::Time) {
        const TTimeForm form = CommonTimeForm(SampleValues(db, field)).value_or([&] {
            TTimeForm typedForm = TimeFormOf(typed).value_or(kDefaultTimeForm);
            typedForm.PadHour = true;
            return typedForm;
        }());
        stored = StoredTimeText(typed, form);
        if (!stored)
            input.Problem = Quoted(typed) + " is not a time of day. Type the hours and minutes, as in " +
                            TimeText({9, 30, 0}, {false, form.PadHour}) + ", or with seconds, as in " +
                            TimeText({9, 30, 15}, {true, form.PadHour}) + ".";
    } else {
        const TDateForm form = FieldDateForm(db, field, kind).value_or(TypedDateForm(typed));
        stored = StoredDateText(typed, form);
        if (!stored)
            input.Problem = Quoted(typed) + " is not a date. Type the day, month and year, as in " +
                            DateText({2024, 3, 7}, form) + ".";
    }
    input.Accepted = stored.has_value();
    input.Stored = stored.value_or(std::string());
    return input;
}

bool ReadsAsNumber(TValueKind kind, std::string_view text)
{
    return NumberInput(kind, text).Accepted;
}

std::optional<double> TypedNumber(std::string_view typed)
{
    const std::string_view text = TrimBlanks(typed);
    return NumberForm(text, false) ? DecimalValue(text) : std::nullopt;
}

std::string InputPattern(const TJFILE& db, int field)
{
    switch (const TValueKind kind = ValueKindOf(db.GetFieldType(field))) {
    case TValueKind::Text:
    case TValueKind::Boolean:
    case TValueKind::Integer:
    case TValueKind::Float: return {};
    case TValueKind::Time: return TimePattern(CommonTimeForm(SampleValues(db, field)).value_or(kDefaultTimeForm));
    case TValueKind::Date:
    case TValueKind::LongDate: return DatePattern(FieldDateForm(db, field, kind).value_or(kDefaultDateForm));
    }
    return {};
}

}  // namespace quorvil
