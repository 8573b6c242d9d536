#include "database_tabs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "command_guard.h"
#include "config_settings.h"
#include "config_store.h"
#include "database_model.h"
#include "database_page.h"
#include "errors.h"
#include "extended_grid.h"
#include "field_definition.h"
#include "field_types.h"
#include "file_system.h"
#include "input_dialog.h"
#include "message_dialog.h"
#include "new_record.h"
#include "open_checks.h"
#include "progress_line.h"
#include "record_panel.h"
#include "report_dialog.h"
#include "tab_choice.h"
#include "text_convert.h"

#include <QApplication>
#include <QFileInfo>
#include <QScrollBar>
#include <QStringList>
#include <QTabBar>

namespace quorvil {

namespace {

// Clears the status line when long work ends, also by an exception.
class StatusScope {
public:
    explicit StatusScope(TDatabaseTabs& tabs) : tabs_(tabs) {}
    ~StatusScope() { emit tabs_.StatusText(QString()); }
    StatusScope(const StatusScope&) = delete;
    StatusScope& operator=(const StatusScope&) = delete;

private:
    TDatabaseTabs& tabs_;
};

const char* const kUseSaveAs = "Use Save as to write the database to another file.";

QString EscapeMnemonics(QString text)
{
    return text.replace(QLatin1Char('&'), FromUtf8("&&"));
}

// Where the user is in a page: the record, the grid's column and how far
// the grid is scrolled.
struct TPagePlace {
    int Record = 0;
    int Column = 0;
    int Scroll = 0;
};

TPagePlace PlaceOf(const TDatabasePage& page)
{
    TPagePlace place;
    if (!page.GridVisible()) {
        place.Record = page.EditPanel()->CurrentRecord();
        return place;
    }
    const QModelIndex current = page.Grid()->currentIndex();
    place.Record = current.isValid() ? page.Model()->RecordOfRow(current.row()) : 0;
    place.Column = std::max(current.column(), 0);
    place.Scroll = page.Grid()->verticalScrollBar()->value();
    return place;
}

// The same record number (the last one, when there are fewer now).
void GoTo(TDatabasePage& page, const TPagePlace& place)
{
    const TDataBase* db = page.DataBase();
    if (!db || place.Record < 1 || db->RecordCount() == 0)
        return;
    const int row = page.Model()->RowOfRecord(std::min(place.Record, int(db->RecordCount())));
    page.ShowRow(row, place.Column);
    if (row >= 0 && page.GridVisible())
        page.Grid()->verticalScrollBar()->setValue(place.Scroll);
}

}  // namespace

QString OpenInTabMessage(const std::string& path, int tab)
{
    return FromUtf8("\"") + PathToQString(path) +
           FromUtf8("\" is open in tab %1. Close it there first, or choose another name.").arg(tab + 1);
}

TDatabaseTabs::TDatabaseTabs(QWidget* parent) : QTabWidget(parent)
{
    setObjectName(FromUtf8("PageControl"));
    setDocumentMode(true);
    for (int tab = 0; tab < kTabs; ++tab) {
        pages_[size_t(tab)] = new TDatabasePage(tab, this);
        pages_[size_t(tab)]->setObjectName(FromUtf8("TabSheet%1").arg(tab));
        addTab(pages_[size_t(tab)], QString());
        setTabVisible(tab, false);
        // The status line counts records and shows the modified flag.
        connect(pages_[size_t(tab)], &TDatabasePage::DatabaseEdited, this, &TDatabaseTabs::ActiveChanged);
        connect(pages_[size_t(tab)], &TDatabasePage::FilterApplied, this, [this, tab] { emit FilterApplied(tab); });
    }
    lastTab_ = currentIndex();
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == lastTab_)
            return;
        if (lastTab_ >= 0)
            PageControlChanging(lastTab_);
        lastTab_ = index;
        if (index >= 0)
            PageControlChange(index);
    });
}

TDatabaseTabs::~TDatabaseTabs()
{
    for (int tab = 0; tab < kTabs; ++tab)
        ReleaseDatabase(tab);
}

