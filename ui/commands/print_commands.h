#pragma once
// Print, Print preview and Export as PDF of the active database: the records
// and column widths as its grid shows them, the options remembered under its
// title, the pages laid out with the progress bar and its Cancel.
#include "print_document.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>

namespace quorvil {

class TCommandContext;
class TDataBase;

class TPrintCommands : public QObject {
    Q_OBJECT
public:
    explicit TPrintCommands(TCommandContext& context);

    void PrintItemClick();
    void PrintPreviewItemClick();
    void ExportPdfItemClick();

private:
    // What the pages are made of: the database, its records and widths as
    // the grid shows them, and the options remembered for it.
    struct TJob {
        TDataBase* Db = nullptr;
        TPrintSource Source;
        TPrintOptions Options;
    };
    // Nothing when there is no database or the user cancelled.
    std::optional<TJob> Prepare(const QString& caption);
    // The options dialog over the job's options; false on Cancel, else they
    // are the job's and remembered.
    bool ChooseOptions(TJob& job);
    void Remember(const TJob& job) const;
    // Lays `document` out with the progress bar; false when cancelled.
    bool Paginate(TPrintDocument& document, const char* cancelled);
    // The print dialog, then the pages to the printer; `document` is laid
    // out for the job already, or null.
    void Print(TJob& job, std::unique_ptr<TPrintDocument> document);
    void ExportPdf(const TJob& job);
    std::string PickPdfFile(const TDataBase& db);

    TCommandContext& context_;
};

}  // namespace quorvil
