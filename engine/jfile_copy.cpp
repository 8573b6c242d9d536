// A database copied in memory, for commands that convert or change a copy
// while the open database stays as it is.
#include "jfile.h"

namespace quorvil {

std::unique_ptr<TJFILE> CopyDatabase(const TJFILE& db)
{
    auto copy = std::make_unique<TJFILE>();
    copy->PdbHeader = db.PdbHeader;
    copy->RecordList = db.RecordList;
    copy->FileName = db.FileName;
    // The copy is written as a file of its own, which starts with the database.
    copy->BaseOffset = 0;
    if (db.AppInfo)
        copy->AppInfo = db.AppInfo->Clone();
    copy->Records = db.Records;
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

}  // namespace quorvil
