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
    records_.clear();
    for (auto& list : popupLists_)
        list.reset();
    savedSorts_ = {};
    defaults_ = {};
    filters_ = {};
    layout_ = TLayout::JFile55;
    appInfo_ = MakeAppInfo(layout_);
    PdbHeader.Name = "Untitled";
    for (int f = 1; f <= kMaxSlots; ++f) {
        appInfo_->SetColumnWidth(f, 100);
        appInfo_->SetFieldType(f, TFieldType::New);
    }
    appInfo_->SetDisplayWidth(100);
    for (int k = 1; k <= 3; ++k)
        appInfo_->SetSortField(k, uint16_t(k));
    appInfo_->SetFindField(1);
    appInfo_->SetFilterField(1);
    appInfo_->SetFirstColumn(1);
    SetDbType(Facts(layout_).DbType);
    SetCreator(Facts(layout_).Creator);
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
    modified_ = true;
}

void TJFILE::Status(const std::string&) {}

void TJFILE::Changed()
{
    if (updateCount_ == 0)
        SetModified();
}

void TJFILE::EndUpdate()
{
    --updateCount_;
    Changed();
}

void TJFILE::ResetTexts()
{
    modified_ = false;
    trueText_ = "TRUE";
    falseText_ = "FALSE";
}

// --- Cells -----------------------------------------------------------------

std::string_view TJFILE::CellView(int record, int field) const
{
    if (record < 1 || record > RecordCount() || field < 1 || field > FieldCount())
        return {};
    return records_[size_t(record - 1)].Field(field);
}