void TDatabaseTabs::ReleaseDatabase(int tab)
{
    // The page shows the database, so it lets go first.
    pages_[size_t(tab)]->SetDatabase(nullptr);
    suggested_[size_t(tab)].reset();
    std::unique_ptr<TDataBase> db = std::move(dataBases_[size_t(tab)]);
    if (!db)
        return;
    // A new database the user chose not to keep leaves no file behind, but
    // a file that has taken its place stays.
    const bool remove = db->CreatedFile && db->Stream() && db->Stream()->IsFileAt(db->FileName);
    const std::string path = db->FileName;
    db.reset();  // closes the file and frees its lock
    std::error_code ignored;
    if (remove)
        std::filesystem::remove(path, ignored);
}

int TDatabaseTabs::CurrentTab() const
{
    return currentIndex() < 0 ? 0 : currentIndex();
}

TDataBase* TDatabaseTabs::CurrentDB() const
{
    return DataBase(CurrentTab());
}

TDataBase* TDatabaseTabs::DataBase(int tab) const
{
    return tab >= 0 && tab < kTabs ? dataBases_[size_t(tab)].get() : nullptr;
}

TDatabasePage* TDatabaseTabs::Page(int tab) const
{
    return tab >= 0 && tab < kTabs ? pages_[size_t(tab)] : nullptr;
}

bool TDatabaseTabs::TabShown(int tab) const
{
    return tab >= 0 && tab < kTabs && isTabVisible(tab);
}

int TDatabaseTabs::OpenCount() const
{
    int count = 0;
    for (int tab = 0; tab < kTabs; ++tab)
        count += TabShown(tab) && DataBase(tab) ? 1 : 0;
    return count;
}

int TDatabaseTabs::TabForDatabase(bool activeSpared)
{
    std::vector<bool> inUse(kTabs);
    for (int tab = 0; tab < kTabs; ++tab)
        inUse[size_t(tab)] = TabShown(tab) && DataBase(tab);
    const TTabChoice choice = ChooseTab(inUse, CurrentTab(), activeSpared);
    if (choice.Replaces && !AskReplace(choice.Tab))
        return -1;
    return choice.Tab;
}

int TDatabaseTabs::TabOfFile(const std::string& path) const
{
    for (int tab = 0; tab < kTabs; ++tab) {
        const TDataBase* db = DataBase(tab);
        std::error_code ec;
        if (db && TabShown(tab) && (db->FileName == path || std::filesystem::equivalent(db->FileName, path, ec)))
            return tab;
    }
    return -1;
}

bool TDatabaseTabs::LoadDatabase(int tab, const std::string& path)
{
    if (!dataBases_[size_t(tab)]) {
        setTabVisible(tab, true);
        setCurrentIndex(tab);
    }
    std::unique_ptr<TDataBase> opened;
    try {
        StatusScope status(*this);
        TProgressLine::TRun run(progress_, true);
        emit StatusText(FromUtf8("Loading..."));
        opened = Open<TDataBase>(path, [this](const std::string& text) { emit StatusText(MessageText(text.c_str())); });
    } catch (const ECancelled&) {
        if (!dataBases_[size_t(tab)])
            HideFailedTab(tab);
        emit StatusText(FromUtf8("Opening %1 cancelled.").arg(QFileInfo(PathToQString(path)).fileName()));
        return false;
    } catch (...) {
        // A database the file was to replace stays where it is; a tab made
        // visible for the file goes again.
        if (!dataBases_[size_t(tab)])
            HideFailedTab(tab);
        throw;
    }
    try {
        OpenSteps(tab, path, std::move(opened));
    } catch (...) {
        HideFailedTab(tab);
        throw;
    }
    return true;
}

void TDatabaseTabs::OpenSteps(int tab, const std::string& path, std::unique_ptr<TDataBase> opened)
{
    ReleaseDatabase(tab);  // the callers asked about its changes
    auto& slot = dataBases_[size_t(tab)];
    slot = std::move(opened);
    TDataBase& db = *slot;
    emit DatabaseOpened(path);
    // What could be read is shown; the user decides whether a damaged file
    // is saved over.
    if (!db.LoadWarning().empty())
        ShowWarning(MessageText(db.LoadWarning().c_str()));

    dbidField_ = FindDbidField(db);
    MakeCounterField(db);
    const bool fixed = CheckPopups(db);
    ApplyCurrencyRule(db);
    // The rules above change how a file is shown, and they apply again at
    // every open: a file that cannot be saved is not left "modified" by them.
    if (db.ReadOnlyFile() && !fixed)
        db.ClearModified();

    const std::unique_ptr<TIniFile> ini = OpenConfig();
    WriteText(*ini, settings::LastDatabase, path);
    TakeRememberedCharset(tab, db, *ini);
    ShowInTab(tab, db, path, ReadText(*ini, settings::ColumnWidths, {.Section = db.PdbHeader.Name}),
              ReadFlag(*ini, settings::FilterRow, {.Section = db.PdbHeader.Name}));
}

