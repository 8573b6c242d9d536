#include "exchange_commands.h"

#include "access_export.h"
#include "command_context.h"
#include "config_settings.h"
#include "config_store.h"
#include "csv_options_dialog.h"
#include "database.h"
#include "database_tabs.h"
#include "export.h"
#include "file_choice.h"
#include "file_system.h"
#include "layout.h"
#include "message_dialog.h"
#include "modal.h"
#include "program_export.h"
#include "progress_line.h"
#include "save_as.h"
#include "save_places.h"
#include "sort_dialog.h"
#include "text_convert.h"
#include "wait_cursor.h"
#ifdef QUORVIL_HAVE_SQL
#include "sql_database.h"
#endif

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>
#include <optional>

namespace quorvil {

namespace {

// The save dialog's entries 1..4 are the four layouts; entry 5, the Access
// export's file, follows from the database driver there is.
constexpr int kAccessEntry = 5;

int EntryOf(TLayout layout)
{
    return Number(layout) + 1;
}

std::optional<TLayout> LayoutOfEntry(int entry)
{
    return LayoutFromNumber(entry - 1);
}

// "JFile 3.x|*.PDB|..": the layouts as the save dialog's first entries.
std::string SaveAsFilter()
{
    std::string filter;
    for (TLayout layout : kAllLayouts)
        filter += std::string(filter.empty() ? "" : "|") + Facts(layout).Name + "|*.PDB";
    return filter;
}

// By layout number.
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

struct ProgramExportCommand {
    TProgramFormat format;
    const char* item;
    const char* text;
    const char* hint;
};

// By format.
const ProgramExportCommand kProgramExports[] = {
    {TProgramFormat::XLSX, "ExportXlsxItem", "Excel &workbook (.xlsx)...",
     "Numbers, dates and truth values as the spreadsheet's own"},
    {TProgramFormat::CSV, "ExportCsvUtf8Item", "&CSV in UTF-8 (.csv)...",
     "Comma or semicolon separated, as spreadsheets and other programs read it"},
    {TProgramFormat::HTML, "ExportHtml5Item", "Web &page (.html)...", "A table any browser shows"},
    {TProgramFormat::JSON, "ExportJsonItem", "&JSON (.json)...", "Fields and records for scripts and other programs"},
};

const ExportCommand& CommandOf(TExportFormat format)
{
    return kExports[static_cast<int>(format)];
}

// False when the user keeps the popup values that the .DEF file would split.
bool MayWriteSplitPopups(const TJFILE& db, const std::vector<int>& fields)
{
    const std::string message = PopupCommaMessage(db, fields);
    if (message.empty())
        return true;
    return MessageDlgButtons(ToQString(message, db.Charset()) + FromUtf8("\r\nExport anyway?"), TMsgKind::Warning,
                             {TMsgButton::Export, TMsgButton::Cancel}, TMsgButton::Cancel) == TMsgButton::Export;
}

#ifdef QUORVIL_HAVE_SQL
constexpr bool kDatabaseExport = true;

// The chosen file, or empty when the dialog was cancelled.
std::string PickAccessFile(QWidget* parent, const TDataBase& db, const TSqlFileKind& kind)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    // Where save as starts: the two share "Dir" of "SAVE".
    const QString directory = QDir(PathToQString(SaveAsDirectory(*ini, db))).absolutePath();
    const QString extension = FromUtf8(kind.Extension);
    const bool access = extension == FromUtf8("MDB");
    QFileDialog dialog(
        parent, access ? FromUtf8("Create Access database named") : FromUtf8("Create SQLite database named"), directory,
        FromUtf8("%1 (*.%2%3);;All Files (*)")
            .arg(FromUtf8(kind.TypeName), extension, access ? QString() : FromUtf8(" *.db")));
    dialog.setObjectName(FromUtf8("SaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the command asks, as every export does
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(QFileInfo(PathToQString(db.FileName)).completeBaseName() + QLatin1Char('.') + extension);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).isRelative())
        path = directory + QLatin1Char('/') + path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + extension;
    WriteText(*ini, settings::SaveDirectory, QStringToPath(QFileInfo(path).absolutePath()));
    return QStringToPath(QFileInfo(path).absoluteFilePath());
}

// A message in the middle of long work, naming the database's fields in its
// set: the normal cursor while it shows.
void Warn(const std::string& text, TCharset set)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    ShowWarning(ToQString(text, set));
    QApplication::restoreOverrideCursor();
}
#else
// Built without Qt Sql: no database file can be written, so the command
// stays hidden and the save dialog offers the four layouts alone.
constexpr bool kDatabaseExport = false;
struct TSqlFileKind {
    const char* Extension;
    const char* TypeName;
};
TSqlFileKind AccessFileKind()
{
    return {"", ""};
}
#endif

}  // namespace

