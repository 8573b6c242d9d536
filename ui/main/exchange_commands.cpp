// The main window's save-as and export commands: they collect the choices
// (file dialog, questions, fields) and hand them to the exchange layer,
// which does the work.
#include "main_window.h"

#include "config_store.h"
#include "database.h"
#include "database_tabs.h"
#include "export.h"
#include "message_dialog.h"
#include "modal.h"
#include "save_as.h"
#include "save_places.h"
#include "sort_dialog.h"
#include "sql_database.h"
#include "text_convert.h"
#include "wait_cursor.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QToolBar>

#include <filesystem>

namespace quorvil {

namespace {

// The save dialog's entries 1..4 are the four layouts; entry 5, the Access
// export's file, follows from the database driver there is.
const char* const kSaveAsFilter = "JFile 3.x|*.PDB|JFile Pro 4.x|*.PDB|JFile 5.x|*.PDB|JFile 5.5|*.PDB";
constexpr int kAccessEntry = 5;

const char* const kLayoutItems[][2] = {{"SaveAsJF3Item", "Save as JFile v3.x"},
                                       {"SaveAsJF4Item", "Save as JFile v4.x"},
                                       {"SaveAsJF5Item", "Save as JFile v5.x"},
                                       {"SaveAsJF55Item", "Save as JFile v5.5"}};

struct ExportCommand {
    TExportFormat format;
    const char* button;
    const char* text;
    const char* hint;
    const char* handler;
    const char* popUp;
    const char* item;
    const char* itemText;
};

const ExportCommand kExports[] = {
    {TExportFormat::CSV, "SaveCSV", "Export to &CSV", "Save .CSV database", "SaveCSVClick", "ExportCSVPopUp",
     "ExportToCSVasItem", "Export to CSV as..."},
    {TExportFormat::HTML, "SaveHTM", "Export to &HTML", "Save HTML table", "SaveHTMClick", "ExportHTMPopUp",
     "ExportToHTMasItem", "Export to HTML as..."},
    {TExportFormat::TXT, "SaveTXT", "Export to &TXT", "Save text file table", "SaveTXTClick", "ExportTXTPopUp",
     "ExportToTXTasItem", "Export to TXT as..."},
};

const ExportCommand& CommandOf(TExportFormat format)
{
    return kExports[static_cast<int>(format)];
}

// "CSV files|*.CSV|All Files|*.*" as the file dialog's name filters; each
// pattern also in lower case, as file names are case-sensitive here.
QStringList NameFilters(const char* filter)
{
    const QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            const QString shown = pattern == QLatin1String("*.*") ? FromUtf8("*") : pattern;
            patterns << shown;
            if (shown.toLower() != shown)
                patterns << shown.toLower();
        }
        filters << parts[i] + FromUtf8(" (") + patterns.join(QLatin1Char(' ')) + FromUtf8(")");
    }
    return filters;
}

