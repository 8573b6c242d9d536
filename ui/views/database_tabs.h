#pragma once
// The eight database tabs: opening a file into a tab, closing, saving, the
// save prompt and the column widths kept per database title. A tab is shown
// exactly while it holds a database; tab k is slot k.
#include "database.h"
#include "define_dialog.h"

#include <QTabWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorvil {

class TDatabasePage;
class TIniFile;
class TProgressLine;

// Why a file open in tab `tab` (from 0) cannot be written over from another.
QString OpenInTabMessage(const std::string& path, int tab);

class TDatabaseTabs : public QTabWidget {
    Q_OBJECT
public:
    static constexpr int kTabs = 8;

    explicit TDatabaseTabs(QWidget* parent = nullptr);
    ~TDatabaseTabs() override;

    // The active tab (0 when none is active) and its database (or null).
    int CurrentTab() const;
    TDataBase* CurrentDB() const;
    TDataBase* DataBase(int tab) const;
    TDatabasePage* Page(int tab) const;
    bool TabShown(int tab) const;
    int OpenCount() const;

    // Loading and saving show their progress there (null: nowhere).
    void SetProgressLine(TProgressLine* line) { progress_ = line; }
    // The save-as command of the active tab, offered where a save would
    // harm the file; true when it wrote a copy.
    void SetSaveAs(std::function<bool()> saveAs) { saveAs_ = std::move(saveAs); }

    // The tab a database opens in, by the one rule for every way one comes
    // in: the lowest free tab; with all eight in use the active tab, once
    // its unsaved changes are saved or discarded as the user says
    // (AskReplace). -1 when the user keeps them, or when `activeSpared`
    // (the active tab holds a database the same request opened).
    int TabForDatabase(bool activeSpared = false);
    // The tab whose database was read from `path` (the same file under any
    // name), -1 when none.
    int TabOfFile(const std::string& path) const;
    // Opens `path` (a full path) into `tab`; a free tab is shown and made
    // active before the file is read. On failure the exception passes
    // on; a database the file was to replace stays, a free tab is hidden
    // again and the nearest shown tab below it becomes active. The same
    // happens, with false and a word in the status line, when the user
    // cancels the loading.
    bool LoadDatabase(int tab, const std::string& path);
    // Creates the database file `path` in `tab` from `definition` with one
    // record of default values, shows the tab and makes it active. On failure
    // the tab is hidden again and the exception passes on.
    void NewDatabase(int tab, const std::string& path, const TDatabaseDefinition& definition);
    // The same with the contents `fill` gives the new database.
    void NewDatabaseFrom(int tab, const std::string& path, const std::function<void(TDataBase&)>& fill);
    // Closes the active tab after the save prompt. False when the user kept it.
    bool CloseCurrentTab();
    // True when the tab may be discarded (saved, not changed, or "No").
    bool AskSave(int tab);
    // AskSave for a tab whose database a file is about to replace: Save,
    // Discard or Cancel.
    bool AskReplace(int tab);
    // Asks for the title and writes the file; false when cancelled or failed.
    // A database whose file is read-only is not saved: the message points
    // to Save as. One whose file opened damaged is saved over it only when
    // the user says so; Save as instead gives true when it wrote a copy. A
    // file another program changed since it was read or saved here is
    // written over only when the user says so.
    bool SaveDatabase(int tab);
    // Reads the tab's file again into the same tab, at the same record and
    // column where it still has them; its changes and undo history go. On
    // failure the exception passes on and the database stays as it was;
    // false when the user cancelled the loading.
    bool ReloadDatabase(int tab);
    // Stores the tab's column widths under the database's title.
    void SaveColumnWidths(int tab, TIniFile* ini = nullptr);
    // Shows or hides the filter row of a tab's grid and remembers the choice
    // for the database's title, for the next time it is opened.
    void SetFilterRow(int tab, bool visible);
    // "*" before the file name of each tab whose database has unsaved changes.
    void ShowModifiedMarks();
    // Shows the tab's database in character set `set` and remembers the
    // choice under its title; no byte changes, and the database stays as
    // modified as it was (tab_charset.cpp).
    void SetCharset(int tab, TCharset set);
    // The set the tab's texts seem to be written in, offered after an open
    // with no remembered choice; none when there is no suggestion.
    std::optional<TCharset> SuggestedCharset(int tab) const;

signals:
    // The file at `path` was read; the recent list takes it.
    void DatabaseOpened(const std::string& path);
    // Progress of long work, for the status line ("" when done).
    void StatusText(const QString& text);
    // The last shown tab was closed.
    void LastTabClosed();
    // The active tab or what it shows changed.
    void ActiveChanged();
    // A tab's filter row put its result into the views.
    void FilterApplied(int tab);

private:
    // Puts the database read from `path` into the tab in place of any other.
    void OpenSteps(int tab, const std::string& path, std::unique_ptr<TDataBase> opened);
    // Frees the tab's database and closes its file; a file New made that the
    // user never saved is removed.
    void ReleaseDatabase(int tab);
    // The question for a modified database whose file is read-only: its
    // changes can only go (true) or stay open for Save as (false).
    bool AskDiscardReadOnly(int tab);
    // Before a save: true when the file is still the one read or saved
    // here, or the user chose to write over another program's version.
    bool AskSaveOverOutsideChange(int tab);
    // The answer of AskSave and AskReplace where no save question is due:
    // nothing to lose (true), or a read-only file's changes; empty otherwise.
    std::optional<bool> AnswerWithoutSaving(int tab);
    void ShowInTab(int tab, TDataBase& db, const std::string& path, const std::string& storedWidths, bool filterRow);
    // The set remembered for the database's title, else Windows-1252 and the
    // guess as a suggestion.
    void TakeRememberedCharset(int tab, TDataBase& db, const TIniFile& ini);
    // The question before a damaged file is saved over: empty to go on with
    // the save, else the result of SaveDatabase.
    std::optional<bool> AskReplaceDamaged(int tab);
    // True when the user had the popup lists fixed.
    bool CheckPopups(TDataBase& db);
    void HideFailedTab(int tab);
    void PageControlChanging(int oldTab);
    void PageControlChange(int newTab);

    std::array<std::unique_ptr<TDataBase>, kTabs> dataBases_;
    std::array<TDatabasePage*, kTabs> pages_{};
    std::array<QString, kTabs> captions_;  // the tab texts without the mark
    std::array<std::optional<TCharset>, kTabs> suggested_;
    int dbidField_ = 0;
    int lastTab_ = -1;
    TProgressLine* progress_ = nullptr;
    std::function<bool()> saveAs_;
    bool switching_ = false;
};

}  // namespace quorvil