TExchangeCommands::TExchangeCommands(TCommandContext& context) : context_(context)
{
    context.AddCommand("SaveFileAsItem", "Save &as", "SaveFileAsItemClick", [this] { SaveFileAsItemClick(1); });
    for (TLayout layout : kAllLayouts)
        context.AddCommand(kLayoutItems[Number(layout)][0], kLayoutItems[Number(layout)][1], "SaveAsVerBtnClick",
                           [this, layout] { SaveAsVerBtnClick(layout); });
    for (const ExportCommand& e : kExports) {
        const TExportFormat format = e.format;
        context.AddCommand(e.button, e.text, e.handler, [this, format] { ExportClick(format, true); })
            ->setToolTip(FromUtf8(e.hint));
        context.AddCommand(e.item, e.itemText, e.handler, [this, format] { ExportClick(format, false); });
    }
    programMenu_ = new QMenu(FromUtf8("Export for other &programs"), &context.Window());
    programMenu_->setObjectName(FromUtf8("ExportProgramMenu"));
    for (const ProgramExportCommand& e : kProgramExports) {
        const TProgramFormat format = e.format;
        QAction* item = context.AddCommand(e.item, e.text, "ExportForProgramClick",
                                           [this, format] { ProgramExportClick(format); });
        item->setToolTip(FromUtf8(e.hint));
        item->setStatusTip(FromUtf8(e.hint));
        item->setVisible(ProgramFormatAvailable(format));
        programMenu_->addAction(item);
    }
    // The tool bar's button opens the same menu; the command of its own is the
    // first entry, for a key or a script that triggers it.
    QAction* programs = context.AddCommand("ExportProgramBtn", "Export for other &programs", "ExportForProgramClick",
                                           [this] { ProgramExportClick(TProgramFormat::XLSX); });
    programs->setToolTip(FromUtf8("Export for spreadsheets, browsers and other programs"));
    programs->setMenu(programMenu_);
    programMenu_->setIcon(programs->icon());
    QAction* database = context.AddCommand(
        "SaveAsAccessItem", "Save as &Access...", "SaveAsAccessItemClick", [this] { SaveAsAccessItemClick(); }, false);
    database->setToolTip(FromUtf8("Save as %1").arg(FromUtf8(AccessFileKind().TypeName)));
    database->setVisible(kDatabaseExport);
}

void TExchangeCommands::AttachPopUps(QToolBar& toolBar)
{
    auto attach = [this, &toolBar](const char* button, const char* popUp, std::initializer_list<const char*> items) {
        auto* menu = new QMenu(&context_.Window());
        menu->setObjectName(FromUtf8(popUp));
        for (const char* item : items) {
            if (FromUtf8(item) == QLatin1String("SaveAsAccessItem"))
                menu->addSeparator();
            menu->addAction(context_.Action(item));
        }
        QWidget* widget = toolBar.widgetForAction(context_.Action(button));
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, menu,
                [menu, widget](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
    };
    attach("SaveBtn", "SaveAsPopUp",
           {"SaveAsJF3Item", "SaveAsJF4Item", "SaveAsJF5Item", "SaveAsJF55Item", "SaveAsAccessItem"});
    for (const ExportCommand& e : kExports)
        attach(e.button, e.popUp, {e.item});
    if (auto* button = qobject_cast<QToolButton*>(toolBar.widgetForAction(context_.Action("ExportProgramBtn"))))
        button->setPopupMode(QToolButton::InstantPopup);
}

void TExchangeCommands::SaveAsVerBtnClick(TLayout layout)
{
    // A copy is converted once the type is chosen; the item only picks the
    // dialog's first entry, and the open database is never converted.
    SaveFileAsItemClick(EntryOf(layout));
}

bool TExchangeCommands::SaveFileAsItemClick(int entry)
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return false;
    TCommandContext::CommitEditing();
    const std::string name = PickSaveAsFile(*db, entry);
    if (name.empty())
        return false;
    if (entry == kAccessEntry) {
        SaveAsAccessItemClick(name);  // the Access export takes over; no length check runs
        return false;
    }

    const std::optional<TLayout> layout = LayoutOfEntry(entry);
    if (!layout)
        return false;
    TSaveAs saveAs(*db, *layout, name);
    // Nothing is written before the user knows all that the layout does not keep.
    if (const TLayoutLosses& losses = saveAs.Losses(); !losses.Empty())
        if (MessageDlgButtons(ToQString(losses.Question(), db->Charset()), TMsgKind::Warning,
                              {TMsgButton::OK, TMsgButton::Cancel}, TMsgButton::Cancel) != TMsgButton::OK)
            return false;
    WaitCursor hourglass;
    if (!context_.RunLong("Save as", name, true, [&] { saveAs.Write(); }))
        return false;
    context_.ShowStatus(FromUtf8("Saved %1 as %2").arg(BareName(name), FromUtf8(Facts(*layout).Name)));
    return true;
}