void TDatabaseTabs::ShowInTab(int tab, TDataBase& db, const std::string& path, const std::string& widths,
                              bool filterRow)
{
    TDatabasePage* page = pages_[size_t(tab)];
    page->SetDatabase(&db);
    page->SetFilterRowVisible(filterRow);
    page->EditPanel()->SetDbidField(dbidField_);
    std::vector<int> columnWidths = ParseColumnWidths(widths, db.FieldCount());
    // Never shown before: start from the widths the database keeps for the
    // handheld (scaled for desktop fonts), so a first look does not cut
    // every text short.
    if (widths.empty())
        for (int f = 1; f <= db.FieldCount(); ++f)
            columnWidths.push_back(std::clamp(std::abs(db.GetColumnWidth(f)) * 3 / 2, 48, 320));
    page->SetColumnWidths(columnWidths);
    page->RefreshView();  // after the stored widths, so List columns stay narrow

    QString caption = EscapeMnemonics(PathToQString(TabCaption(path)));
    QString tip = PathToQString(path);
    if (db.ReadOnlyFile()) {
        caption += FromUtf8(" (read-only)");
        tip += FromUtf8("\nRead-only: the file can be viewed, searched and exported, not changed.");
    }
    captions_[size_t(tab)] = caption;
    setTabText(tab, caption);
    ShowModifiedMarks();
    setTabToolTip(tab, tip);
    setTabVisible(tab, true);
    emit ActiveChanged();
}

void TDatabaseTabs::ShowModifiedMarks()
{
    for (int tab = 0; tab < kTabs; ++tab) {
        const TDataBase* db = DataBase(tab);
        const QString text = (db && db->Modified() ? FromUtf8("*") : QString()) + captions_[size_t(tab)];
        if (TabShown(tab) && tabText(tab) != text)
            setTabText(tab, text);
    }
}

void TDatabaseTabs::NewDatabase(int tab, const std::string& path, const TDatabaseDefinition& definition)
{
    NewDatabaseFrom(tab, path, [&](TDataBase& db) {
        db.ConvertLayout(definition.Layout);
        db.SetCharset(definition.Charset);
        WriteDefinition(db, definition.Fields);
        AppendDefaultRecord(db, LocalNow());
    });
}

void TDatabaseTabs::NewDatabaseFrom(int tab, const std::string& path, const std::function<void(TDataBase&)>& fill)
{
    try {
        auto& slot = dataBases_[size_t(tab)];
        ReleaseDatabase(tab);
        const bool existed = FileExists(path);
        slot = CreateNew<TDataBase>(path,
                                    [this](const std::string& text) { emit StatusText(MessageText(text.c_str())); });
        TDataBase& db = *slot;
        db.CreatedFile = !existed;
        fill(db);
        if (db.CreatedFile) {
            // The file holds a whole database from the start, never 0 bytes;
            // it stays unsaved for the user until they save it.
            db.SaveWithName(db.PdbHeader.Name);
            db.SetModified();
        }
        dbidField_ = FindDbidField(db);
        setTabVisible(tab, true);
        setCurrentIndex(tab);
        ShowInTab(tab, db, path, std::string(), false);
    } catch (...) {
        HideFailedTab(tab);
        throw;
    }
}

bool TDatabaseTabs::CheckPopups(TDataBase& db)
{
    const std::vector<std::string> report = CheckPopupValues(db);
    if (report.empty())
        return false;
    const TMsgButton answer = MessageDlgButtons(FromUtf8("Inconsistent database! Invalid values found in PopUp field!"),
                                                TMsgKind::Warning,
                                                {TMsgButton::Ignore, TMsgButton::Fix, TMsgButton::Details}, kNoDefault);
    if (answer == TMsgButton::Fix) {
        FixPopupValues(db);
        return true;
    }
    if (answer == TMsgButton::Details) {
        QStringList lines;
        for (const std::string& line : report)
            lines << ToQString(line, db.Charset());
        if (ShowReport(lines)) {
            FixPopupValues(db);
            return true;
        }
    }
    return false;
}

