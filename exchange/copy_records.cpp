#include "copy_records.h"

#include "errors.h"

#include "field_types.h"
#include "jfile.h"
#include "key_index.h"
#include "text_case.h"

#include <algorithm>
#include <array>
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

// Writes the source cells into target record t. The new texts are gathered
// first and the record is rebuilt once, not once a cell; Boolean cells are
// stored as SetCell stores them.
using TTexts = std::array<std::string_view, kMaxSlots>;

int CopyCells(const TTexts& source, TJFILE& target, int t, const TFieldPairs& pairs,
              const std::vector<bool>& booleans)
{
    TTexts texts;
    TDATA& record = target.Records[size_t(t - 1)];
    record.Texts(texts);
    int copied = 0;
    bool rebuilt = false;
    int lastBoolean = 0;  // the highest Boolean field changed
    for (auto [i, j] : pairs) {
        const std::string_view value = source[size_t(i - 1)];
        std::string_view& text = texts[size_t(j - 1)];
        if (text == value)
            continue;
        ++copied;
        if (booleans[size_t(j)]) {
            text = target.StoredText(j, value);
            lastBoolean = std::max(lastBoolean, j);
        } else {
            text = value;
            rebuilt = true;
        }
    }
    if (rebuilt || lastBoolean > 0) {
        // As many slots as SetCell would leave: a Boolean cell alone adds
        // slots up to its own.
        const int count = std::max(record.SlotCount(), rebuilt ? target.FieldCount() : lastBoolean);
        record = TDATA(texts.data(), count);
        target.Changed();
    }
    return copied;
}

}  // namespace

TKeyFields FindKeyFields(const TJFILE& source, const TJFILE& target, const std::string& keyName)
{
    for (int i = 1; i <= source.FieldCount(); ++i) {
        const std::string name = source.GetFieldName(i);
        if (!keyName.empty() && name != keyName)
            continue;
        for (int j = 1; j <= target.FieldCount(); ++j)
            if (target.GetFieldName(j) == name)
                return {i, j};
        if (!keyName.empty())
            break;
    }
    return {};
}

std::string CopyMessage(int copied)
{
    return (copied == 0 ? std::string("No") : std::to_string(copied)) + (copied == 1 ? " field" : " fields") +
           " copied.";
}

std::string CopyFileDialogTitle(int rows)
{
    return std::string("Select database to export ") + (rows == 1 ? "record" : "records") + " to";
}

TCopyResult CopyRecords(const TJFILE& source, const std::vector<int>& records, TJFILE& target,
                        const std::string& keyName)
{
    const TKeyFields key = FindKeyFields(source, target, keyName);
    if (key.Source == 0)
        return {};
    const TFieldPairs exact = PairFields(source, target, false);
    const TFieldPairs anyCase = PairFields(source, target, true);
    TKeyIndex index(target, key.Target, false);
    std::vector<bool> booleans(size_t(target.FieldCount()) + 1, false);  // by target field
    for (int j = 1; j <= target.FieldCount(); ++j)
        booleans[size_t(j)] = target.GetFieldType(j) == kTypeBoolean;
    TCopyResult result{true, 0};
    TTexts cells;
    std::vector<int> holding;
    for (int r : records) {
        // One pass over the source record: a record in the file finds a
        // field's text by reading the lengths before it.
        if (r < 1 || r > source.RecordCount())
            continue;
        source.Records[size_t(r - 1)].Texts(cells);
        for (int i = source.FieldCount(); i < kMaxSlots; ++i)
            cells[size_t(i)] = {};
        // The source record stays as it is: its key may be a view of it.
        const std::string_view k = cells[size_t(key.Source - 1)];
        if (const std::vector<int>* holders = index.Find(k)) {
            // A copy: an update may move a record to another key.
            holding.assign(holders->begin(), holders->end());
            for (int t : holding) {
                result.Copied += CopyCells(cells, target, t, exact, booleans);
                index.Rekey(t, k);
            }
        } else {
            const int t = AppendEmptyRecord(target);
            result.Copied += CopyCells(cells, target, t, anyCase, booleans);
            index.AddLast(t);
        }
    }
    return result;
}

TCopyResult CopyRecordsToFile(const TJFILE& source, const std::vector<int>& records, const std::string& fileName,
                              const std::string& keyName)
{
    auto target = Open(fileName);
    // The copy is saved into the file, which would lose what could not be read.
    if (!target->LoadWarning().empty())
        throw EInOutError(target->LoadWarning() + " Nothing was copied into it.");
    TCopyResult result;
    try {
        result = CopyRecords(source, records, *target, keyName);
    } catch (...) {
        try {
            target->SaveWithName(target->PdbHeader.Name);
        } catch (...) {
            // The copy's own failure is the one to report.
        }
        throw;
    }
    target->SaveWithName(target->PdbHeader.Name);
    return result;
}

}  // namespace quorvil