// The save dialog as both commands use it. The question about an existing
// file is the command's own, not the dialog's.
void PrepareSaveDialog(QFileDialog& dialog, const char* filter)
{
    dialog.setObjectName(FromUtf8("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(filter));
}

// The dialog's file, completed with its directory and the extension.
std::string ChosenFile(const QFileDialog& dialog, const std::string& directory, const char* extension)
{
    if (dialog.selectedFiles().isEmpty())
        return {};
    return CompleteFileName(QStringToPath(dialog.selectedFiles().constFirst()), directory, extension);
}

TLengthAnswer AskAboutLength(const TLongValue& value)
{
    const int answer =
        MessageDlgButtons(ToQString(LongValueQuestion(value)), mtError, {mbYesToAll, mbNoToAll, mbCancel}, mbCancel);
    if (answer == mrNoToAll)
        return TLengthAnswer::TruncateAll;
    return answer == mrYesToAll ? TLengthAnswer::Truncate : TLengthAnswer::Cancel;
}

}  // namespace

void TMainForm::CreateExchangeActions()
{
    AddCommand("SaveFileAsItem", "Save &as", "SaveFileAsItemClick", [this] { SaveFileAsItemClick(1); })
        ->setShortcut(FromUtf8("Ctrl+A"));
    for (int layout = 0; layout < 4; ++layout)
        AddCommand(kLayoutItems[layout][0], kLayoutItems[layout][1], "SaveAsVerBtnClick",
                   [this, layout] { SaveAsVerBtnClick(layout); });
    for (const ExportCommand& e : kExports) {
        const TExportFormat format = e.format;
        AddCommand(e.button, e.text, e.handler, [this, format] { ExportClick(format, true); })->setToolTip(FromUtf8(e.hint));
        AddCommand(e.item, e.itemText, e.handler, [this, format] { ExportClick(format, false); });
    }
}

// The right mouse button on the save and export buttons opens their pop-up menus.
void TMainForm::CreateExchangePopUps()
{
    auto attach = [this](const char* button, const char* popUp, std::initializer_list<const char*> items) {
        auto* menu = new QMenu(this);
        menu->setObjectName(FromUtf8(popUp));
        for (const char* item : items) {
            if (FromUtf8(item) == QLatin1String("SaveAsAccessItem"))
                menu->addSeparator();
            menu->addAction(Action(item));
        }
        QWidget* widget = toolBar_->widgetForAction(Action(button));
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, menu,
                [menu, widget](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
    };
    attach("SaveBtn", "SaveAsPopUp",
           {"SaveAsJF3Item", "SaveAsJF4Item", "SaveAsJF5Item", "SaveAsJF55Item", "SaveAsAccessItem"});
    for (const ExportCommand& e : kExports)
        attach(e.button, e.popUp, {e.item});
}

void TMainForm::SaveAsVerBtnClick(int layout)
{
    // A copy is converted once the type is chosen; the item only picks the
    // dialog's first entry, and the open database is never converted.
    SaveFileAsItemClick(layout + 1);
}

void TMainForm::SaveFileAsItemClick(int entry)
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    CommitEditing();
    const std::string name = PickSaveAsFile(*db, entry);
    if (name.empty())
        return;
    if (entry == kAccessEntry) {
        SaveAsAccessItemClick(name);  // the Access export takes over; no length check runs
        return;
    }

    TSaveAs saveAs(*db, entry - 1, name);
    // Nothing is written before the user knows which fields the layout drops.
    if (const TDroppedFields& dropped = saveAs.DroppedFields(); !dropped.Empty()) {
        const QString question = ToQString(dropped.Message) + FromUtf8(".\r\nSave the other fields?");
        if (MessageDlgButtons(question, mtWarning, {mbOK, mbCancel}, mbCancel) != mrOk)
            return;
    }
    MessageTexts().Captions[mbYesToAll] = FromUtf8("Truncate");
    MessageTexts().Captions[mbNoToAll] = FromUtf8("Truncate all");
    if (!saveAs.CheckLengths(AskAboutLength))
        return;
    WaitCursor hourglass;
    saveAs.Write();
}

// The save-as dialog and the questions about the chosen name. Returns the
// name (empty when the command ends) and the chosen entry in `entry`.
std::string TMainForm::PickSaveAsFile(const TDataBase& db, int& entry)
{
    if (entry < 1 || entry > 4)
        entry = Number(db.Layout) + 1;
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    const std::string directory = SaveAsDirectory(*ini, db);
    QFileDialog dialog(this, FromUtf8("Save database as"), PathToQString(directory));
    const TSqlFileKind access = AccessFileKind();
    const std::string filter = std::string(kSaveAsFilter) + "|" + access.TypeName + "|*." + access.Extension;
    PrepareSaveDialog(dialog, filter.c_str());
    dialog.selectNameFilter(dialog.nameFilters().value(entry - 1));
    dialog.selectFile(QFileInfo(PathToQString(db.FileName)).completeBaseName());
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    entry = int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
    if (entry < 1)
        return {};
    const std::string name = ChosenFile(dialog, directory, entry == kAccessEntry ? access.Extension : "PDB");
    if (name.empty())
        return {};

    std::error_code ec;
    if (std::filesystem::equivalent(name, db.FileName, ec)) {
        MessageDlgButtons(FromUtf8("\"") + PathToQString(name) +
                              FromUtf8("\" is the file of the open database. Use Save to write it, or choose another name."),
                          mtError, {mbOK}, mbOK);
        return {};
    }
    if (RefuseOpenFile(name))
        return {};
    if (std::filesystem::exists(name, ec) &&
        MessageDlgButtons(PathToQString(OverwriteQuestion(name)), mtConfirmation, {mbYes, mbNo}, mbYes) == mrNo)
        return {};
    RememberSaveAsDirectory(*ini, name);
    return name;
}

void TMainForm::ExportClick(TExportFormat format, bool buttonPress)
{
    TDataBase* db = tabs_->CurrentDB();
    if (!db)
        return;
    CommitEditing();
    const std::vector<int> fields = ChooseExportFields(*db, Action(CommandOf(format).button)->icon());
    if (fields.empty())
        return;
    std::string name = buttonPress ? DirectExportName(*db, format, fields) : std::string();
    if (name.empty())
        name = PickExportFile(*db, format, fields);
    if (name.empty() || RefuseOpenFile(name))
        return;
    WaitCursor hourglass;
    Export(*db, format, fields, name);
}

std::string TMainForm::PickExportFile(const TDataBase& db, TExportFormat format, const std::vector<int>& fields)
{
    const TExportKind& kind = ExportKind(format);
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    const std::string directory = ExportDirectory(*ini, format);
    QFileDialog dialog(this, FromUtf8(kind.Title), PathToQString(directory));
    PrepareSaveDialog(dialog, kind.Filter);
    dialog.selectFile(PathToQString(OfferedExportName(db, format, fields)));
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    const std::string name = ChosenFile(dialog, directory, kind.Extension);
    if (!name.empty())
        RememberExportDirectory(*ini, format, name);
    return name;
}

}  // namespace quorvil
