#include "jfile.h"

#include "errors.h"
#include "text_case.h"

#include <algorithm>

namespace quorvil {

TJFILE::TJFILE() = default;
TJFILE::~TJFILE() = default;

void TJFILE::InitNew()
{
    TPalmPilotDB::InitNew();
    loadWarning_.clear();
    loadDamage_ = {};
    Records.clear();
    for (auto& list : PopupLists)
        list.reset();
    SavedSorts = {};
    Defaults = {};
    Filters = {};
    Layout = TLayout::JFile55;
    AppInfo = MakeAppInfo(Layout);
    PdbHeader.Name = "Untitled";
    for (int f = 1; f <= kMaxSlots; ++f) {
        AppInfo->SetColumnWidth(f, 100);
        AppInfo->SetFieldType(f, TFieldType::New);
    }
    AppInfo->SetDisplayWidth(100);
    for (int k = 1; k <= 3; ++k)
        AppInfo->SetSortField(k, uint16_t(k));
    AppInfo->SetFindField(1);
    AppInfo->SetFilterField(1);
    AppInfo->SetFirstColumn(1);
    SetDbType(Facts(Layout).DbType);
    SetCreator(Facts(Layout).Creator);
    ResetTexts();
}

void TJFILE::Load()
{
    if (!Stream())
        throw EStreamError("The database has no file to load from.");
    Stream()->Seek(0);
    LoadFrom(*Stream());
}

void TJFILE::SetModified()
{
    Modified = true;
}

void TJFILE::Status(const std::string&) {}

void TJFILE::Changed()
{
    if (UpdateCount == 0)
        SetModified();
}

void TJFILE::EndUpdate()
{
    --UpdateCount;
    Changed();
}

void TJFILE::ResetTexts()
{
    Modified = false;
    TrueText = "TRUE";
    FalseText = "FALSE";
}

// --- Cells -----------------------------------------------------------------

std::string_view TJFILE::CellView(int record, int field) const
{
    if (record < 1 || record > RecordCount() || field < 1 || field > FieldCount())
        return {};
    return Records[size_t(record - 1)].Field(field);
}

std::string_view TJFILE::StoredText(int field, std::string_view text) const
{
    if (GetFieldType(field) == TFieldType::Boolean) {
        if (SameTextIgnoringCase(text, TrueText))
            return "1";
        if (SameTextIgnoringCase(text, FalseText))
            return "0";
    }
    return text;
}

void TJFILE::SetCell(int record, int field, const std::string& text)
{
    if (record < 1 || record > RecordCount())
        throw ERangeError(FormatMessage("SetCell: Record index out of range (%d)", record));
    if (text == CellView(record, field))
        return;
    Records[size_t(record - 1)].SetField(field, StoredText(field, text));
    Changed();
}

std::string TJFILE::GetDisplayCell(int record, int field) const
{
    std::string text = GetCell(record, field);
    return GetFieldType(field) == TFieldType::Boolean ? std::string(BooleanShown(text)) : text;
}

std::string_view TJFILE::BooleanShown(std::string_view cell) const
{
    if (cell == "1")
        return TrueText;
    if (cell == "0")
        return FalseText;
    return cell;
}

// --- Field definitions -----------------------------------------------------

int TJFILE::FieldCount() const
{
    return AppInfo ? AppInfo->GetFieldCount() : 0;
}

void TJFILE::SetFieldCount(int n)
{
    if (!AppInfo)
        return;
    n = std::clamp(n, 0, AppInfo->MaxFields());
    if (n == FieldCount())
        return;
    AppInfo->SetFieldCount(n);
    Changed();
}

std::string TJFILE::GetFieldName(int f) const
{
    return AppInfo ? AppInfo->GetFieldName(f) : std::string();
}

void TJFILE::SetFieldName(int f, const std::string& name)
{
    if (!AppInfo || name == GetFieldName(f))
        return;
    AppInfo->SetFieldName(f, name);
    Changed();
}

int TJFILE::FieldIndexByName(const std::string& name) const
{
    for (int f = 1; f <= FieldCount(); ++f)
        if (SameTextIgnoringCase(GetFieldName(f), name))
            return f;
    return 0;
}

TFieldType TJFILE::GetFieldType(int f) const
{
    if (!AppInfo || f < 1 || f > FieldCount())
        return TFieldType::New;
    return AppInfo->GetFieldType(f);
}

void TJFILE::SetFieldType(int f, TFieldType type)
{
    if (!AppInfo || type == GetFieldType(f))
        return;
    AppInfo->SetFieldType(f, type);
    Changed();
}

std::string TJFILE::GetFieldTypeName(int f) const
{
    return TypeName(GetFieldType(f));
}

int TJFILE::GetColumnWidth(int f) const
{
    return AppInfo ? AppInfo->GetColumnWidth(f) : 0;
}

void TJFILE::SetColumnWidth(int f, int w)
{
    if (!AppInfo)
        return;
    if (w != 0 && w > -20 && w < 20)
        w = w < 0 ? -20 : 20;
    w = std::clamp(w, -32768, 32767);
    if (w == GetColumnWidth(f))
        return;
    AppInfo->SetColumnWidth(f, int16_t(w));
    Changed();
}

int TJFILE::GetSortField(int k) const { return AppInfo ? AppInfo->GetSortField(k) : 0; }
int TJFILE::FindField() const { return AppInfo ? AppInfo->GetFindField() : 0; }
std::string TJFILE::FindText() const { return AppInfo ? AppInfo->GetFindText() : std::string(); }
int TJFILE::FilterField() const { return AppInfo ? AppInfo->GetFilterField() : 0; }
std::string TJFILE::FilterText() const { return AppInfo ? AppInfo->GetFilterText() : std::string(); }
int TJFILE::FirstColumn() const { return AppInfo ? AppInfo->GetFirstColumn() : 0; }
int TJFILE::DisplayWidth() const { return AppInfo ? AppInfo->GetDisplayWidth() : 0; }

// The 5.x layouts keep category and read-only flag in the header's Version
// word (category in bits 12..15, read-only hex 0400); the older ones in the
// block's Flags word.
int TJFILE::Category() const
{
    if (Facts(Layout).HeaderFlags)
        return PdbHeader.Version >> 12;
    return AppInfo ? AppInfo->GetCategory() : 0;
}

bool TJFILE::ReadOnly() const
{
    if (!AppInfo)
        return true;
    if (Facts(Layout).HeaderFlags)
        return (PdbHeader.Version & 0x0400) != 0;
    return (AppInfo->GetFlags() & 2) != 0;
}

// --- Popup lists -----------------------------------------------------------

int TJFILE::PopupCount(int f) const
{
    if (f < 1 || f > kMaxSlots || !PopupLists[size_t(f - 1)])
        return 0;
    const TDATA& list = *PopupLists[size_t(f - 1)];
    int k = 0;
    while (k < kMaxSlots && !list.Field(k + 1).empty())
        ++k;
    return k;
}

std::string TJFILE::GetPopupItem(int f, int k) const
{
    if (f < 1 || f > kMaxSlots || !PopupLists[size_t(f - 1)])
        return {};
    return std::string(PopupLists[size_t(f - 1)]->Field(k).substr(0, kLongestPopupValue));
}

void TJFILE::SetPopupItem(int f, int k, const std::string& text)
{
    if (f < 1 || f > kMaxSlots || k < 1 || k > kMaxSlots)
        return;
    auto& list = PopupLists[size_t(f - 1)];
    std::string current = list ? list->GetField(k) : std::string();
    // Renaming a value renames it in every record that holds it.
    if (Loaded && !current.empty())
        for (int r = 1; r <= RecordCount(); ++r)
            if (CellView(r, f) == current)
                SetCell(r, f, text);
    if (!list)
        list = std::make_unique<TDATA>();
    if (text != current) {
        list->SetField(k, text);
        Changed();
    }
}

// --- Extras of the 5.x layouts --------------------------------------------

std::string TJFILE::GetDefault(int f) const
{
    if (!Facts(Layout).SavedSettings || f < 1 || f > kMaxSlots)
        return {};
    return Defaults[size_t(f - 1)];
}

void TJFILE::SetDefault(int f, const std::string& text)
{
    if (!Facts(Layout).SavedSettings || f < 1 || f > kMaxSlots || Defaults[size_t(f - 1)] == text)
        return;
    Defaults[size_t(f - 1)] = text;
    Changed();
}

std::string TJFILE::GetSavedSortName(int s) const
{
    if (!Facts(Layout).SavedSettings || s < 1 || s > 5)
        return {};
    return SavedSorts[size_t(s - 1)].Name;
}

int TJFILE::GetSavedSortField(int s, int k) const
{
    if (!Facts(Layout).SavedSettings || s < 1 || s > 5 || k < 1 || k > 3)
        return 0;
    return SavedSorts[size_t(s - 1)].Fields[size_t(k - 1)];
}

void TJFILE::SetSavedSort(int s, const std::string& name, const std::array<uint16_t, 3>& fields)
{
    if (!Facts(Layout).SavedSettings || s < 1 || s > 5)
        return;
    TSavedSort& sort = SavedSorts[size_t(s - 1)];
    if (sort.Name == name && sort.Fields == fields)
        return;
    sort.Name = name.substr(0, 255);
    sort.Fields = fields;
    Changed();
}

FilterRec TJFILE::GetFilter(int s) const
{
    if (!Facts(Layout).SavedSettings || s < 1 || s > 5)
        return {};
    return Filters[size_t(s - 1)];
}

void TJFILE::SetFilter(int s, const FilterRec& rec)
{
    if (!Facts(Layout).SavedSettings || s < 1 || s > 5 || Filters[size_t(s - 1)] == rec)
        return;
    Filters[size_t(s - 1)] = rec;
    Changed();
}

// --- Records ---------------------------------------------------------------

void TJFILE::SetRecordCount(uint16_t n)
{
    Records.resize(n);
    TPalmPilotDB::SetRecordCount(n);
    Changed();
}

void TJFILE::AdoptRecords(std::vector<TDATA>&& records, std::unique_ptr<TFileImage> image)
{
    // The records of the old image go before it does.
    Records.clear();
    if (image)
        image_ = std::move(image);
    SetRecordCount(uint16_t(records.size()));
    Records.swap(records);
}

void TJFILE::DeleteRecord(int r)
{
    if (r < 1 || r > RecordCount())
        throw ERangeError(FormatMessage("Delete: Record index out of range (%d)", r));
    BeginUpdate();
    std::rotate(Records.begin() + (r - 1), Records.begin() + r, Records.end());
    SetRecordCount(uint16_t(RecordCount() - 1));
    EndUpdate();
}

void TJFILE::SwapRecords(int a, int b)
{
    for (int r : {a, b})
        if (r < 1 || r > RecordCount())
            throw ERangeError(FormatMessage("SetCell: Record index out of range (%d)", r));
    if (a == b)
        return;
    TDATA& first = Records[size_t(a - 1)];
    TDATA& second = Records[size_t(b - 1)];
    // Exchanging whole records gives the same cells as exchanging them one by
    // one, without rebuilding each record fifty times during a sort.
    bool differ = false;
    for (int f = 1; f <= FieldCount() && !differ; ++f)
        differ = first.Field(f) != second.Field(f);
    std::swap(first, second);
    if (differ)
        Changed();
}

void TJFILE::PermuteRecords(const std::vector<int>& order)
{
    if (order.size() != Records.size())
        throw ERangeError(FormatMessage("PermuteRecords: Record count mismatch (%d)", long(order.size())));
    std::vector<bool> seen(Records.size() + 1, false);
    for (int r : order) {
        if (r < 1 || r > RecordCount() || seen[size_t(r)])
            throw ERangeError(FormatMessage("PermuteRecords: Record index out of range (%d)", r));
        seen[size_t(r)] = true;
    }
    bool changed = false;
    for (size_t p = 0; p < order.size() && !changed; ++p) {
        const TDATA& before = Records[p];
        const TDATA& after = Records[size_t(order[p] - 1)];
        for (int f = 1; f <= FieldCount() && !changed; ++f)
            changed = before.Field(f) != after.Field(f);
    }
    std::vector<TDATA> reordered;
    reordered.reserve(Records.size());
    for (int r : order)
        reordered.push_back(std::move(Records[size_t(r - 1)]));
    Records = std::move(reordered);
    if (changed)
        Changed();
}

void TJFILE::MoveRecords(const std::vector<int>& moved, int target)
{
    std::vector<int> list;
    std::vector<bool> isMoved(size_t(RecordCount()) + 1, false);
    for (int r : moved) {
        if (r == 0)
            break;
        if (r < 1 || r > RecordCount())
            throw ERangeError(FormatMessage("MoveRecords: Record index out of range (%d)", r));
        // A record listed twice moves once; placing it twice would duplicate it.
        if (!isMoved[size_t(r)]) {
            isMoved[size_t(r)] = true;
            list.push_back(r);
        }
    }
    if (list.empty())
        return;
    int staying = RecordCount() - int(list.size());
    if (target < 1 || target > staying)
        throw ERangeError(FormatMessage("MoveRecords: Target index out of range (%d)", target));
    // The new order as a permutation, so that a subclass keeping state per
    // record follows through PermuteRecords.
    std::vector<int> order;
    order.reserve(Records.size());
    int number = 0;
    for (int r = 1; r <= RecordCount(); ++r) {
        if (isMoved[size_t(r)])
            continue;
        if (++number == target)
            order.insert(order.end(), list.begin(), list.end());
        order.push_back(r);
    }
    PermuteRecords(order);
    SetModified();
}

void TJFILE::MoveField(int from, int to)
{
    int count = FieldCount();
    if (from < 1 || from > count)
        throw ERangeError(FormatMessage("MoveField: FromIndex out of range (%d)", from));
    if (to < 1 || to > count)
        throw ERangeError(FormatMessage("MoveField: ToIndex out of range (%d)", to));
    if (from == to)
        return;
    // perm[i] is the old field that position i takes.
    std::vector<int> perm(size_t(count) + 1);
    for (int i = 1; i <= count; ++i)
        perm[size_t(i)] = i;
    if (from < to)
        for (int i = from; i < to; ++i)
            perm[size_t(i)] = i + 1;
    else
        for (int i = to + 1; i <= from; ++i)
            perm[size_t(i)] = i - 1;
    perm[size_t(to)] = from;

    BeginUpdate();
    std::vector<std::string> cells(size_t(count) + 1);
    std::vector<std::string_view> views(static_cast<size_t>(count));
    for (int r = 1; r <= RecordCount(); ++r) {
        // The cells move exactly as stored: written through SetCell against
        // the types still in place, a text field's "TRUE" passing a Boolean
        // position would become "1", and an undo would not bring it back.
        for (int i = 1; i <= count; ++i)
            cells[size_t(i)] = std::string(CellView(r, perm[size_t(i)]));
        TDATA& record = Records[size_t(r - 1)];
        for (int i = 1; i <= count; ++i)
            views[size_t(i - 1)] = cells[size_t(i)];
        // Slots beyond the field count keep their texts.
        std::vector<std::string> extra;
        for (int i = count + 1; i <= record.SlotCount(); ++i)
            extra.push_back(record.GetField(i));
        record = TDATA(views.data(), count);
        for (size_t e = 0; e < extra.size(); ++e)
            record.SetField(count + 1 + int(e), extra[e]);
    }
    std::vector<std::string> names(size_t(count) + 1);
    std::vector<int> widths(size_t(count) + 1);
    std::vector<TFieldType> types(size_t(count) + 1);
    std::vector<std::unique_ptr<TDATA>> lists(size_t(count) + 1);
    for (int i = 1; i <= count; ++i) {
        names[size_t(i)] = GetFieldName(i);
        widths[size_t(i)] = GetColumnWidth(i);
        types[size_t(i)] = GetFieldType(i);
        lists[size_t(i)] = std::move(PopupLists[size_t(i - 1)]);
    }
    for (int i = 1; i <= count; ++i)
        SetFieldName(i, names[size_t(perm[size_t(i)])]);
    for (int i = 1; i <= count; ++i)
        SetColumnWidth(i, widths[size_t(perm[size_t(i)])]);
    for (int i = 1; i <= count; ++i)
        SetFieldType(i, types[size_t(perm[size_t(i)])]);
    for (int i = 1; i <= count; ++i)
        PopupLists[size_t(i - 1)] = std::move(lists[size_t(perm[size_t(i)])]);
    // A default belongs to its field: left in place it would fill another
    // field's new records, and be saved as that field's default.
    const std::array<std::string, kMaxSlots> defaults = Defaults;
    for (int i = 1; i <= count; ++i)
        Defaults[size_t(i - 1)] = defaults[size_t(perm[size_t(i)] - 1)];
    EndUpdate();
}

}  // namespace quorvil
