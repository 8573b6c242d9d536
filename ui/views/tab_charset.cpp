// The character set a tab shows its database in: the choice remembered per
// database title and the suggestion after an open without one.
#include "config_settings.h"
#include "config_store.h"
#include "database_charset.h"
#include "database_page.h"
#include "database_tabs.h"
#include "text_convert.h"

namespace quorvil {

void TDatabaseTabs::TakeRememberedCharset(int tab, TDataBase& db, const TIniFile& ini)
{
    suggested_[size_t(tab)].reset();
    // Read without the default, so that a database never given a set can be
    // told from one given Windows-1252 on purpose.
    TTextSetting remembered = settings::Charset;
    remembered.Default = {};
    const std::string name = ReadText(ini, remembered, {.Section = db.PdbHeader.Name});
    if (!name.empty()) {
        db.SetCharset(CharsetByName(name).value_or(TCharset::Windows1252));
        return;
    }
    db.SetCharset(TCharset::Windows1252);
    suggested_[size_t(tab)] = GuessCharset(db);
}

std::optional<TCharset> TDatabaseTabs::SuggestedCharset(int tab) const
{
    return tab >= 0 && tab < kTabs && DataBase(tab) ? suggested_[size_t(tab)] : std::nullopt;
}

void TDatabaseTabs::SetCharset(int tab, TCharset set)
{
    TDataBase* db = DataBase(tab);
    if (!db)
        return;
    suggested_[size_t(tab)].reset();
    WriteText(*OpenConfig(), settings::Charset, std::string(CharsetName(set)), {.Section = db->PdbHeader.Name});
    if (db->Charset() != set) {
        db->SetCharset(set);
        // Titles, lists and filter boxes are all texts of the set.
        pages_[size_t(tab)]->DefinitionChanged();
    }
    emit ActiveChanged();
}

}  // namespace quorvil
