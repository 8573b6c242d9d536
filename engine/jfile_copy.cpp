// A database copied in memory, for commands that convert or change a copy
// while the open database stays as it is.
#include "jfile.h"

#include "errors.h"

namespace quorvil {

namespace {

// `chosen` null: every record.
std::unique_ptr<TJFILE> CopyOf(const TJFILE& db, const std::vector<int>* chosen, TRecordCopy records)
{
    auto copy = std::make_unique<TJFILE>();
    copy->PdbHeader = db.PdbHeader;
    copy->RecordList = db.RecordList;
    copy->FileName = db.FileName;
    // The copy is written as a file of its own, which starts with the database.
    copy->BaseOffset = 0;
    if (db.AppInfo)
        copy->AppInfo = db.AppInfo->Clone();
    if (chosen) {
        copy->RecordList.clear();
        copy->RecordList.reserve(chosen->size());
        copy->Records.reserve(chosen->size());
        for (int r : *chosen) {
            if (r < 1 || r > db.RecordCount())
                throw ERangeError(FormatMessage("Copy: Record index out of range (%d)", r));
            const TDATA& record = db.Records[size_t(r - 1)];
            copy->Records.push_back(records == TRecordCopy::Own ? record : TDATA::Borrowed(record));
            copy->RecordList.push_back(db.RecordList[size_t(r - 1)]);
        }
        copy->PdbHeader.RecordCount = uint16_t(chosen->size());
    } else if (records == TRecordCopy::Own) {
        copy->Records = db.Records;
    } else {
        copy->Records.reserve(db.Records.size());
        for (const TDATA& record : db.Records)
            copy->Records.push_back(TDATA::Borrowed(record));
    }
    for (size_t f = 0; f < db.PopupLists.size(); ++f)
        if (db.PopupLists[f])
            copy->PopupLists[f] = std::make_unique<TDATA>(*db.PopupLists[f]);
    copy->SavedSorts = db.SavedSorts;
    copy->Defaults = db.Defaults;
    copy->Filters = db.Filters;
    copy->Modified = db.Modified;
    copy->Layout = db.Layout;
    copy->TrueText = db.TrueText;
    copy->FalseText = db.FalseText;
    copy->Loaded = db.Loaded;
    return copy;
}

}  // namespace


std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, TRecordCopy records)
{
    return CopyOf(db, nullptr, records);
}

std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db, const std::vector<int>& records, TRecordCopy copy)
{
    return CopyOf(db, &records, copy);
}


}  // namespace quorvil
