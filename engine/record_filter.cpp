#include "record_filter.h"

#include "cell_input.h"
#include "find_replace.h"
#include "jfile.h"
#include "record_sort.h"
#include "text_case.h"
#include "text_utils.h"

#include <utility>

namespace quorvil {

namespace {

const char* KindName(TOrderKind kind)
{
    switch (kind) {
    case TOrderKind::Number: return "a number";
    case TOrderKind::Time: return "a time";
    default: return "a date";
    }
}

// The operator a comparison box starts with, longest first.
constexpr struct {
    const char* Text;
    TFilterOp Op;
} kOperators[] = {{"<=", TFilterOp::LessEqual},
                  {">=", TFilterOp::GreaterEqual},
                  {"=", TFilterOp::Equal},
                  {"<", TFilterOp::Less},
                  {">", TFilterOp::Greater}};

bool ComparesByValue(TOrderKind kind)
{
    return kind == TOrderKind::Number || kind == TOrderKind::Date || kind == TOrderKind::LongDate ||
           kind == TOrderKind::Time;
}

// A box's value is read as the editors read a typed one: a long date in any
// form a date is typed in ("1/3/2025", "1 Mar 2025"), a number only with a
// point. Cells are read in their stored form.
std::optional<uint64_t> TypedValue(TOrderKind kind, std::string_view text)
{
    if (kind == TOrderKind::Number)
        return TypedNumber(text) ? OrderedValue(kind, text) : std::nullopt;
    return OrderedValue(kind == TOrderKind::LongDate ? TOrderKind::Date : kind, text);
}

}  // namespace

TFilterCondition::TFilterCondition(TFieldType fieldType, std::string_view text, std::string_view trueText,
                                   std::string_view falseText, TCharset set)
{
    const std::string_view box = TrimBlanks(text);
    if (box.empty())
        return;
    const TOrderKind kind = OrderKindOf(fieldType);
    kind_ = int(kind);
    if (ValueKindOf(fieldType) == TValueKind::Boolean) {
        std::string_view word = box.front() == '=' ? TrimBlanks(box.substr(1)) : box;
        if (word == "1" || SameTextIgnoringCase(word, "TRUE") || SameTextIgnoringCase(word, trueText)) {
            op_ = TFilterOp::Checked;
        } else if (word == "0" || SameTextIgnoringCase(word, "FALSE") || SameTextIgnoringCase(word, falseText)) {
            op_ = TFilterOp::Unchecked;
        } else {
            op_ = TFilterOp::Nothing;
            problem_ = "type TRUE or FALSE.";
        }
        return;
    }
    if (kind == TOrderKind::List && box.front() == '=') {
        op_ = TFilterOp::Exactly;
        text_ = std::string(text.substr(text.find('=') + 1));  // a list value keeps its blanks
        return;
    }
    if (ComparesByValue(kind)) {
        std::optional<std::string_view> low, high;
        if (const size_t dots = box.find(".."); dots != std::string_view::npos) {
            op_ = TFilterOp::Range;
            low = TrimBlanks(box.substr(0, dots));
            high = TrimBlanks(box.substr(dots + 2));
        } else {
            for (const auto& o : kOperators)
                if (box.substr(0, std::string_view(o.Text).size()) == o.Text) {
                    op_ = o.Op;
                    high = TrimBlanks(box.substr(std::string_view(o.Text).size()));
                    break;
                }
        }
        if (op_ != TFilterOp::Any) {
            // Either end of a range may be left out; an operator needs its value.
            auto read = [&](std::optional<std::string_view> operand, uint64_t& to, uint64_t open) {
                if (!operand || (op_ == TFilterOp::Range && operand->empty())) {
                    to = open;
                    return true;
                }
                const std::optional<uint64_t> value = TypedValue(kind, *operand);
                if (!value) {
                    problem_ = Quoted(*operand) + " is not " + KindName(kind) + ".";
                    return false;
                }
                to = *value;
                return true;
            };
            if (!read(low, low_, 0) || !read(high, high_, UINT64_MAX)) {
                op_ = TFilterOp::Nothing;
                return;
            }
            if (op_ == TFilterOp::Range && low_ > high_)
                std::swap(low_, high_);
            return;
        }
    }
    op_ = TFilterOp::Contains;
    find_ = std::make_unique<TFindText>(box, false, set);
}

TFilterCondition TFilterCondition::Containing(std::string_view text, TCharset set)
{
    TFilterCondition condition(TFieldType::String, {});
    condition.op_ = TFilterOp::Contains;
    condition.find_ = std::make_unique<TFindText>(text, false, set);
    return condition;
}

TFilterCondition::~TFilterCondition() = default;
TFilterCondition::TFilterCondition(TFilterCondition&&) noexcept = default;
TFilterCondition& TFilterCondition::operator=(TFilterCondition&&) noexcept = default;

bool TFilterCondition::Compares(std::string_view cell) const
{
    const std::optional<uint64_t> value = OrderedValue(TOrderKind(kind_), cell);
    if (!value)
        return false;
    switch (op_) {
    case TFilterOp::Equal: return *value == high_;
    case TFilterOp::Less: return *value < high_;
    case TFilterOp::Greater: return *value > high_;
    case TFilterOp::LessEqual: return *value <= high_;
    case TFilterOp::GreaterEqual: return *value >= high_;
    default: return *value >= low_ && *value <= high_;  // Range
    }
}

bool TFilterCondition::Matches(std::string_view cell) const
{
    switch (op_) {
    case TFilterOp::Any: return true;
    case TFilterOp::Nothing: return false;
    case TFilterOp::Contains: return find_->In(cell);
    case TFilterOp::Exactly: return cell == text_;
    // What the grid ticks: the stored "1" (SetCell stores the TRUE text so).
    case TFilterOp::Checked: return cell == "1";
    case TFilterOp::Unchecked: return cell != "1";
    default: return Compares(cell);
    }
}

TRecordFilter::TRecordFilter(const TJFILE& db, const std::vector<TFilterBox>& boxes)
{
    for (const TFilterBox& box : boxes) {
        if (box.Field < 1 || box.Field > db.FieldCount())
            continue;
        TFilterCondition condition = box.Literal ? TFilterCondition::Containing(box.Text, db.Charset())
                                                 : TFilterCondition(db.GetFieldType(box.Field), box.Text, db.TrueText(),
                                                                    db.FalseText(), db.Charset());
        if (!condition.Active())
            continue;
        names_.push_back(db.GetFieldName(box.Field));
        conditions_.push_back({box.Field, std::move(condition)});
    }
}

bool TRecordFilter::Matches(const TJFILE& db, int record) const
{
    for (const TFieldCondition& c : conditions_)
        if (!c.Condition.Matches(db.CellView(record, c.Field)))
            return false;
    return true;
}

bool TRecordFilter::CellMatches(int field, std::string_view cell) const
{
    for (const TFieldCondition& c : conditions_)
        if (c.Field == field && c.Condition.Matches(cell))
            return true;
    return false;
}

std::string TRecordFilter::ProblemOf(int field) const
{
    for (const TFieldCondition& c : conditions_)
        if (c.Field == field)
            return c.Condition.Problem();
    return {};
}

std::string TRecordFilter::Problem() const
{
    for (size_t k = 0; k < conditions_.size(); ++k)
        if (!conditions_[k].Condition.Problem().empty())
            return names_[k] + ": " + conditions_[k].Condition.Problem();
    return {};
}

void FilterRecords(const TJFILE& db, const TRecordFilter& filter, int first, int last, std::vector<uint8_t>& flags)
{
    for (int r = first; r <= last; ++r)
        flags[size_t(r - 1)] = filter.Matches(db, r) ? 1 : 0;
}

std::vector<int> RecordsPassing(const TJFILE& db, const TRecordFilter& filter, const std::vector<int>& records)
{
    std::vector<int> passing;
    for (int r : records)
        if (filter.Matches(db, r))
            passing.push_back(r);
    return passing;
}

std::string FilterHelp(TFieldType fieldType)
{
    if (ValueKindOf(fieldType) == TValueKind::Boolean)
        return "Filter: TRUE or FALSE";
    const char* value = nullptr;
    const char* range = nullptr;
    switch (OrderKindOf(fieldType)) {
    case TOrderKind::List: return "Filter: a text the cells contain, or = a value of the list";
    case TOrderKind::Number:
        value = "a number (as in >=2.5)";
        range = "1..10";
        break;
    case TOrderKind::Date:
    case TOrderKind::LongDate:
        value = "a date (as in >1/3/2025)";
        range = "1/1/2025..31/3/2025";
        break;
    case TOrderKind::Time:
        value = "a time (as in <12:00)";
        range = "8:00..12:30";
        break;
    case TOrderKind::Text: return "Filter: a text the cells contain";
    }
    return std::string("Filter: a text the cells contain, or =, <, >, <= or >= ") + value +
           ", or a range a..b (as in " + range + ")";
}

std::optional<std::string> BoxText(TFieldType fieldType, std::string_view op, std::string_view value)
{
    const TOrderKind kind = OrderKindOf(fieldType);
    if (ValueKindOf(fieldType) == TValueKind::Boolean)  // ticked or not: nothing to contain
        return op == "=" ? std::optional<std::string>(std::string(value)) : std::nullopt;
    if (op == "contains")
        return std::string(value);
    if (kind == TOrderKind::List)
        return op == "=" ? std::optional<std::string>("=" + std::string(value)) : std::nullopt;
    if (!ComparesByValue(kind))
        return std::nullopt;
    if (op == "..")
        return value.find("..") != std::string_view::npos ? std::optional<std::string>(std::string(value))
                                                          : std::nullopt;
    for (const auto& o : kOperators)
        if (op == o.Text)
            return std::string(op) + std::string(value);
    return std::nullopt;
}

}  // namespace quorvil
