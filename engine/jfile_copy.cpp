// A database copied in memory, for commands that convert or change a copy
// while the open database stays as it is; and its definition copied apart,
// for the undo of a definition change.
#include "jfile.h"

#include "errors.h"

namespace quorvil {

namespace {

std::array<std::unique_ptr<TDATA>, kMaxSlots> CopyLists(const std::array<std::unique_ptr<TDATA>, kMaxSlots>& lists)
{
    std::array<std::unique_ptr<TDATA>, kMaxSlots> copy;
    for (size_t f = 0; f < lists.size(); ++f)
        if (lists[f])
            copy[f] = std::make_unique<TDATA>(*lists[f]);
    return copy;
}

}  // namespace

// `chosen` null: every record.
std::unique_ptr<TJFILE> TJFILE::CopyOf(const TJFILE& db, const std::vector<int>* chosen, TRecordCopy records)
{
    auto copy = std::make_unique<TJFILE>();
    copy->PdbHeader = db.PdbHeader;
    copy->RecordList = db.RecordList;
    copy->FileName = db.FileName;
    // The copy is written as a file of its own, which starts with the database.
    copy->BaseOffset = 0;
    if (db.appInfo_)
        copy->appInfo_ = db.appInfo_->Clone();
    if (chosen) {
        copy->RecordList.clear();
        copy->RecordList.reserve(chosen->size());
        copy->records_.reserve(chosen->size());
        for (int r : *chosen) {
            if (r < 1 || r > db.RecordCount())
                throw ERangeError(FormatMessage("Copy: Record index out of range (%d)", r));
            const TDATA& record = db.records_[size_t(r - 1)];
            copy->records_.push_back(records == TRecordCopy::Own ? record : TDATA::Borrowed(record));
            copy->RecordList.push_back(db.RecordList[size_t(r - 1)]);
        }
        copy->PdbHeader.RecordCount = uint16_t(chosen->size());
    } else if (records == TRecordCopy::Own) {
        copy->records_ = db.records_;
    } else {
        copy->records_.reserve(db.records_.size());
        for (const TDATA& record : db.records_)
            copy->records_.push_back(TDATA::Borrowed(record));
    }
    copy->popupLists_ = CopyLists(db.popupLists_);
    copy->savedSorts_ = db.savedSorts_;
    copy->defaults_ = db.defaults_;
    copy->filters_ = db.filters_;
    copy->modified_ = db.modified_;
    copy->layout_ = db.layout_;
    copy->trueText_ = db.trueText_;
    copy->falseText_ = db.falseText_;
    copy->loaded_ = db.loaded_;
    copy->charset_ = db.charset_;
    return copy;
}

std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, TRecordCopy records)
{
    return TJFILE::CopyOf(db, nullptr, records);
}

std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, const std::vector<int>& records, TRecordCopy copy)
{
    return TJFILE::CopyOf(db, &records, copy);
}

TDefinitionSnapshot TJFILE::Definition() const
{
    return {appInfo_ ? appInfo_->Clone() : nullptr, CopyLists(popupLists_), savedSorts_, defaults_, filters_};
}

bool TJFILE::HoldsDefinition(const TDefinitionSnapshot& snapshot) const
{
    if (bool(snapshot.AppInfo) != bool(appInfo_) || (appInfo_ && snapshot.AppInfo->Block() != appInfo_->Block()))
        return false;
    for (size_t f = 0; f < popupLists_.size(); ++f)
        for (int i = 1; i <= kMaxSlots; ++i)
            if ((snapshot.PopupLists[f] ? snapshot.PopupLists[f]->Field(i) : std::string_view()) !=
                (popupLists_[f] ? popupLists_[f]->Field(i) : std::string_view()))
                return false;
    for (size_t s = 0; s < savedSorts_.size(); ++s)
        if (snapshot.SavedSorts[s].Fields != savedSorts_[s].Fields ||
            snapshot.SavedSorts[s].Name != savedSorts_[s].Name)
            return false;
    return snapshot.Defaults == defaults_ && snapshot.Filters == filters_;
}

void TJFILE::SwapDefinition(TDefinitionSnapshot& snapshot)
{
    std::swap(snapshot.AppInfo, appInfo_);
    std::swap(snapshot.PopupLists, popupLists_);
    std::swap(snapshot.SavedSorts, savedSorts_);
    std::swap(snapshot.Defaults, defaults_);
    std::swap(snapshot.Filters, filters_);
    Changed();
}

}  // namespace quorvil
