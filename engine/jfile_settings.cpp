// The settings a database keeps beside its fields and records: the view
// settings of the definition block, and the extras of the 5.x layouts.
#include "jfile.h"

#include <algorithm>

namespace quorvil {

// --- View settings ---------------------------------------------------------

int TJFILE::GetSortField(int k) const
{
    return appInfo_ ? appInfo_->GetSortField(k) : 0;
}
int TJFILE::FindField() const
{
    return appInfo_ ? appInfo_->GetFindField() : 0;
}
std::string TJFILE::FindText() const
{
    return appInfo_ ? appInfo_->GetFindText() : std::string();
}
int TJFILE::FilterField() const
{
    return appInfo_ ? appInfo_->GetFilterField() : 0;
}
std::string TJFILE::FilterText() const
{
    return appInfo_ ? appInfo_->GetFilterText() : std::string();
}
int TJFILE::FirstColumn() const
{
    return appInfo_ ? appInfo_->GetFirstColumn() : 0;
}
int TJFILE::DisplayWidth() const
{
    return appInfo_ ? appInfo_->GetDisplayWidth() : 0;
}

// The 5.x layouts keep category and read-only flag in the header's Version
// word (category in bits 12..15, read-only hex 0400); the older ones in the
// block's Flags word.
int TJFILE::Category() const
{
    if (Facts(layout_).HeaderFlags)
        return PdbHeader.Version >> 12;
    return appInfo_ ? appInfo_->GetCategory() : 0;
}

bool TJFILE::ReadOnly() const
{
    if (!appInfo_)
        return true;
    if (Facts(layout_).HeaderFlags)
        return (PdbHeader.Version & 0x0400) != 0;
    return (appInfo_->GetFlags() & 2) != 0;
}

void TJFILE::ChangeBlock(const std::function<void(TAppInfo&)>& change)
{
    if (!appInfo_)
        return;
    const std::vector<uint8_t> before = appInfo_->Block();
    change(*appInfo_);
    if (appInfo_->Block() != before)
        Changed();
}

void TJFILE::SetSortField(int k, int f)
{
    ChangeBlock([&](TAppInfo& info) { info.SetSortField(k, uint16_t(f)); });
}

void TJFILE::SetFindField(int f)
{
    ChangeBlock([&](TAppInfo& info) { info.SetFindField(uint16_t(f)); });
}

void TJFILE::SetFindText(const std::string& text)
{
    ChangeBlock([&](TAppInfo& info) { info.SetFindText(text); });
}

void TJFILE::SetFilterField(int f)
{
    ChangeBlock([&](TAppInfo& info) { info.SetFilterField(uint16_t(f)); });
}

void TJFILE::SetFilterText(const std::string& text)
{
    ChangeBlock([&](TAppInfo& info) { info.SetFilterText(text); });
}

void TJFILE::SetFirstColumn(int f)
{
    ChangeBlock([&](TAppInfo& info) { info.SetFirstColumn(uint16_t(f)); });
}

void TJFILE::SetDisplayWidth(int w)
{
    ChangeBlock([&](TAppInfo& info) { info.SetDisplayWidth(uint16_t(w)); });
}

void TJFILE::SetCategoryAndReadOnly(int category, bool readOnly)
{
    category &= 0xF;
    if (Facts(layout_).HeaderFlags) {
        const uint16_t version = uint16_t((PdbHeader.Version & 0x0BFF) | (category << 12) | (readOnly ? 0x0400 : 0));
        if (version == PdbHeader.Version)
            return;
        PdbHeader.Version = version;
        Changed();
    } else {
        ChangeBlock([&](TAppInfo& info) {
            info.SetFlags(uint16_t((info.GetFlags() & 0x0FFD) | (category << 12) | (readOnly ? 2 : 0)));
        });
    }
}

int TJFILE::MaxFields() const
{
    return appInfo_ ? appInfo_->MaxFields() : 0;
}

// --- Extras of the 5.x layouts --------------------------------------------

std::string TJFILE::GetDefault(int f) const
{
    if (!Facts(layout_).SavedSettings || f < 1 || f > kMaxSlots)
        return {};
    return defaults_[size_t(f - 1)];
}

void TJFILE::SetDefault(int f, const std::string& text)
{
    if (!Facts(layout_).SavedSettings || f < 1 || f > kMaxSlots || defaults_[size_t(f - 1)] == text)
        return;
    defaults_[size_t(f - 1)] = text;
    Changed();
}

std::string TJFILE::GetSavedSortName(int s) const
{
    if (!Facts(layout_).SavedSettings || s < 1 || s > 5)
        return {};
    return savedSorts_[size_t(s - 1)].Name;
}

int TJFILE::GetSavedSortField(int s, int k) const
{
    if (!Facts(layout_).SavedSettings || s < 1 || s > 5 || k < 1 || k > 3)
        return 0;
    return savedSorts_[size_t(s - 1)].Fields[size_t(k - 1)];
}

void TJFILE::SetSavedSort(int s, const std::string& name, const std::array<uint16_t, 3>& fields)
{
    if (!Facts(layout_).SavedSettings || s < 1 || s > 5)
        return;
    TSavedSort& sort = savedSorts_[size_t(s - 1)];
    if (sort.Name == name && sort.Fields == fields)
        return;
    sort.Name = name.substr(0, 255);
    sort.Fields = fields;
    Changed();
}

FilterRec TJFILE::GetFilter(int s) const
{
    if (!Facts(layout_).SavedSettings || s < 1 || s > 5)
        return {};
    return filters_[size_t(s - 1)];
}

void TJFILE::SetFilter(int s, const FilterRec& rec)
{
    if (!Facts(layout_).SavedSettings || s < 1 || s > 5 || filters_[size_t(s - 1)] == rec)
        return;
    filters_[size_t(s - 1)] = rec;
    Changed();
}

}  // namespace quorvil