void TDatabaseTabs::HideFailedTab(int tab)
{
    // A database half set up is of no use in a hidden tab; its file is let go.
    ReleaseDatabase(tab);
    setTabVisible(tab, false);
    for (int step = 1; step <= kTabs; ++step) {
        const int below = (tab - step + kTabs) % kTabs;
        if (TabShown(below)) {
            setCurrentIndex(below);
            break;
        }
    }
    emit ActiveChanged();
}

bool TDatabaseTabs::CloseCurrentTab()
{
    const int tab = CurrentTab();
    if (!AskSave(tab))
        return false;
    SaveColumnWidths(tab);
    ReleaseDatabase(tab);
    int other = -1;
    for (int k = 0; k < kTabs && other < 0; ++k)
        if (k != tab && TabShown(k))
            other = k;
    if (other < 0) {
        setTabVisible(tab, false);
        emit ActiveChanged();
        emit LastTabClosed();
        return true;
    }
    setCurrentIndex(other);
    setTabVisible(tab, false);
    PageControlChange(other);
    return true;
}

std::optional<bool> TDatabaseTabs::AnswerWithoutSaving(int tab)
{
    const TDataBase* db = DataBase(tab);
    if (!db || !db->Modified() || !TabShown(tab))
        return true;
    if (db->ReadOnlyFile())
        return AskDiscardReadOnly(tab);
    return std::nullopt;
}

bool TDatabaseTabs::AskSave(int tab)
{
    if (const std::optional<bool> answered = AnswerWithoutSaving(tab))
        return *answered;
    const TDataBase* db = DataBase(tab);
    const TMsgButton answer = MessageDlgButtons(
        FromUtf8("Save edited database?\r\n(") + PathToQString(db->FileName) + FromUtf8(")"), TMsgKind::Confirmation,
        {TMsgButton::Yes, TMsgButton::No, TMsgButton::Cancel}, kNoDefault);
    if (answer == TMsgButton::Yes)
        return SaveDatabase(tab);
    return answer == TMsgButton::No;
}

bool TDatabaseTabs::AskReplace(int tab)
{
    if (const std::optional<bool> answered = AnswerWithoutSaving(tab))
        return *answered;
    const TDataBase* db = DataBase(tab);
    const TMsgButton answer = MessageDlgButtons(
        FromUtf8("All eight tabs are in use: the file opens in place of\r\n") + PathToQString(db->FileName) +
            FromUtf8("\r\nwhose changes are not saved. Save them first?"),
        TMsgKind::Confirmation, {TMsgButton::Save, TMsgButton::Discard, TMsgButton::Cancel}, TMsgButton::Save);
    if (answer == TMsgButton::Save)
        return SaveDatabase(tab);
    return answer == TMsgButton::Discard;
}

bool TDatabaseTabs::AskDiscardReadOnly(int tab)
{
    return AskYesNo(FromUtf8("The changes to this database cannot be saved: its file is read-only.\r\n(") +
                        PathToQString(DataBase(tab)->FileName) +
                        FromUtf8(")\r\nLet them go? (Save as keeps them in another file.)"),
                    TMsgButton::No);
}

bool TDatabaseTabs::SaveDatabase(int tab)
{
    TDataBase* db = DataBase(tab);
    if (!db)
        return false;
    if (db->ReadOnlyFile()) {
        ShowError(MessageText(ReadOnlyFileMessage(db->FileName).c_str()) + FromUtf8(" ") + FromUtf8(kUseSaveAs));
        return false;
    }
    if (const std::optional<bool> answered = AskReplaceDamaged(tab))
        return *answered;
    QString title = ToQString(db->PdbHeader.Name, db->Charset());
    std::string titleBytes;
    if (!InputBytes(FromUtf8("Database Title"), title, 31, db->Charset(), titleBytes))
        return false;
    // Asked last, so that a change made while the title was typed counts too.
    if (!AskSaveOverOutsideChange(tab))
        return false;
    const QString name = QFileInfo(PathToQString(db->FileName)).fileName();
    try {
        TProgressLine::TRun run(progress_, true);
        db->SaveWithName(titleBytes);
    } catch (const ECancelled&) {
        emit StatusText(FromUtf8("Saving cancelled; %1 is as it was.").arg(name));
        return false;
    } catch (const std::exception& e) {
        // A failed write keeps the database open and says why.
        ShowError(FileErrorText(db->FileName, e.what()));
        return false;
    }
    db->CreatedFile = false;
    // The set chosen goes with a new title, as people see the same texts.
    if (db->Charset() != TCharset::Windows1252)
        WriteText(*OpenConfig(), settings::Charset, std::string(CharsetName(db->Charset())),
                  {.Section = db->PdbHeader.Name});
    pages_[size_t(tab)]->MarkSaved();
    emit ActiveChanged();
    emit StatusText(FromUtf8("Saved %1").arg(name));
    return true;
}

