#include "print_commands.h"

#include "command_context.h"
#include "config_store.h"
#include "database.h"
#include "database_page.h"
#include "database_tabs.h"
#include "file_choice.h"
#include "message_dialog.h"
#include "modal.h"
#include "print_options_dialog.h"
#include "print_preview.h"
#include "progress.h"
#include "progress_line.h"
#include "save_places.h"
#include "text_convert.h"
#include "wait_cursor.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace quorvil {

namespace {

QStringList FieldNames(const TJFILE& db)
{
    QStringList names;
    for (int f = 1; f <= db.FieldCount(); ++f)
        names << ToQString(db.GetFieldName(f), db.Charset());
    return names;
}

int PrintedRecords(const TJFILE& db, const TPrintSource& source)
{
    return source.Records.empty() ? db.RecordCount() : int(source.Records.size());
}

bool SamePaper(const QPageLayout& a, const QPageLayout& b)
{
    return a.pageSize().isEquivalentTo(b.pageSize()) && a.orientation() == b.orientation();
}

}  // namespace

TPrintCommands::TPrintCommands(TCommandContext& context) : context_(context)
{
    context.AddCommand("PrintItem", "P&rint...", "PrintItemClick", [this] { PrintItemClick(); })
        ->setToolTip(FromUtf8("Print the database as a table or as record cards"));
    context.AddCommand("PrintPreviewItem", "Print pre&view", "PrintPreviewItemClick",
                       [this] { PrintPreviewItemClick(); });
    context.AddCommand("ExportPdfItem", "Export as P&DF...", "ExportPdfItemClick", [this] { ExportPdfItemClick(); })
        ->setToolTip(FromUtf8("The printed pages as a PDF file"));
}

void TPrintCommands::PrintItemClick()
{
    std::optional<TJob> job = Prepare(FromUtf8("Print"));
    if (job && ChooseOptions(*job))
        Print(*job, nullptr);
}

void TPrintCommands::ExportPdfItemClick()
{
    std::optional<TJob> job = Prepare(FromUtf8("Export"));
    if (job && ChooseOptions(*job))
        ExportPdf(*job);
}

void TPrintCommands::PrintPreviewItemClick()
{
    std::optional<TJob> job = Prepare(FromUtf8("Print preview"));
    if (!job)
        return;
    auto document = std::make_unique<TPrintDocument>(*job->Db, job->Source, job->Options);
    if (!Paginate(*document, "Print preview"))
        return;
    TPrintPreview preview(*job->Db, job->Source, FieldNames(*job->Db), std::move(document), &context_.Window());
    connect(&preview, &TPrintPreview::OptionsAccepted, this, [this, &job](const TPrintOptions& options) {
        job->Options = options;
        Remember(*job);
    });
    const int outcome = ExecModal(preview);
    if (outcome == TPrintPreview::Closed)
        return;
    job->Options = preview.Options();
    Remember(*job);
    if (outcome == TPrintPreview::Print)
        Print(*job, preview.TakeDocument());
    else
        ExportPdf(*job);
}

std::optional<TPrintCommands::TJob> TPrintCommands::Prepare(const QString& caption)
{
    TDataBase* db = context_.Tabs().CurrentDB();
    const TDatabasePage* page = context_.Tabs().Page(context_.Tabs().CurrentTab());
    if (!db || !page || !TCommandContext::CommitEditing())
        return std::nullopt;
    const auto records = context_.RecordsToWrite(caption);
    if (!records)
        return std::nullopt;
    TJob job;
    job.Db = db;
    if (!records->All) {
        job.Source.Records = records->Records;
    } else if (std::vector<int> shown = page->ShownRecords(); int(shown.size()) == db->RecordCount()) {
        job.Source.Records = std::move(shown);  // the grid's order, a header sort's too
    }
    job.Source.ColumnWidths = page->ColumnWidths();
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    job.Options = ReadPrintOptions(*ini, db->PdbHeader.Name, db->FieldCount());
    return job;
}