std::string_view TJFILE::StoredText(int field, std::string_view text) const
{
    if (GetFieldType(field) == TFieldType::Boolean) {
        if (SameTextIgnoringCase(text, trueText_))
            return "1";
        if (SameTextIgnoringCase(text, falseText_))
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
    records_[size_t(record - 1)].SetField(field, StoredText(field, text));
    Changed();
}

const TDATA& TJFILE::Record(int r) const
{
    static const TDATA kNone;
    return r >= 1 && size_t(r) <= records_.size() ? records_[size_t(r - 1)] : kNone;
}

void TJFILE::SetCells(int record, std::span<const TCellText> cells)
{
    if (record < 1 || record > RecordCount())
        throw ERangeError(FormatMessage("SetCell: Record index out of range (%d)", record));
    TDATA& data = records_[size_t(record - 1)];
    std::array<std::string_view, kMaxSlots> texts;
    data.Texts(texts);
    // As many slots as SetCell would leave: each cell set adds slots up to its own.
    int slots = data.SlotCount();
    bool changed = false;
    for (const TCellText& cell : cells) {
        if (cell.Field < 1 || cell.Field > FieldCount())
            continue;
        std::string_view& text = texts[size_t(cell.Field - 1)];
        if (text == cell.Text)
            continue;
        text = StoredText(cell.Field, cell.Text);
        slots = std::max(slots, cell.Field);
        changed = true;
    }
    if (!changed)
        return;
    data = TDATA(texts.data(), slots);
    Changed();
}

void TJFILE::SetRecord(int record, TDATA data)
{
    if (record < 1 || record > RecordCount())
        throw ERangeError(FormatMessage("SetCell: Record index out of range (%d)", record));
    TDATA& stored = records_[size_t(record - 1)];
    bool differ = false;
    for (int f = 1; f <= FieldCount() && !differ; ++f)
        differ = stored.Field(f) != data.Field(f);
    stored = std::move(data);
    if (differ)
        Changed();
}

void TJFILE::SetBooleanTexts(const std::string& trueText, const std::string& falseText)
{
    trueText_ = trueText;
    falseText_ = falseText;
}

std::string TJFILE::GetDisplayCell(int record, int field) const
{
    std::string text = GetCell(record, field);
    return GetFieldType(field) == TFieldType::Boolean ? std::string(BooleanShown(text)) : text;
}

std::string_view TJFILE::BooleanShown(std::string_view cell) const
{
    if (cell == "1")
        return trueText_;
    if (cell == "0")
        return falseText_;
    return cell;
}

// --- Field definitions -----------------------------------------------------

int TJFILE::FieldCount() const
{
    return appInfo_ ? appInfo_->GetFieldCount() : 0;
}

void TJFILE::SetFieldCount(int n)
{
    if (!appInfo_)
        return;
    n = std::clamp(n, 0, appInfo_->MaxFields());
    if (n == FieldCount())
        return;
    appInfo_->SetFieldCount(n);
    Changed();
}

std::string TJFILE::GetFieldName(int f) const
{
    return appInfo_ ? appInfo_->GetFieldName(f) : std::string();
}

void TJFILE::SetFieldName(int f, const std::string& name)
{
    if (!appInfo_ || name == GetFieldName(f))
        return;
    appInfo_->SetFieldName(f, name);
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
    if (!appInfo_ || f < 1 || f > FieldCount())
        return TFieldType::New;
    return appInfo_->GetFieldType(f);
}

void TJFILE::SetFieldType(int f, TFieldType type)
{
    if (!appInfo_ || type == GetFieldType(f))
        return;
    appInfo_->SetFieldType(f, type);
    Changed();
}

std::string TJFILE::GetFieldTypeName(int f) const
{
    return TypeName(GetFieldType(f));
}

int TJFILE::GetColumnWidth(int f) const
{
    return appInfo_ ? appInfo_->GetColumnWidth(f) : 0;
}

void TJFILE::SetColumnWidth(int f, int w)
{
    if (!appInfo_)
        return;
    if (w != 0 && w > -20 && w < 20)
        w = w < 0 ? -20 : 20;
    w = std::clamp(w, -32768, 32767);
    if (w == GetColumnWidth(f))
        return;
    appInfo_->SetColumnWidth(f, int16_t(w));
    Changed();
}

// --- Popup lists -----------------------------------------------------------

int TJFILE::PopupCount(int f) const
{
    if (f < 1 || f > kMaxSlots || !popupLists_[size_t(f - 1)])
        return 0;
    const TDATA& list = *popupLists_[size_t(f - 1)];
    int k = 0;
    while (k < kMaxSlots && !list.Field(k + 1).empty())
        ++k;
    return k;
}

std::string TJFILE::GetPopupItem(int f, int k) const
{
    if (f < 1 || f > kMaxSlots || !popupLists_[size_t(f - 1)])
        return {};
    return std::string(popupLists_[size_t(f - 1)]->Field(k).substr(0, kLongestPopupValue));
}

void TJFILE::SetPopupItem(int f, int k, const std::string& text)
{
    if (f < 1 || f > kMaxSlots || k < 1 || k > kMaxSlots)
        return;
    auto& list = popupLists_[size_t(f - 1)];
    std::string current = list ? list->GetField(k) : std::string();
    // Renaming a value renames it in every record that holds it.
    if (loaded_ && !current.empty())
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

void TJFILE::SetPopupList(int f, const std::vector<std::string>& items)
{
    if (f < 1 || f > kMaxSlots)
        return;
    auto list = std::make_unique<TDATA>();
    int k = 0;
    for (const std::string& item : items)
        if (!item.empty() && k < kMaxSlots)
            list->SetField(++k, item);
    auto& current = popupLists_[size_t(f - 1)];
    bool same = true;
    for (int i = 1; same && i <= kMaxSlots; ++i)
        same = (current ? current->Field(i) : std::string_view()) == list->Field(i);
    if (same)
        return;
    current = std::move(list);
    Changed();
}

// --- Records ---------------------------------------------------------------

void TJFILE::SetRecordCount(uint16_t n)
{
    records_.resize(n);
    TPalmPilotDB::SetRecordCount(n);
    Changed();
}

void TJFILE::AdoptRecords(std::vector<TDATA>&& records, std::unique_ptr<TFileImage> image)
{
    // The records of the old image go before it does.
    records_.clear();
    if (image)
        image_ = std::move(image);
    SetRecordCount(uint16_t(records.size()));
    records_.swap(records);
}

void TJFILE::InsertRecord(int r, const TDATA& record)
{
    if (r < 1 || r > RecordCount() + 1 || RecordCount() == UINT16_MAX)
        throw ERangeError(FormatMessage("Insert: Record index out of range (%d)", r));
    SetRecordCount(uint16_t(RecordCount() + 1));  // a blank record at the end
    std::rotate(records_.begin() + (r - 1), records_.end() - 1, records_.end());
    records_[size_t(r - 1)] = record;
}

void TJFILE::DeleteRecord(int r)
{
    if (r < 1 || r > RecordCount())
        throw ERangeError(FormatMessage("Delete: Record index out of range (%d)", r));
    BeginUpdate();
    std::rotate(records_.begin() + (r - 1), records_.begin() + r, records_.end());
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
    TDATA& first = records_[size_t(a - 1)];
    TDATA& second = records_[size_t(b - 1)];
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
    if (order.size() != records_.size())
        throw ERangeError(FormatMessage("PermuteRecords: Record count mismatch (%d)", long(order.size())));
    std::vector<bool> seen(records_.size() + 1, false);
    for (int r : order) {
        if (r < 1 || r > RecordCount() || seen[size_t(r)])
            throw ERangeError(FormatMessage("PermuteRecords: Record index out of range (%d)", r));
        seen[size_t(r)] = true;
    }
    bool changed = false;
    for (size_t p = 0; p < order.size() && !changed; ++p) {
        const TDATA& before = records_[p];
        const TDATA& after = records_[size_t(order[p] - 1)];
        for (int f = 1; f <= FieldCount() && !changed; ++f)
            changed = before.Field(f) != after.Field(f);
    }
    std::vector<TDATA> reordered;
    reordered.reserve(records_.size());
    for (int r : order)
        reordered.push_back(std::move(records_[size_t(r - 1)]));
    records_ = std::move(reordered);
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
    order.reserve(records_.size());
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
        TDATA& record = records_[size_t(r - 1)];
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
        lists[size_t(i)] = std::move(popupLists_[size_t(i - 1)]);
    }
    for (int i = 1; i <= count; ++i)
        SetFieldName(i, names[size_t(perm[size_t(i)])]);
    for (int i = 1; i <= count; ++i)
        SetColumnWidth(i, widths[size_t(perm[size_t(i)])]);
    for (int i = 1; i <= count; ++i)
        SetFieldType(i, types[size_t(perm[size_t(i)])]);
    for (int i = 1; i <= count; ++i)
        popupLists_[size_t(i - 1)] = std::move(lists[size_t(perm[size_t(i)])]);
    // A default belongs to its field: left in place it would fill another
    // field's new records, and be saved as that field's default.
    const std::array<std::string, kMaxSlots> defaults = defaults_;
    for (int i = 1; i <= count; ++i)
        defaults_[size_t(i - 1)] = defaults[size_t(perm[size_t(i)] - 1)];
    EndUpdate();
}

}  // namespace quorvil
