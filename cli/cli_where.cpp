#include "cli_where.h"

#include "field_types.h"
#include "jfile.h"
#include "latin1.h"
#include "record_filter.h"
#include "record_sort.h"
#include "split.h"

#include <stdexcept>
#include <string>

namespace quorvil {

namespace {

constexpr const char* kWhere = "--where";
constexpr const char* kOperators[] = {"contains", "=", "<", ">", "<=", ">=", ".."};

bool KnownOperator(const std::string& op)
{
    for (const char* known : kOperators)
        if (op == known)
            return true;
    return false;
}

// Why BoxText took no text for `op`, which is a known operator.
std::string RefusedOperator(TFieldType type, const std::string& name, const std::string& op)
{
    if (ValueKindOf(type) == TValueKind::Boolean)
        return name + " is a Boolean field; it takes =";
    switch (OrderKindOf(type)) {
    case TOrderKind::Text: return name + " is a text field; it takes contains";
    case TOrderKind::List: return name + " is a List field; it takes contains and =";
    default: return op + " takes a range such as 1..5";  // the only refusal left: ".." without its dots
    }
}

TFilterBox WhereBox(const TJFILE& db, const std::vector<std::string>& where, std::optional<TCharset> set)
{
    const std::string& name = where[0];
    const std::string& op = where[1];
    int field = 0;
    try {
        field = LastFieldNamed(db, TypedBytes(name, set, kWhere));
    } catch (const UsageError&) {
        // A name the database's bytes cannot spell names no field.
    }
    if (field == 0)
        throw UsageError(std::string(kWhere) + ": there is no field " + name);
    if (!KnownOperator(op))
        throw UsageError(std::string(kWhere) + ": " + op + " is not an operator; use contains, =, <, >, <=, >= or ..");
    const std::string value = TypedBytes(where[2], set, kWhere);
    const TFieldType type = db.GetFieldType(field);
    // An empty value would filter nothing, or (contains) everything away;
    // only a List's empty value is one to ask for.
    if (value.empty() && !(op == "=" && type == TFieldType::List))
        throw UsageError(std::string(kWhere) + ": the value for " + name + " is empty");
    const std::optional<std::string> text = BoxText(type, op, value);
    if (!text)
        throw UsageError(std::string(kWhere) + ": " + RefusedOperator(type, name, op));
    return {field, *text, op == "contains"};
}

}  // namespace

const GroupOptions& WhereOption()
{
    static const GroupOptions option = {{kWhere, {"FIELD", "OP", "VALUE"}}};
    return option;
}

std::vector<int> RecordsWhere(const TJFILE& db, const Arguments& args, const std::vector<int>& records)
{
    std::vector<TFilterBox> boxes;
    const std::optional<TCharset> set = CharsetOption(args);
    auto [first, last] = args.groups.equal_range(kWhere);
    for (auto it = first; it != last; ++it)
        boxes.push_back(WhereBox(db, it->second, set));
    if (boxes.empty())
        return records;
    const TRecordFilter filter(db, boxes);
    const std::string problem = filter.Problem();
    if (!problem.empty())
        throw UsageError(std::string(kWhere) + ": " + (set ? CharsetToUtf8(*set, problem) : BytesToUtf8(problem)));
    return RecordsPassing(db, filter, records);
}

std::unique_ptr<TJFILE> DatabaseWhere(const TJFILE& db, const Arguments& args)
{
    if (args.groups.count(kWhere) == 0)
        return nullptr;
    std::vector<int> all;
    all.reserve(size_t(db.RecordCount()));
    for (int r = 1; r <= db.RecordCount(); ++r)
        all.push_back(r);
    return CopyDatabase(db, RecordsWhere(db, args, all), TRecordCopy::Borrow);
}

}  // namespace quorvil