bool TPrintCommands::ChooseOptions(TJob& job)
{
    TPrintOptionsForm form(FieldNames(*job.Db), &context_.Window());
    form.SetOptions(job.Options);
    if (!form.Execute())
        return false;
    job.Options = form.Options();
    Remember(job);
    return true;
}

void TPrintCommands::Remember(const TJob& job) const
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    if (!StorePrintOptions(*ini, job.Db->PdbHeader.Name, job.Options))
        context_.ShowStatus(
            FromUtf8("The print options could not be remembered: the settings file cannot be written."));
}

bool TPrintCommands::Paginate(TPrintDocument& document, const char* what)
{
    WaitCursor hourglass;
    try {
        TProgressLine::TRun run(context_.Progress(), true);
        context_.Progress()->RunAside([&] { document.Paginate(); });
        return true;
    } catch (const ECancelled&) {
        context_.ShowStatus(FromUtf8("%1 cancelled.").arg(FromUtf8(what)));
        return false;
    }
}

void TPrintCommands::Print(TJob& job, std::unique_ptr<TPrintDocument> document)
{
    if (!document) {
        document = std::make_unique<TPrintDocument>(*job.Db, job.Source, job.Options);
        if (!Paginate(*document, "Printing"))
            return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(BareName(job.Db->FileName));
    printer.setPageLayout(document->PageLayout());
    QPrintDialog dialog(&printer, &context_.Window());
    dialog.setObjectName(FromUtf8("PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, document->PageCount());
    if (ExecModal(dialog) != QDialog::Accepted)
        return;
    // Other paper or the other orientation chosen in the dialog: the pages
    // are laid out for it, not shrunk onto it.
    if (!SamePaper(printer.pageLayout(), document->PageLayout())) {
        job.Options.Landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
        document = std::make_unique<TPrintDocument>(*job.Db, job.Source, job.Options, printer.pageLayout().pageSize());
        if (!Paginate(*document, "Printing"))
            return;
        printer.setPageLayout(document->PageLayout());
    }
    const int count = document->PageCount();
    int from = 1;
    int to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::min(printer.fromPage(), count);
        to = std::clamp(printer.toPage(), from, count);
    }
    WaitCursor hourglass;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowError(FromUtf8("The printer could not be started; nothing was printed."));
        return;
    }
    // The painter's origin is the printable area's corner.
    const QRectF area(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    try {
        TProgressLine::TRun run(context_.Progress(), true);
        for (int p = from; p <= to; ++p) {
            ReportProgress(p - from, to - from + 1);
            if (p > from)
                printer.newPage();
            document->PaintPage(painter, p - 1, area);
        }
    } catch (const ECancelled&) {
        printer.abort();
        context_.ShowStatus(FromUtf8("Printing cancelled."));
        return;
    }
    painter.end();
    context_.ShowStatus(FromUtf8("Printed %1 of %2").arg(CountOf(to - from + 1, "page"), BareName(job.Db->FileName)));
}

void TPrintCommands::ExportPdf(const TJob& job)
{
    const std::string name = PickPdfFile(*job.Db);
    if (name.empty() || context_.RefuseOpenFile(name))
        return;
    WaitCursor hourglass;
    if (context_.RunLongAside("Export", name, true, [&] { WritePdf(*job.Db, job.Source, job.Options, name); }))
        context_.ShowStatus(
            FromUtf8("Exported %1 to %2").arg(CountOf(PrintedRecords(*job.Db, job.Source), "record"), BareName(name)));
}

std::string TPrintCommands::PickPdfFile(const TDataBase& db)
{
    const std::unique_ptr<TIniFile> ini = OpenConfig();
    const std::string directory = ProgramExportDirectory(*ini, db);
    QFileDialog dialog(&context_.Window(), FromUtf8("Export as PDF"), PathToQString(directory));
    PrepareSaveDialog(dialog, "PDF files|*.pdf|All Files|*.*");
    dialog.selectFile(QFileInfo(PathToQString(db.FileName)).completeBaseName() + FromUtf8(".pdf"));
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    const std::string name = ChosenFile(dialog, directory, "pdf");
    if (name.empty() || !MayReplace(name))
        return {};
    RememberProgramExportDirectory(*ini, name);
    return name;
}

}  // namespace quorvil
