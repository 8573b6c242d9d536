#include "database.h"

#include <algorithm>
#include <utility>

namespace quorvil {

TDataBase::TDataBase(StatusSink status) : status_(std::move(status)) {}

void TDataBase::InitNew()
{
    TJFILE::InitNew();
    ShowAll();
    ++orderVersion_;
    NoteDiskState();
}

void TDataBase::Load()
{
    Status("Loading...");
    TJFILE::Load();
    // The reader fills the records directly, so the flags follow here.
    ShowAll();
    ++orderVersion_;
    NoteDiskState();
}

void TDataBase::SaveWithName(const std::string& title)
{
    TJFILE::SaveWithName(title);
    NoteDiskState();
}

std::string TDataBase::DiskName() const
{
    return Stream() ? Stream()->FileName() : std::string();
}

void TDataBase::NoteDiskState()
{
    diskStamp_ = DiskStampOf(DiskName());
    seen_.reset();
}

TOutsideChange TDataBase::OutsideChange() const
{
    const std::string name = DiskName();
    if (name.empty())
        return TOutsideChange::None;
    const TDiskStamp now = DiskStampOf(name);
    if (!now.Exists)
        return TOutsideChange::Removed;
    // A file renamed over this one may have the very size and time it had.
    if (!Stream()->IsFileAt(name))
        return TOutsideChange::Replaced;
    return now == diskStamp_ ? TOutsideChange::None : TOutsideChange::Rewritten;
}

TOutsideChange TDataBase::NewOutsideChange()
{
    const TOutsideChange change = OutsideChange();
    if (change == TOutsideChange::None || seen_ == DiskStampOf(DiskName()))
        return TOutsideChange::None;
    OutsideChangeSeen();
    return change;
}

void TDataBase::OutsideChangeSeen()
{
    seen_ = DiskStampOf(DiskName());
}

void TDataBase::SetRecordCount(uint16_t n)
{
    shown_.resize(n, kFound);
    TJFILE::SetRecordCount(n);
    ++orderVersion_;
}

void TDataBase::SetModified()
{
    TJFILE::SetModified();
}

void TDataBase::Status(const std::string& text)
{
    if (status_)
        status_(text);
}

void TDataBase::SwapRecords(int a, int b)
{
    TJFILE::SwapRecords(a, b);  // checks the indexes first
    if (size_t(a) <= shown_.size() && size_t(b) <= shown_.size())
        std::swap(shown_[size_t(a - 1)], shown_[size_t(b - 1)]);
    ++orderVersion_;
}

void TDataBase::PermuteRecords(const std::vector<int>& order)
{
    TJFILE::PermuteRecords(order);  // throws for anything but a permutation
    if (orderLog_)
        orderLog_->push_back(order);
    ++orderVersion_;
    if (order.size() != shown_.size())
        return;
    std::vector<uint8_t> flags(shown_.size());
    for (size_t p = 0; p < order.size(); ++p)
        flags[p] = shown_[size_t(order[p] - 1)];
    shown_ = std::move(flags);
}

void TDataBase::DeleteRecord(int r)
{
    std::vector<uint8_t> flags = shown_;
    TJFILE::DeleteRecord(r);  // checks the index first
    if (size_t(r) <= flags.size())
        flags.erase(flags.begin() + (r - 1));
    flags.resize(size_t(RecordCount()), kFound);
    shown_ = std::move(flags);
}

void TDataBase::InsertRecord(int r, const TDATA& record, int shown)
{
    TJFILE::InsertRecord(r, record);  // checks the index first; the new flag is last
    std::rotate(shown_.begin() + (r - 1), shown_.end() - 1, shown_.end());
    shown_[size_t(r - 1)] = shown ? kFound : 0;
}

int TDataBase::GetShown(int k) const
{
    if (k < 1 || size_t(k) > shown_.size())
        return 0;
    return shown_[size_t(k - 1)] == kFound ? 1 : 0;
}

void TDataBase::SetShown(int k, int value)
{
    if (k < 1 || size_t(k) > shown_.size())
        return;
    uint8_t& flag = shown_[size_t(k - 1)];
    flag = uint8_t((flag & kFilteredOut) | (value ? kFound : 0));
}

void TDataBase::ShowAll()
{
    shown_.assign(RecordCount(), kFound);
    filter_.reset();
    findText_.reset();
    findFields_.clear();
}

void TDataBase::SetLastFind(const std::string& text, bool caseSensitive, bool wordSearch, std::vector<bool> fields)
{
    // By the set the find ran in, so that the highlights agree with the
    // records it found until the next find.
    findText_ = text.empty() ? nullptr : std::make_unique<TFindText>(text, caseSensitive, Charset());
    findWords_ = wordSearch;
    findFields_ = std::move(fields);
}

void TDataBase::SetFilter(std::shared_ptr<const TRecordFilter> filter, const std::vector<uint8_t>& passes)
{
    filter_ = filter && filter->Active() ? std::move(filter) : nullptr;
    for (size_t k = 0; k < shown_.size(); ++k) {
        const bool out = filter_ && k < passes.size() && !passes[k];
        shown_[k] = uint8_t((shown_[k] & kFound) | (out ? kFilteredOut : 0));
    }
}

void TDataBase::MoveField(int from, int to)
{
    TJFILE::MoveField(from, to);  // checks the indexes first
    if (size_t(from) > findFields_.size() || size_t(to) > findFields_.size())
        return;
    const bool moved = findFields_[size_t(from - 1)];
    findFields_.erase(findFields_.begin() + (from - 1));
    findFields_.insert(findFields_.begin() + (to - 1), moved);
}

void TDataBase::FollowFields(const std::vector<int>& sources)
{
    if (findFields_.empty())
        return;
    std::vector<bool> fields;
    for (const int old : sources)
        fields.push_back(old >= 1 && size_t(old) <= findFields_.size() && findFields_[size_t(old - 1)]);
    findFields_ = std::move(fields);
}

bool TDataBase::CellHighlighted(int record, int field) const
{
    if (!filter_ && !findText_)
        return false;
    const std::string_view cell = CellView(record, field);
    if (filter_ && filter_->CellMatches(field, cell))
        return true;
    return findText_ && field >= 1 && size_t(field) <= findFields_.size() && findFields_[size_t(field - 1)] &&
           findText_->In(cell, findWords_);
}

}  // namespace quorvil
