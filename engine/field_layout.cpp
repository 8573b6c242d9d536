#include "field_layout.h"

#include "jfile.h"
#include "new_record.h"

#include <algorithm>
#include <array>

namespace quorvil {

namespace {

constexpr int kNewFieldWidth = 100;  // as a new database's fields

// Where field number `f` of a view setting goes: with its field, or to the
// first field when that is dropped. Numbers that name no field stay.
int Followed(const TFieldSources& sources, int f, int oldCount)
{
    if (f < 1 || f > oldCount)
        return f;
    const int p = NewPosition(sources, f);
    return p > 0 ? p : 1;
}

void RearrangeSettings(TJFILE& db, const TFieldSources& sources, int oldCount)
{
    for (int k = 1; k <= 3; ++k)
        db.SetSortField(k, Followed(sources, db.GetSortField(k), oldCount));
    db.SetFindField(Followed(sources, db.FindField(), oldCount));
    db.SetFilterField(Followed(sources, db.FilterField(), oldCount));
    db.SetFirstColumn(Followed(sources, db.FirstColumn(), oldCount));
    const std::vector<int> lost = SavedSortsLost(db, sources);
    for (int s = 1; s <= 5; ++s) {
        if (db.GetSavedSortName(s).empty())
            continue;
        std::array<uint16_t, 3> fields{};
        for (int k = 1; k <= 3; ++k) {
            const int f = db.GetSavedSortField(s, k);
            fields[size_t(k - 1)] = uint16_t(f >= 1 && f <= oldCount ? NewPosition(sources, f) : f);
        }
        if (std::find(lost.begin(), lost.end(), s) == lost.end())
            db.SetSavedSort(s, db.GetSavedSortName(s), fields);
        else
            db.SetSavedSort(s, {}, {});
    }
}

// Width and default of every position, taken from its field before any is
// written; then the new count.
void RearrangeColumns(TJFILE& db, const TFieldSources& sources)
{
    std::vector<int> widths;
    std::vector<std::string> defaults;
    for (const int old : sources) {
        widths.push_back(old > 0 ? db.GetColumnWidth(old) : kNewFieldWidth);
        defaults.push_back(old > 0 ? db.GetDefault(old) : std::string());
    }
    db.SetFieldCount(int(sources.size()));
    for (int p = 1; p <= int(sources.size()); ++p) {
        db.SetColumnWidth(p, widths[size_t(p - 1)]);
        db.SetDefault(p, defaults[size_t(p - 1)]);
    }
    for (int p = int(sources.size()) + 1; p <= kMaxSlots; ++p)
        db.SetDefault(p, {});
}

}  // namespace

TFieldSources SameFields(int count)
{
    TFieldSources sources;
    for (int f = 1; f <= count; ++f)
        sources.push_back(f);
    return sources;
}

int NewPosition(const TFieldSources& sources, int old)
{
    for (size_t p = 0; p < sources.size(); ++p)
        if (old > 0 && sources[p] == old)
            return int(p) + 1;
    return 0;
}

std::vector<int> SavedSortsLost(const TJFILE& db, const TFieldSources& sources)
{
    std::vector<int> lost;
    for (int s = 1; s <= 5; ++s) {
        if (db.GetSavedSortName(s).empty())
            continue;
        bool dropped = false;
        for (int k = 1; k <= 3; ++k) {
            const int f = db.GetSavedSortField(s, k);
            dropped = dropped || (f >= 1 && f <= db.FieldCount() && NewPosition(sources, f) == 0);
        }
        if (dropped)
            lost.push_back(s);
    }
    return lost;
}

int RecordsWithValues(const TJFILE& db, int f)
{
    int count = 0;
    for (int r = 1; r <= db.RecordCount(); ++r)
        count += db.CellView(r, f).empty() ? 0 : 1;
    return count;
}

TFieldCells RearrangeCells(TJFILE& db, const TFieldCells& change)
{
    const int count = int(change.Sources.size());
    TFieldCells back;
    back.From = count;
    for (int old = 1; old <= change.From; ++old) {
        back.Sources.push_back(NewPosition(change.Sources, old));
        if (back.Sources.back() == 0)
            back.Added.emplace_back().reserve(size_t(db.RecordCount()));
    }
    std::vector<std::string_view> cells(static_cast<size_t>(count));
    db.BeginUpdate();
    for (int r = 1; r <= db.RecordCount(); ++r) {
        const TDATA& record = db.Record(r);
        size_t added = 0;
        for (int p = 1; p <= count; ++p) {
            const int old = change.Sources[size_t(p - 1)];
            if (old > 0) {
                cells[size_t(p - 1)] = record.Field(old);
                continue;
            }
            const std::vector<std::string>* texts = added < change.Added.size() ? &change.Added[added] : nullptr;
            cells[size_t(p - 1)] = texts && size_t(r - 1) < texts->size() ? std::string_view((*texts)[size_t(r - 1)])
                                                                          : std::string_view();
            ++added;
        }
        size_t dropped = 0;
        for (int old = 1; old <= change.From; ++old)
            if (back.Sources[size_t(old - 1)] == 0)
                back.Added[dropped++].push_back(record.GetField(old));
        // Built before it replaces the record whose texts it reads.
        TDATA rebuilt(cells.data(), count);
        db.SetRecord(r, std::move(rebuilt));
    }
    db.EndUpdate();
    return back;
}

TFieldCells RearrangeFields(TJFILE& db, const TFieldSources& sources, const std::vector<TFieldDefinition>& fields,
                            const TLocalMoment& now)
{
    const int oldCount = db.FieldCount();
    db.BeginUpdate();
    RearrangeSettings(db, sources, oldCount);
    RearrangeColumns(db, sources);
    WriteDefinition(db, fields);

    TFieldCells back = RearrangeCells(db, {sources, oldCount, {}});
    // The new fields are empty now, so that a date takes the default form
    // and a counter starts at 1 and counts on by record.
    for (int p = 1; p <= int(sources.size()); ++p) {
        if (sources[size_t(p - 1)] != 0)
            continue;
        const bool counter = db.GetFieldType(p) == TFieldType::AutoInc;
        const std::string value = counter ? std::string() : DefaultValue(db, p, now);
        for (int r = 1; r <= db.RecordCount(); ++r) {
            TDATA record = db.Record(r);
            record.SetField(p, counter ? std::to_string(r) : value);
            db.SetRecord(r, std::move(record));
        }
    }
    db.EndUpdate();
    return back;
}

}  // namespace quorvil