std::optional<bool> TDatabaseTabs::AskReplaceDamaged(int tab)
{
    const TDataBase& db = *DataBase(tab);
    const std::string question = ReplaceDamagedQuestion(db.FileName, db.LoadDamage(), db.Layout());
    if (question.empty())
        return std::nullopt;
    // What could not be read is still in the file: keeping it is the default.
    const TMsgButton answer = MessageDlgButtons(MessageText(question.c_str()), TMsgKind::Warning,
                                                {TMsgButton::SaveAs, TMsgButton::Replace, TMsgButton::Cancel},
                                                TMsgButton::SaveAs);
    if (answer == TMsgButton::Replace)
        return std::nullopt;
    if (answer != TMsgButton::SaveAs || !saveAs_)
        return false;
    setCurrentIndex(tab);
    return saveAs_();
}

bool TDatabaseTabs::AskSaveOverOutsideChange(int tab)
{
    const TDataBase* db = DataBase(tab);
    const TOutsideChange change = db->OutsideChange();
    // A file that is gone loses nothing by being written again.
    if (change == TOutsideChange::None || change == TOutsideChange::Removed)
        return true;
    const TMsgButton answer = MessageDlgButtons(
        PathToQString(db->FileName) +
            FromUtf8("\r\nwas changed by another program after it was opened or saved here. Saving writes this "
                     "tab's version over it, and the other program's changes are lost.\r\nSave over it anyway? "
                     "(Save as keeps both versions.)"),
        TMsgKind::Warning, {TMsgButton::SaveOverIt, TMsgButton::Cancel}, TMsgButton::Cancel);
    return answer == TMsgButton::SaveOverIt;
}

bool TDatabaseTabs::ReloadDatabase(int tab)
{
    TDataBase* db = DataBase(tab);
    if (!db)
        return false;
    const std::string path = db->FileName;
    const TPagePlace place = PlaceOf(*pages_[size_t(tab)]);
    SaveColumnWidths(tab);
    // A file rewritten in place is the one the database holds locked, and
    // the lock admits no second open, not even this program's.
    db->AttachStream(nullptr);
    const auto keepOld = [&] {
        try {
            db->AttachStream(std::make_unique<TFileStream>(path, TFileStream::Mode::OpenExisting));
        } catch (const std::exception&) {
            // Without its file the database can still go through Save as.
        }
    };
    try {
        if (LoadDatabase(tab, path)) {
            GoTo(*pages_[size_t(tab)], place);
            return true;
        }
    } catch (...) {
        if (DataBase(tab) == db)
            keepOld();
        throw;
    }
    keepOld();
    return false;
}

void TDatabaseTabs::SaveColumnWidths(int tab, TIniFile* ini)
{
    const TDataBase* db = DataBase(tab);
    if (!db || !TabShown(tab))
        return;
    std::vector<int> widths = pages_[size_t(tab)]->ColumnWidths();
    widths.resize(size_t(db->FieldCount()));
    std::unique_ptr<TIniFile> own;
    if (!ini) {
        own = OpenConfig();
        ini = own.get();
    }
    WriteText(*ini, settings::ColumnWidths, JoinColumnWidths(widths), {.Section = db->PdbHeader.Name});
}

void TDatabaseTabs::SetFilterRow(int tab, bool visible)
{
    const TDataBase* db = DataBase(tab);
    if (!db)
        return;
    pages_[size_t(tab)]->SetFilterRowVisible(visible);
    WriteFlag(*OpenConfig(), settings::FilterRow, visible, {.Section = db->PdbHeader.Name});
}

void TDatabaseTabs::PageControlChanging(int oldTab)
{
    SaveColumnWidths(oldTab);
}

void TDatabaseTabs::PageControlChange(int newTab)
{
    pages_[size_t(newTab)]->RefreshView();
    emit ActiveChanged();
}

}  // namespace quorvil
