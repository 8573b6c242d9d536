#include "list_values.h"

#include "errors.h"
#include "field_definition.h"
#include "field_types.h"
#include "jfile.h"
#include "text_utils.h"

#include <algorithm>
#include <map>

namespace quorvil {

namespace {

constexpr size_t kValuesShown = 8;
constexpr size_t kLongestShown = 30;

// As the open check reports a value: in double quotes when it holds a
// space, its line breaks as the views show them, a long one cut.
std::string Shown(const std::string& value)
{
    std::string text = value.size() > kLongestShown ? value.substr(0, kLongestShown) + "..." : value;
    std::replace(text.begin(), text.end(), '\n', '\xA4');
    return QuotedIfSpaced(text);
}

std::string Reason(TListRefusal why)
{
    switch (why) {
    case TListRefusal::Full: return "its popup list is full: it holds at most " + std::to_string(kMaxSlots) + " values";
    case TListRefusal::TooLong:
        return "a popup value holds at most " + std::to_string(TJFILE::kLongestPopupValue) + " characters";
    case TListRefusal::ChunkHeader: return "a popup value of this text would end the list when the file is read";
    }
    return {};
}

}  // namespace

bool TakesListValues(const TJFILE& db, int field)
{
    return db.GetFieldType(field) == TFieldType::List || db.PopupCount(field) > 0;
}

std::string LeftOutMessage(const TLeftOutValues& leftOut, const std::string& separator)
{
    std::string text;
    for (const TLeftOut& field : leftOut) {
        std::map<TListRefusal, std::vector<std::string>> byReason;
        for (const auto& [value, why] : field.Values)
            byReason[why].push_back(value);
        for (const auto& [why, values] : byReason) {
            std::string line = field.FieldName + ": ";
            for (size_t k = 0; k < values.size() && k < kValuesShown; ++k)
                line += (k > 0 ? ", " : "") + Shown(values[k]);
            if (values.size() > kValuesShown)
                line += " and " + std::to_string(values.size() - kValuesShown) + " more";
            text += (text.empty() ? "" : separator) + line + " (" + Reason(why) + ")";
        }
    }
    return text;
}

std::string ListsFullText(const std::string& work, const TLeftOutValues& leftOut)
{
    return "The popup lists cannot take every value the " + work + " would write:\n" + LeftOutMessage(leftOut);
}

std::string PopupListsNote(int added, int leftOut)
{
    std::string note;
    if (added > 0)
        note = Counted(size_t(added), "value") + " added to popup lists.";
    if (leftOut > 0)
        note += (note.empty() ? "" : " ") + Counted(size_t(leftOut), "value") +
                " left out: the popup lists could not take them.";
    return note;
}

EListsFull::EListsFull(TLeftOutValues leftOut, const std::string& work, const std::string& done)
    : std::invalid_argument(ListsFullText(work, leftOut) + "\nNothing was " + done + "."), leftOut_(std::move(leftOut))
{
}

TListValues::TListValues(TJFILE& db) : db_(db)
{
    for (int f = 1; f <= db.FieldCount(); ++f) {
        if (!TakesListValues(db, f))
            continue;
        TList& list = lists_[f];
        list.Order = PopupValues(db, f);
        list.Listed.insert(list.Order.begin(), list.Order.end());
    }
}

bool TListValues::Admit(int field, std::string_view value)
{
    const auto it = lists_.find(field);
    if (it == lists_.end() || value.empty())
        return true;
    TList& list = it->second;
    if (list.Listed.find(value) != list.Listed.end())
        return true;
    if (!PopupCanHold(value)) {
        Refuse(field, list, value,
               value.size() > TJFILE::kLongestPopupValue ? TListRefusal::TooLong : TListRefusal::ChunkHeader);
        return false;
    }
    if (list.Order.size() >= size_t(kMaxSlots)) {
        Refuse(field, list, value, TListRefusal::Full);
        return false;
    }
    // The list is set as a whole: a value hidden behind an empty slot stays out.
    list.Order.emplace_back(value);
    list.Listed.emplace(value);
    db_.SetPopupList(field, list.Order);
    ++added_;
    return true;
}

void TListValues::Refuse(int field, TList& list, std::string_view value, TListRefusal why)
{
    ++refused_;
    if (!list.Refused.emplace(value).second)
        return;
    if (list.Entry == 0) {
        leftOut_.push_back({field, db_.GetFieldName(field), {}});
        list.Entry = leftOut_.size();
    }
    leftOut_[list.Entry - 1].Values.emplace_back(std::string(value), why);
}

void WriteAdmitting(TJFILE& target, const std::function<void(TListValues&)>& write, int& added, int& refused,
                    TLeftOutValues* leftOut)
{
    TListValues lists(target);
    const auto tell = [&] {
        added = lists.Added();
        refused = lists.Refused();
        if (leftOut)
            *leftOut = lists.LeftOut();
    };
    try {
        write(lists);
    } catch (...) {
        tell();
        throw;
    }
    tell();
}

TLeftOutValues TrialLeftOut(const TJFILE& target, const std::function<void(TJFILE&, TLeftOutValues*)>& write)
{
    const std::unique_ptr<TJFILE> trial = CopyDatabase(target, TRecordCopy::Borrow);
    TLeftOutValues leftOut;
    try {
        write(*trial, &leftOut);
    } catch (const ERangeError&) {
        // The write stops at the record limit too, with what it met so far.
    }
    return leftOut;
}

bool ListsTakeAll(const TJFILE& source, const std::vector<int>* records, const std::vector<TListColumn>& columns)
{
    struct TTarget {
        std::unordered_set<std::string, TTextHash, std::equal_to<>> Values;  // listed, then those met
        size_t Free = 0;                                                     // slots left before the values met
    };
    std::map<int, TTarget> targets;
    for (const TListColumn& column : columns) {
        TTarget& target = targets[column.Target];
        target.Values.insert(column.List.begin(), column.List.end());
        target.Free = size_t(kMaxSlots) - std::min(column.List.size(), size_t(kMaxSlots));
    }
    for (auto& [field, target] : targets)
        target.Free += target.Values.size();  // counted again as values are met
    const int count = records ? int(records->size()) : source.RecordCount();
    for (const TListColumn& column : columns) {
        TTarget& target = targets[column.Target];
        for (int k = 0; k < count; ++k) {
            const std::string_view value = source.CellView(records ? (*records)[size_t(k)] : k + 1, column.Source);
            if (value.empty() || target.Values.find(value) != target.Values.end())
                continue;
            if (!PopupCanHold(value))
                return false;
            target.Values.emplace(value);
            if (target.Values.size() > target.Free)
                return false;
        }
    }
    return true;
}

}  // namespace quorvil
