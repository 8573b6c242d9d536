#include "cell_input.h"

#include "date_text.h"
#include "field_types.h"
#include "jfile.h"

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

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

}  // namespace

TValueKind ValueKindOf(uint16_t fieldType)
{
    switch (fieldType) {
    case kTypeDate:
    case kTypeAutoDate:
    case kTypeModDate: return TValueKind::Date;
    case kTypeIntDate: return TValueKind::LongDate;
    case kTypeTime:
    case kTypeAutoTime:
    case kTypeModTime: return TValueKind::Time;
    default: return TValueKind::Text;
    }
}

TCellInput CellInput(const TJFILE& db, int field, std::string_view typed)
{
    TCellInput input;
    const TValueKind kind = ValueKindOf(db.GetFieldType(field));
    if (kind == TValueKind::Text) {
        input.Stored = std::string(typed);
        return input;
    }
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

std::string InputPattern(const TJFILE& db, int field)
{
    switch (const TValueKind kind = ValueKindOf(db.GetFieldType(field))) {
    case TValueKind::Text: return {};
    case TValueKind::Time: return TimePattern(CommonTimeForm(SampleValues(db, field)).value_or(kDefaultTimeForm));
    case TValueKind::Date:
    case TValueKind::LongDate: return DatePattern(FieldDateForm(db, field, kind).value_or(kDefaultDateForm));
    }
    return {};
}

}  // namespace quorvil
