#include "definition_review.h"

#include "cell_input.h"
#include "field_layout.h"
#include "jfile.h"
#include "record_sort.h"
#include "text_utils.h"

#include <algorithm>
#include <unordered_set>

namespace quorvil {

namespace {

// How a kind of value says that values are not of it, for one value and
// for several.
struct TReading {
    TValueKind Kind;
    const char* One;
    const char* Many;
};

constexpr TReading kReadings[] = {
    {TValueKind::Integer, "is not a whole number", "are not whole numbers"},
    {TValueKind::Float, "is not a number", "are not numbers"},
    {TValueKind::Date, "is not a date", "are not dates"},
    {TValueKind::LongDate, "is not a date written as 07 Mar 2024", "are not dates written as 07 Mar 2024"},
    {TValueKind::Time, "is not a time of day", "are not times of day"},
    {TValueKind::Boolean, "is neither TRUE nor FALSE", "are neither TRUE nor FALSE"},
};

const TReading* ReadingOf(TFieldType type)
{
    for (const TReading& reading : kReadings)
        if (reading.Kind == ValueKindOf(type))
            return &reading;
    return nullptr;
}

// The name a message calls a field by.
std::string Called(const std::vector<TFieldDefinition>& fields, int f)
{
    const std::string name = fields[size_t(f - 1)].Name.substr(0, kMaxFieldNameLength);
    return name.empty() ? "field " + std::to_string(f) : name;
}

// Field f of `fields` was field `src` of `db`.
std::string RetypeNote(const TJFILE& db, const std::vector<TFieldDefinition>& fields, int f, int src)
{
    const TFieldType type = SavedType(fields[size_t(f - 1)].Type);
    const TReading* reading = ReadingOf(type);
    if (!reading)
        return {};
    const TOrderKind order = OrderKindOf(type);
    size_t count = 0;
    bool sortFirst = order != TOrderKind::Text;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        const std::string_view value = db.CellView(r, src);
        if (ReadableAs(type, value))
            continue;
        ++count;
        // "9.25" is no whole number, yet it sorts by its value.
        sortFirst = sortFirst && !OrderedValue(order, value);
    }
    if (count == 0)
        return {};
    const bool one = count == 1;
    return Counted(count, "value") + " of " + Called(fields, f) + " " + (one ? reading->One : reading->Many) + "; " +
           (one ? "it stays as it is" : "they stay as they are") +
           (sortFirst ? (one ? " and sorts first." : " and sort first.") : ".");
}

// A List field's list with the values its records hold beyond it added, or
// a refusal when they do not fit. Values the list lacked before the change
// are left alone: opening the file has reported them already.
void CompleteList(const TJFILE& db, int f, int src, TDefinitionReview& review)
{
    TFieldDefinition& field = review.Fields[size_t(f - 1)];
    std::vector<std::string>& list = field.Popup;
    // An empty item would end the list in the file; writing leaves it out.
    list.erase(std::remove(list.begin(), list.end(), std::string()), list.end());
    const std::string name = Called(review.Fields, f);
    if (list.size() > size_t(kMaxSlots)) {
        review.Refusal = "The popup list of " + name + " holds " + std::to_string(list.size()) +
                         " items; a list holds at most " + std::to_string(kMaxSlots) + ". Remove " +
                         std::to_string(list.size() - size_t(kMaxSlots)) + " of them.";
        review.Field = f;
        return;
    }
    const bool wasList = db.GetFieldType(src) == TFieldType::List;
    std::unordered_set<std::string> known(list.begin(), list.end());
    std::unordered_set<std::string> before;
    if (wasList)
        for (std::string& value : PopupValues(db, src))
            before.insert(std::move(value));
    const std::string keep = wasList ? "Keep the values in the list."
                                     : "Keep " + name + " a " + TypeName(SavedType(db.GetFieldType(src))) + " field.";
    std::vector<std::string> missing;
    for (int r = 1; r <= db.RecordCount(); ++r) {
        const std::string_view value = db.CellView(r, src);
        if (value.empty() || known.count(std::string(value)) || (wasList && !before.count(std::string(value))))
            continue;
        if (!PopupCanHold(value)) {
            review.Refusal = "The value of " + name + " in record " + std::to_string(r) + " cannot be a popup item: " +
                             (value.size() > TJFILE::kLongestPopupValue
                                  ? "an item holds at most 255 characters."
                                  : "the file would read it as the end of the list.") +
                             " " + keep;
            review.Field = f;
            return;
        }
        missing.emplace_back(value);
        known.insert(missing.back());
    }
    if (missing.empty())
        return;
    if (list.size() + missing.size() > size_t(kMaxSlots)) {
        review.Refusal = "The popup list of " + name + " would need " + std::to_string(list.size() + missing.size()) +
                         " items to hold every value of the field; a list holds at most " + std::to_string(kMaxSlots) +
                         ". " + keep;
        review.Field = f;
        return;
    }
    const bool one = missing.size() == 1;
    review.Notes.push_back(Counted(missing.size(), "value") + " of " + name + " (" + FirstFew(missing, kItemsShown) +
                           ") " + (one ? "is" : "are") + " not in its popup list; " + (one ? "it is" : "they are") +
                           " added at its end.");
    list.insert(list.end(), missing.begin(), missing.end());
}

// Two fields of one name: the message naming them, or empty.
std::string DuplicateName(const std::vector<TFieldDefinition>& fields, int& second)
{
    for (size_t b = 1; b < fields.size(); ++b) {
        const std::string nameB = fields[b].Name.substr(0, kMaxFieldNameLength);
        for (size_t a = 0; a < b && !nameB.empty(); ++a) {
            const std::string nameA = fields[a].Name.substr(0, kMaxFieldNameLength);
            if (!SameFieldName(nameA, nameB))
                continue;
            second = int(b + 1);
            const std::string which = "Fields " + std::to_string(a + 1) + " and " + std::to_string(b + 1);
            return (nameA == nameB ? which + " are both named " + Quoted(nameA)
                                   : which + " are named " + Quoted(nameA) + " and " + Quoted(nameB) +
                                         ", which count as one name") +
                   ". Give each field a name of its own.";
        }
    }
    return {};
}

}  // namespace