// The save-as dialog and the questions about the chosen name. Returns the
// name (empty when the command ends) and the chosen entry in `entry`.
std::string TExchangeCommands::PickSaveAsFile(const TDataBase& db, int& entry)
{
    if (!LayoutOfEntry(entry))
        entry = EntryOf(db.Layout());
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    const std::string directory = SaveAsDirectory(*ini, db);
    QFileDialog dialog(&context_.Window(), FromUtf8("Save database as"), PathToQString(directory));
    const TSqlFileKind access = AccessFileKind();
    const std::string filter = SaveAsFilter() +
                               (kDatabaseExport ? std::string("|") + access.TypeName + "|*." + access.Extension : "");
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
        ShowError(FromUtf8("\"") + PathToQString(name) +
                  FromUtf8("\" is the file of the open database. Use Save to write it, or choose another name."));
        return {};
    }
    if (context_.RefuseOpenFile(name))
        return {};
    if (!MayReplace(name))
        return {};
    RememberSaveAsDirectory(*ini, name);
    return name;
}

void TExchangeCommands::ExportClick(TExportFormat format, bool buttonPress)
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TCommandContext::CommitEditing();
    const auto records = context_.RecordsToWrite(FromUtf8("Export"));
    if (!records)
        return;
    const std::vector<int> fields = ChooseExportFields(*db, context_.Action(CommandOf(format).button)->icon());
    if (fields.empty() || (format == TExportFormat::CSV && !MayWriteSplitPopups(*db, fields)))
        return;
    const std::string name = ExportFileName(*db, format, fields, buttonPress);
    if (name.empty() || context_.RefuseOpenFile(name) || !MayReplace(ExportFiles(format, name)))
        return;
    WaitCursor hourglass;
    const std::unique_ptr<TJFILE> part = records->Part(*db);
    TJFILE& source = part ? *part : *db;
    if (context_.RunLong("Export", name, true, [&] { Export(source, format, fields, name); }))
        context_.ShowStatus(FromUtf8("Exported %1 to %2").arg(CountOf(source.RecordCount(), "record"), BareName(name)));
}

// A button press writes beside the database when it can; a database on a
// disk that cannot be written is still exported, to a file the user picks.
std::string TExchangeCommands::ExportFileName(const TDataBase& db, TExportFormat format, const std::vector<int>& fields,
                                              bool buttonPress)
{
    std::string offered = OfferedExportName(db, format, fields);
    const std::string direct = buttonPress ? DirectExportName(db, format, fields) : std::string();
    if (!direct.empty()) {
        if (FolderTakesFiles(direct))
            return direct;
        const std::filesystem::path path(direct);
        context_.ShowStatus(FromUtf8("The folder %1 cannot be written; choose where to export.")
                                .arg(PathToQString(path.parent_path().string())));
        offered = path.filename().string();
    }
    return PickExportFile(format, offered);
}

std::string TExchangeCommands::PickExportFile(TExportFormat format, const std::string& offered)
{
    const TExportKind& kind = ExportKind(format);
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    const std::string directory = ExportDirectory(*ini, format);
    QFileDialog dialog(&context_.Window(), FromUtf8(kind.Title), PathToQString(directory));
    PrepareSaveDialog(dialog, kind.Filter);
    dialog.selectFile(PathToQString(offered));
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    const std::string name = ChosenFile(dialog, directory, kind.Extension);
    if (!name.empty())
        RememberExportDirectory(*ini, format, name);
    return name;
}

