#include "database.h"

#include "errors.h"

#include <algorithm>
#include <utility>

namespace quorvil {

TDataBase::TDataBase(StatusSink status) : status_(std::move(status)) {}

void TDataBase::InitNew()
{
    TJFILE::InitNew();
    shown_.assign(RecordCount(), 1);
}

void TDataBase::Load()
{
    Status("Loading...");
    TJFILE::Load();
    // The reader fills the records directly, so the flags follow here.
    shown_.assign(RecordCount(), 1);
}

void TDataBase::SetRecordCount(uint16_t n)
{
    shown_.resize(n, 1);
    TJFILE::SetRecordCount(n);
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
}

void TDataBase::PermuteRecords(const std::vector<int>& order)
{
    TJFILE::PermuteRecords(order);  // throws for anything but a permutation
    if (orderLog_)
        orderLog_->push_back(order);
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
    flags.resize(size_t(RecordCount()), 1);
    shown_ = std::move(flags);
}

void TDataBase::InsertRecord(int r, const TDATA& record, int shown)
{
    if (r < 1 || r > RecordCount() + 1 || RecordCount() == UINT16_MAX)
        throw ERangeError(FormatMessage("Insert: Record index out of range (%d)", r));
    SetRecordCount(uint16_t(RecordCount() + 1));  // a blank record at the end, shown
    std::rotate(Records.begin() + (r - 1), Records.end() - 1, Records.end());
    std::rotate(shown_.begin() + (r - 1), shown_.end() - 1, shown_.end());
    Records[size_t(r - 1)] = record;
    shown_[size_t(r - 1)] = uint8_t(shown);
}

int TDataBase::GetShown(int k) const
{
    if (k < 1 || size_t(k) > shown_.size())
        return 0;
    return shown_[size_t(k - 1)];
}

void TDataBase::SetShown(int k, int value)
{
    if (k < 1 || size_t(k) > shown_.size())
        return;
    shown_[size_t(k - 1)] = uint8_t(value);
}

void TDataBase::ShowAll()
{
    shown_.assign(RecordCount(), 1);
}

}  // namespace quorvil
