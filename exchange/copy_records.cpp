#include "copy_records.h"

#include "errors.h"
#include "field_definition.h"
#include "jfile.h"
#include "key_index.h"
#include "text_case.h"
#include "text_utils.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <utility>

namespace quorvil {

namespace {

using TFieldPairs = std::vector<std::pair<int, int>>;

// Every (source field, target field) whose names are equal, exactly or
// after upper-casing both.
TFieldPairs PairFields(const TJFILE& source, const TJFILE& target, bool ignoreCase)
{
    TFieldPairs pairs;
    for (int i = 1; i <= source.FieldCount(); ++i) {
        std::string a = source.GetFieldName(i);
        if (ignoreCase)
            a = UpperCase(a);
        for (int j = 1; j <= target.FieldCount(); ++j) {
            std::string b = target.GetFieldName(j);
            if ((ignoreCase ? UpperCase(b) : b) == a)
                pairs.emplace_back(i, j);
        }
    }
    return pairs;
}

// Writes the source cells into target record t, as SetCell would one after
// the other, with the record rebuilt once.
using TTexts = std::array<std::string_view, kMaxSlots>;

int CopyCells(const TTexts& source, TJFILE& target, int t, const TFieldPairs& pairs, TListValues& lists)
{
    // What each field holds as the pairs are written in turn: a later pair of
    // the same field compares with the value an earlier one stored.
    TTexts held;
    target.Record(t).Texts(held);
    std::vector<TCellText> cells;
    for (auto [i, j] : pairs) {
        const std::string_view value = source[size_t(i - 1)];
        std::string_view& text = held[size_t(j - 1)];
        if (text == value || !lists.Admit(j, value))
            continue;
        text = target.StoredText(j, value);
        cells.push_back({j, value});
    }
    target.SetCells(t, cells);
    return int(cells.size());
}

// Copies the records into the target, matched on `key` (none: all added).
void CopyInto(const TJFILE& source, const std::vector<int>& records, TJFILE& target, const TKeyFields& key,
              TListValues& lists, TCopyResult& result)
{
    const TFieldPairs exact = PairFields(source, target, false);
    const TFieldPairs anyCase = PairFields(source, target, true);
    std::optional<TKeyIndex> index;
    if (key.Target > 0)
        index.emplace(target, key.Target, false);
    TTexts cells;
    std::vector<int> holding;
    for (int r : records) {
        // One pass over the source record: a record in the file finds a
        // field's text by reading the lengths before it.
        if (r < 1 || r > source.RecordCount())
            continue;
        ++result.Records;
        source.Record(r).Texts(cells);
        for (int i = source.FieldCount(); i < kMaxSlots; ++i)
            cells[size_t(i)] = {};
        // The source record stays as it is: its key may be a view of it.
        const std::string_view k = key.Source > 0 ? cells[size_t(key.Source - 1)] : std::string_view();
        if (const std::vector<int>* holders = index ? index->Find(k) : nullptr) {
            // A copy: an update may move a record to another key.
            holding.assign(holders->begin(), holders->end());
            for (int t : holding) {
                const int changed = CopyCells(cells, target, t, exact, lists);
                result.Copied += changed;
                ++(changed > 0 ? result.Updated : result.Unchanged);
                index->Rekey(t, k);
            }
        } else {
            const int t = AppendEmptyRecord(target);
            result.Copied += CopyCells(cells, target, t, anyCase, lists);
            ++result.Added;
            if (index)
                index->AddLast(t);
        }
    }
}

// The copy itself. `leftOut` receives what the lists refused, also when the
// record limit stops the copy.
TCopyResult Run(const TJFILE& source, const std::vector<int>& records, TJFILE& target, const TCopyOptions& options,
                TLeftOutValues* leftOut)
{
    TCopyResult result;
    result.Key = options.Key;
    result.Shared = !PairFields(source, target, true).empty();
    if (!result.Shared)
        return result;
    const TKeyFields key = options.Key.empty() ? TKeyFields{} : FindKeyFields(source, target, options.Key);
    WriteAdmitting(
        target, [&](TListValues& lists) { CopyInto(source, records, target, key, lists, result); }, result.ListAdded,
        result.LeftOut, leftOut);
    return result;
}

}  // namespace

std::vector<std::string> KeyCandidates(const TJFILE& source, const TJFILE& target)
{
    std::vector<std::string> names;
    for (int i = 1; i <= source.FieldCount(); ++i) {
        const std::string name = source.GetFieldName(i);
        if (FindKeyFields(source, target, name).Target > 0 &&
            std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

TKeyFields FindKeyFields(const TJFILE& source, const TJFILE& target, const std::string& keyName)
{
    for (int i = 1; i <= source.FieldCount(); ++i) {
        if (source.GetFieldName(i) != keyName)
            continue;
        for (int j = 1; j <= target.FieldCount(); ++j)
            if (target.GetFieldName(j) == keyName)
                return {i, j};
        break;
    }
    return {};
}

std::string CopyMessage(const TCopyResult& result)
{
    if (!result.Shared)
        return "No field name is shared; nothing copied.";
    std::string text = "Copied " + Counted(size_t(result.Records), "record") +
                       (result.Key.empty() ? ", without a key field: " : ", matched on " + result.Key + ": ") +
                       std::to_string(result.Added) + " added, " + std::to_string(result.Updated) + " updated";
    if (result.Unchanged > 0)
        text += ", " + std::to_string(result.Unchanged) + " unchanged";
    text += ".";
    if (const std::string note = PopupListsNote(result.ListAdded, result.LeftOut); !note.empty())
        text += " " + note;
    return text;
}

std::string CopyFileDialogTitle(int rows)
{
    return std::string("Select database to export ") + (rows == 1 ? "record" : "records") + " to";
}

TLeftOutValues CopyLeftOut(const TJFILE& source, const std::vector<int>& records, const TJFILE& target,
                           const TCopyOptions& options)
{
    // Every pair of names equal in any case may write: appends take them all.
    std::vector<TListColumn> columns;
    for (auto [i, j] : PairFields(source, target, true))
        if (TakesListValues(target, j))
            columns.push_back({i, j, PopupValues(target, j)});
    if (columns.empty() || ListsTakeAll(source, &records, columns))
        return {};
    // Only the copy itself knows which values it writes.
    return TrialLeftOut(target,
                        [&](TJFILE& trial, TLeftOutValues* leftOut) { Run(source, records, trial, options, leftOut); });
}

TCopyResult CopyRecords(const TJFILE& source, const std::vector<int>& records, TJFILE& target,
                        const TCopyOptions& options)
{
    if (!options.Key.empty() && FindKeyFields(source, target, options.Key).Target == 0)
        throw std::invalid_argument("Records cannot be matched on " + options.Key +
                                    ": it is not the name of a field in both databases.");
    if (!options.LeaveOutUnlisted)
        if (TLeftOutValues leftOut = CopyLeftOut(source, records, target, options); !leftOut.empty())
            throw EListsFull(leftOut, "copy", "copied");
    return Run(source, records, target, options, nullptr);
}

std::unique_ptr<TJFILE> OpenCopyTarget(const std::string& fileName)
{
    auto target = Open(fileName);
    // The copy is saved into the file, which would lose what could not be read.
    if (!target->LoadWarning().empty())
        throw EInOutError(target->LoadWarning() + " Nothing was copied into it.");
    return target;
}

TCopyResult CopyRecordsToFile(const TJFILE& source, const std::vector<int>& records, TJFILE& target,
                              const TCopyOptions& options)
{
    TCopyResult result;
    try {
        result = CopyRecords(source, records, target, options);
    } catch (const ERangeError&) {
        // The records copied before the limit are kept, as in a tab.
        try {
            target.SaveWithName(target.PdbHeader.Name);
        } catch (...) {
            // The limit is the failure to report.
        }
        throw;
    }
    if (target.Modified())
        target.SaveWithName(target.PdbHeader.Name);
    return result;
}

}  // namespace quorvil
