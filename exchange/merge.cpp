#include "merge.h"

#include "field_definition.h"
#include "jfile.h"
#include "key_index.h"
#include "numbers.h"
#include "text_case.h"
#include "text_utils.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

namespace quorvil {

namespace {

bool Meaningful(TMergeWorth worth, std::string_view cell)
{
    switch (worth) {
    case TMergeWorth::NotBlank: return !Trim(cell).empty();
    case TMergeWorth::NotZero: return TextToInt64(cell) != 0;
    case TMergeWorth::Ticked: return !cell.empty() && cell != "0";
    case TMergeWorth::Never: return false;
    }
    return false;
}

bool AnyMeaningful(const TJFILE& db, int field)
{
    const TMergeWorth worth = FactsOf(db.GetFieldType(field)).MergeWorth;
    for (int r = 1; r <= db.RecordCount(); ++r)
        if (Meaningful(worth, db.CellView(r, field)))
            return true;
    return false;
}

// The field number of each ticked row after the new fields are made; 0 for
// rows not copied. Refuses, before anything changes, a mapping that names a
// missing master field or needs more fields than the master's layout holds.
std::vector<int> MasterFieldsOf(const TJFILE& master, const TMergeChoice& choice)
{
    std::vector<int> fields;
    int next = master.FieldCount();
    for (const TFieldMapping& m : choice.Fields) {
        int f = 0;
        if (m.Copy && m.MasterField > master.FieldCount())
            throw std::invalid_argument("The master database has no field " + std::to_string(m.MasterField) + ".");
        if (m.Copy)
            f = m.MasterField > 0 ? m.MasterField : ++next;
        fields.push_back(f);
    }
    const int most = master.MaxFields();
    if (next > most)
        throw std::invalid_argument("The master database cannot take " + std::to_string(next - master.FieldCount()) +
                                    " new field(s): its layout holds at most " + std::to_string(most) + " fields.");
    return fields;
}

void AddNewFields(TJFILE& master, const TJFILE& other, const TMergeChoice& choice, const std::vector<int>& fields)
{
    for (size_t j = 0; j < fields.size(); ++j) {
        const int m = fields[j];
        if (m <= master.FieldCount())
            continue;
        const int field = int(j) + 1;
        const std::string& name = choice.Fields[j].NewName;
        master.SetFieldCount(m);
        master.SetFieldName(m, name.empty() ? other.GetFieldName(field) : name.substr(0, kMaxFieldNameLength));
        master.SetFieldType(m, other.GetFieldType(field));
        // A List field keeps its values valid only with its popup list; any
        // other field would become one when saved with a list, even one left
        // behind in the slot.
        master.SetPopupList(m, other.GetFieldType(field) == TFieldType::List ? PopupValues(other, field)
                                                                             : std::vector<std::string>{});
    }
}

// The copied fields that go into List fields, with the lists they start with.
std::vector<TListColumn> ListColumns(const TJFILE& master, const TJFILE& other, const std::vector<int>& fields)
{
    std::vector<TListColumn> columns;
    for (size_t j = 0; j < fields.size(); ++j) {
        const int m = fields[j];
        const int field = int(j) + 1;
        if (m > 0 && m <= master.FieldCount() && TakesListValues(master, m))
            columns.push_back({field, m, PopupValues(master, m)});
        else if (m > master.FieldCount() && other.GetFieldType(field) == TFieldType::List)
            columns.push_back({field, m, PopupValues(other, field)});
    }
    return columns;
}

struct TMergeFields {
    int MasterId = 0;
    int OtherId = 0;
    std::vector<int> Fields;  // by MasterFieldsOf
};

// Merges the other's records into the master, whose new fields are made.
void MergeRecords(TJFILE& master, const TJFILE& other, const TMergeChoice& choice, const TMergeFields& plan,
                  TListValues& lists, const TMergeProgress& progress, TMergeResult& result)
{
    const std::vector<int>& fields = plan.Fields;
    const bool otherIntegral = BaseType(other.GetFieldType(plan.OtherId)) == TFieldType::Integer;
    TKeyIndex index(master, plan.MasterId, BaseType(master.GetFieldType(plan.MasterId)) == TFieldType::Integer);
    // Each record's cells in one pass over its lengths; the master's again
    // after each write, which rebuilds its record.
    std::array<std::string_view, kMaxSlots> source, target;
    for (int r = 1; r <= other.RecordCount(); ++r) {
        if (progress && r % 4096 == 1)
            progress(r, other.RecordCount());
        std::string_view id = other.CellView(r, plan.OtherId);
        const std::string key = otherIntegral ? NumberText(TextToInt64(id)) : std::string(id);
        const std::vector<int>* holders = index.Find(key);
        const bool append = holders == nullptr;
        const int t = append ? AppendEmptyRecord(master) : holders->front();
        const std::string oldKey = append ? std::string() : index.KeyOfRecord(t);
        const auto read = [&] {
            other.Record(r).Texts(source);
            master.Record(t).Texts(target);
        };
        read();
        for (size_t j = 0; j < fields.size(); ++j) {
            if (fields[j] == 0)
                continue;
            const auto cell = [](const auto& cells, size_t slot, int count) {
                return slot < std::min<size_t>(size_t(count), kMaxSlots) ? cells[slot] : std::string_view();
            };
            const std::string_view s = cell(source, j, other.FieldCount());
            const std::string_view d = cell(target, size_t(fields[j] - 1), master.FieldCount());
            if (!s.empty() && (d.empty() || (d != s && choice.Fields[j].Overwrite)) && lists.Admit(fields[j], s)) {
                master.SetCell(t, fields[j], std::string(s));
                ++result.Written;
                read();  // the write rebuilt the record (and the other, if the same)
            }
        }
        if (append) {
            index.AddLast(t);
            ++result.Appended;
        } else {
            index.Rekey(t, oldKey);
        }
    }
}

// The merge itself: the new fields, then the records. `leftOut` receives
// what the lists refused, also when the record limit stops the merge.
TMergeResult Run(TJFILE& master, const TJFILE& other, const TMergeChoice& choice, const TMergeFields& plan,
                 const TMergeProgress& progress, TLeftOutValues* leftOut)
{
    AddNewFields(master, other, choice, plan.Fields);
    TMergeResult result;
    WriteAdmitting(
        master, [&](TListValues& lists) { MergeRecords(master, other, choice, plan, lists, progress, result); },
        result.ListAdded, result.LeftOut, leftOut);
    return result;
}

// The ID fields and the master field of each row; none when either
// database lacks the ID field or the other has no records.
std::optional<TMergeFields> PlanMerge(const TJFILE& master, const TJFILE& other, const TMergeChoice& choice)
{
    TMergeFields plan{master.FieldIndexByName(choice.IdName), other.FieldIndexByName(choice.IdName), {}};
    if (plan.MasterId == 0 || plan.OtherId == 0)
        return std::nullopt;
    plan.Fields = MasterFieldsOf(master, choice);
    if (other.RecordCount() == 0)
        return std::nullopt;
    return plan;
}

}  // namespace

TFieldType BaseType(TFieldType type)
{
    return FactsOf(type).MergesAs;
}

std::vector<std::string> IdCandidates(const TJFILE& master, const TJFILE& other)
{
    std::vector<std::string> names;
    for (int j = 1; j <= other.FieldCount(); ++j)
        for (int i = 1; i <= master.FieldCount(); ++i)
            if (SameTextIgnoringCase(other.GetFieldName(j), master.GetFieldName(i)) &&
                BaseType(other.GetFieldType(j)) == BaseType(master.GetFieldType(i)))
                names.push_back(master.GetFieldName(i));
    return names;
}

std::vector<int> MasterFieldsFor(const TJFILE& master, TFieldType type)
{
    std::vector<int> fields;
    for (int i = 1; i <= master.FieldCount(); ++i)
        if (BaseType(master.GetFieldType(i)) == BaseType(type))
            fields.push_back(i);
    return fields;
}

TMergeChoice DefaultMergeChoice(const TJFILE& master, const TJFILE& other)
{
    const std::vector<std::string> candidates = IdCandidates(master, other);
    if (candidates.empty())
        throw std::invalid_argument(kNoIdFieldMessage);
    TMergeChoice choice{candidates.front(), {}};
    for (int j = 1; j <= other.FieldCount(); ++j) {
        TFieldMapping m;
        const std::string name = other.GetFieldName(j);
        for (int i : MasterFieldsFor(master, other.GetFieldType(j)))
            if (SameTextIgnoringCase(master.GetFieldName(i), name)) {
                m.MasterField = i;
                break;
            }
        m.Copy = m.MasterField > 0 ? name != "Have it?" : AnyMeaningful(other, j);
        // A new field is offered under the other field's name; the window
        // ticks its overwrite box on OK.
        if (m.MasterField == 0) {
            m.NewName = name;
            m.Overwrite = true;
        }
        choice.Fields.push_back(m);
    }
    return choice;
}

std::string MappingProblem(const TJFILE& master, const TJFILE& other, const TMergeChoice& choice)
{
    std::vector<std::string> names;  // of the new fields so far, as stored
    for (size_t j = 0; j < choice.Fields.size(); ++j) {
        const TFieldMapping& m = choice.Fields[j];
        if (!m.Copy || m.MasterField != 0)
            continue;
        if (m.NewName.empty())
            return "Need new field name for " + other.GetFieldName(int(j) + 1);
        const std::string name = m.NewName.substr(0, kMaxFieldNameLength);
        if (master.FieldIndexByName(name) != 0)
            return "Field name " + name + " already exists in master database";
        for (const std::string& earlier : names)
            if (SameFieldName(earlier, name))
                return "Two new fields are named " + name;
        names.push_back(name);
    }
    return {};
}

TLeftOutValues MergeLeftOut(const TJFILE& master, const TJFILE& other, const TMergeChoice& choice,
                            const TMergeProgress& progress)
{
    const std::optional<TMergeFields> plan = PlanMerge(master, other, choice);
    if (!plan)
        return {};
    const std::vector<TListColumn> columns = ListColumns(master, other, plan->Fields);
    if (columns.empty() || ListsTakeAll(other, nullptr, columns))
        return {};
    // Only the merge itself knows which values it writes.
    return TrialLeftOut(
        master, [&](TJFILE& trial, TLeftOutValues* leftOut) { Run(trial, other, choice, *plan, progress, leftOut); });
}

TMergeResult Merge(TJFILE& master, const TJFILE& other, const TMergeChoice& choice, const TMergeProgress& progress)
{
    const std::optional<TMergeFields> plan = PlanMerge(master, other, choice);
    if (!plan)
        return {};
    if (!choice.LeaveOutUnlisted)
        if (TLeftOutValues leftOut = MergeLeftOut(master, other, choice, progress); !leftOut.empty())
            throw EListsFull(leftOut, "merge", "merged");
    return Run(master, other, choice, *plan, progress, nullptr);
}

}  // namespace quorvil