void TExchangeCommands::ProgramExportClick(TProgramFormat format)
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db)
        return;
    TCommandContext::CommitEditing();
    const auto records = context_.RecordsToWrite(FromUtf8("Export"));
    if (!records)
        return;
    const ProgramExportCommand& command = kProgramExports[static_cast<int>(format)];
    const std::vector<int> fields = ChooseExportFields(*db, context_.Action(command.item)->icon());
    if (fields.empty())
        return;
    TStandardCsvOptions csv;
    if (format == TProgramFormat::CSV) {
        const std::unique_ptr<TIniFile> ini = OpenConfig();
        const std::optional<TStandardCsvOptions> chosen = ChooseStandardCsvOptions(StoredCsvOptions(*ini));
        if (!chosen)
            return;
        csv = *chosen;
        StoreCsvOptions(*ini, csv);
    }
    const std::string name = PickProgramExportFile(*db, format);
    if (name.empty() || context_.RefuseOpenFile(name))
        return;
    WaitCursor hourglass;
    const std::unique_ptr<TJFILE> part = records->Part(*db);
    TJFILE& source = part ? *part : *db;
    // The workbook is compressed as it closes, for seconds without a step:
    // the exports run aside, and the window answers meanwhile.
    if (context_.RunLongAside("Export", name, true, [&] { ExportForProgram(source, format, fields, csv, name); }))
        context_.ShowStatus(FromUtf8("Exported %1 to %2").arg(CountOf(source.RecordCount(), "record"), BareName(name)));
}

std::string TExchangeCommands::PickProgramExportFile(const TDataBase& db, TProgramFormat format)
{
    const TProgramFormatKind& kind = ProgramFormatKind(format);
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    const std::string directory = ProgramExportDirectory(*ini, db);
    QFileDialog dialog(&context_.Window(), FromUtf8(kind.Title), PathToQString(directory));
    PrepareSaveDialog(dialog, kind.Filter);
    dialog.selectFile(PathToQString(OfferedProgramExportName(db, format)));
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    const std::string name = ChosenFile(dialog, directory, kind.Extension);
    if (name.empty() || !MayReplace(name))
        return {};
    RememberProgramExportDirectory(*ini, name);
    return name;
}

void TExchangeCommands::SaveAsAccessItemClick(const std::string& chosenName)
{
    TDataBase* db = context_.Tabs().CurrentDB();
    if (!db || !kDatabaseExport)
        return;
#ifdef QUORVIL_HAVE_SQL
    TCommandContext::CommitEditing();
    const auto records = context_.RecordsToWrite(FromUtf8("Export"));
    if (!records)
        return;
    const std::string fileName = chosenName.empty() ? PickAccessFile(&context_.Window(), *db, AccessFileKind())
                                                    : chosenName;
    if (fileName.empty() || context_.RefuseOpenFile(fileName))
        return;
    // A file the user already has there is theirs: replaced only when they say
    // so (Save as has asked already).
    if (chosenName.empty() && !MayReplace(fileName))
        return;

    WaitCursor wait;
    TAccessEvents events;
    events.Warning = [set = db->Charset()](const std::string& text) { Warn(text, set); };
    events.Progress = [this](int record, int count) {
        // Writing the text every few hundred records keeps the export fast.
        if (record % 256 == 1 || record == count)
            context_.ShowStatus(FromUtf8("Writing record %1 of %2").arg(record).arg(count));
        return context_.Progress()->Step(record, count);
    };
    int errors = 0;
    const std::unique_ptr<TJFILE> part = records->Part(*db);
    TJFILE& source = part ? *part : *db;
    const bool done = context_.RunLong("Export", fileName, true, [&] {
        errors = ExportToAccess(
            source, fileName,
            [](const std::string& name) { return std::make_unique<TAccessDB>(CreateSqlDatabase(name)); }, events);
    });
    if (done)
        context_.ShowStatus(
            FromUtf8("Exported %1 to %2%3")
                .arg(CountOf(source.RecordCount(), "record"), BareName(fileName),
                     errors > 0 ? FromUtf8("; ") + FromUtf8(ErrorCountMessage(errors).c_str()) : QString()));
#endif
}

}  // namespace quorvil