bool ReadableAs(TFieldType type, std::string_view value)
{
    if (value.empty())
        return true;
    switch (const TValueKind kind = ValueKindOf(type)) {
    case TValueKind::Integer:
    case TValueKind::Float: return ReadsAsNumber(kind, value);
    case TValueKind::Boolean: return value == "1" || value == "0";
    case TValueKind::Date:
    case TValueKind::LongDate:
    case TValueKind::Time: return OrderedValue(OrderKindOf(type), value).has_value();
    case TValueKind::Text: return true;
    }
    return true;
}

TDefinitionReview ReviewDefinition(const TJFILE& db, const std::vector<TFieldDefinition>& fields)
{
    return ReviewDefinition(db, fields, SameFields(std::min(int(fields.size()), db.FieldCount())));
}

TDefinitionReview ReviewDefinition(const TJFILE& db, const std::vector<TFieldDefinition>& fields,
                                   const TFieldSources& sources)
{
    TDefinitionReview review;
    review.Fields = fields;
    review.Refusal = DuplicateName(fields, review.Field);
    review.NameRefused = !review.Refusal.empty();
    const int count = std::min(int(fields.size()), int(sources.size()));
    for (int f = 1; f <= count && review.Refusal.empty(); ++f) {
        // An added field holds only the value a new record has.
        const int src = sources[size_t(f - 1)];
        if (src < 1 || src > db.FieldCount())
            continue;
        const TFieldType before = SavedType(db.GetFieldType(src));
        const TFieldType after = SavedType(fields[size_t(f - 1)].Type);
        if (after == TFieldType::List) {
            CompleteList(db, f, src, review);
        } else if (before == TFieldType::List && db.PopupCount(src) > 0) {
            review.Notes.push_back("The popup list of " + Called(fields, f) + " (" +
                                   FirstFew(PopupValues(db, src), kItemsShown) +
                                   ") is dropped: only a List field keeps one.");
        }
        if (after != before)
            if (std::string note = RetypeNote(db, fields, f, src); !note.empty())
                review.Notes.push_back(std::move(note));
    }
    for (const int s : SavedSortsLost(db, sources))
        review.Notes.push_back("The saved sort " + Quoted(db.GetSavedSortName(s)) +
                               " sorts by a deleted field; it is removed.");
    if (!review.Refusal.empty())
        review.Notes.clear();
    return review;
}

}  // namespace quorvil
