#include "new_record.h"

#include "cell_input.h"
#include "date_text.h"
#include "errors.h"
#include "jfile.h"

#include <algorithm>
#include <optional>

namespace quorvil {

namespace {

constexpr int kMaxRecords = 65535;

// The leading decimal number of a value, as the counters read it; values
// that are not numbers count as 0.
unsigned long long CounterOf(std::string_view text)
{
    unsigned long long value = 0;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i == text.size() || text[i] < '0' || text[i] > '9')
        return 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (~0ULL - 9) / 10)
            return value;  // beyond any counter a handheld keeps
        value = value * 10 + unsigned(text[i] - '0');
    }
    return i == text.size() ? value : 0;
}

// The date or time of `now` as the field stores it typed: in the form of
// the field's values (a date in full in an empty field), with seconds only
// where its times have them, as a typed time keeps the seconds it has.
std::string MomentText(const TJFILE& db, int field, const TLocalMoment& now)
{
    std::string typed = DateText(now.Date, TDateForm{});
    if (ValueKindOf(db.GetFieldType(field)) == TValueKind::Time) {
        const bool seconds = InputPattern(db, field).find("ss") != std::string::npos;
        typed = TimeText(now.Time, TTimeForm{seconds, true});
    }
    TCellInput input = CellInput(db, field, typed);
    return input.Accepted ? std::move(input.Stored) : typed;
}

// The default the database keeps for the field (5.x layouts), as the field
// stores it: a date or time in the field's form; a text that is none stays
// as the database has it. A List field's default only when it is one of its
// values, so that a new record never fails the popup check.
std::optional<std::string> StoredDefault(const TJFILE& db, int field)
{
    std::string stored = db.GetDefault(field);
    if (stored.empty())
        return std::nullopt;
    if (db.GetFieldType(field) == TFieldType::List) {
        for (int k = 1; k <= db.PopupCount(field); ++k)
            if (db.GetPopupItem(field, k) == stored)
                return stored;
        return std::nullopt;
    }
    TCellInput input = CellInput(db, field, stored);
    return input.Accepted ? std::move(input.Stored) : stored;
}

}  // namespace

std::string NextCounterValue(const TJFILE& db, int field)
{
    unsigned long long highest = 0;
    size_t longest = 0;
    bool padded = false;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        const std::string_view value = db.CellView(r, field);
        highest = std::max(highest, CounterOf(value));
        longest = std::max(longest, value.size());
        padded = padded || (value.size() > 1 && value[0] == '0');
    }
    std::string next = std::to_string(highest + 1);
    if (padded && next.size() < longest)
        next.insert(0, longest - next.size(), '0');
    return next;
}

std::string DefaultValue(const TJFILE& db, int field, const TLocalMoment& now)
{
    const TFieldTypeFacts facts = FactsOf(db.GetFieldType(field));
    if (facts.NewValue == TNewValue::Moment)
        return MomentText(db, field, now);
    if (facts.NewValue == TNewValue::Counter)
        return NextCounterValue(db, field);
    if (std::optional<std::string> stored = StoredDefault(db, field))
        return *stored;
    if (facts.NewValue == TNewValue::FirstItem)
        return db.GetPopupItem(field, 1);
    // In the form of the field's values, as a typed date or time is.
    TCellInput input = CellInput(db, field, facts.NewText);
    return input.Accepted ? std::move(input.Stored) : facts.NewText;
}

int AppendDefaultRecord(TJFILE& db, const TLocalMoment& now)
{
    if (db.RecordCount() >= kMaxRecords)
        throw ERangeError("A database holds at most 65535 records.");
    std::vector<std::string> values;
    for (int f = 1; f <= db.FieldCount(); ++f)
        values.push_back(DefaultValue(db, f, now));  // counters look at the earlier records only
    const int record = db.RecordCount() + 1;
    db.SetRecordCount(uint16_t(record));
    for (int f = 1; f <= db.FieldCount(); ++f)
        db.SetCell(record, f, values[size_t(f - 1)]);
    return record;
}

bool IsEditStamped(TFieldType type)
{
    return FactsOf(type).EditStamped;
}

std::vector<TCellBefore> StampEdit(TJFILE& db, int record, const std::vector<int>& edited, const TLocalMoment& now)
{
    std::vector<TCellBefore> stamped;
    for (const int field : edited)
        if (IsEditStamped(db.GetFieldType(field)))
            return stamped;
    for (int f = 1; f <= db.FieldCount(); ++f) {
        if (!IsEditStamped(db.GetFieldType(f)))
            continue;
        std::string text = MomentText(db, f, now);
        if (text == db.CellView(record, f))
            continue;
        std::string before(db.CellView(record, f));
        db.SetCell(record, f, text);
        stamped.push_back({f, std::move(before)});
    }
    return stamped;
}

}  // namespace quorvil
