#include "new_record.h"

#include "cell_input.h"
#include "errors.h"
#include "field_types.h"
#include "jfile.h"

#include <algorithm>

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

std::string DefaultValue(const TJFILE& db, int field)
{
    switch (db.GetFieldType(field)) {
    case kTypeBoolean:
    case kTypeInteger:
    case kTypeFloat: return "0";
    case kTypeDate:
    case kTypeAutoDate:
    case kTypeModDate: return CellInput(db, field, "01/01/00").Stored;
    case kTypeTime:
    case kTypeAutoTime:
    case kTypeModTime: return CellInput(db, field, "00:00:00").Stored;
    case kTypeIntDate: return "01 Jan 1980";
    case kTypeList: return db.GetPopupItem(field, 1);
    case kTypeAutoInc: return NextCounterValue(db, field);
    default: return {};
    }
}

int AppendDefaultRecord(TJFILE& db)
{
    if (db.RecordCount() >= kMaxRecords)
        throw ERangeError("A database holds at most 65535 records.");
    std::vector<std::string> values;
    for (int f = 1; f <= db.FieldCount(); ++f)
        values.push_back(DefaultValue(db, f));  // counters look at the earlier records only
    const int record = db.RecordCount() + 1;
    db.SetRecordCount(uint16_t(record));
    for (int f = 1; f <= db.FieldCount(); ++f)
        db.SetCell(record, f, values[size_t(f - 1)]);
    return record;
}

}  // namespace quorvil
