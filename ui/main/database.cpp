#include "database.h"

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
