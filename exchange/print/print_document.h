#pragma once
// A database laid out on pages, as a table or as record cards, and painted
// on any paged device: a PDF file, a printer, the preview's page images.
// The layout is measured once, in units of its own, so that every device
// shows the same pages; a device only scales them.
#include "print_options.h"

#include <QPageLayout>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QRectF;

namespace quorvil {

class TJFILE;

// What the pages show besides the options.
struct TPrintSource {
    // Record numbers in print order (the grid's rows); empty: every record,
    // in record order.
    std::vector<int> Records;
    // The grid's column widths in pixels, by field number - 1; a field
    // without one (or with 0) gets a width from its name and first values.
    std::vector<int> ColumnWidths;
    // The date on top; empty: today, in the system's short form.
    QString Date;
};

// The paper of this system's country: Letter in the Americas that use it,
// else A4.
QPageSize DefaultPageSize();

class TPrintDocument {
public:
    // `db` must outlive the document and stay unchanged while it is used.
    TPrintDocument(const TJFILE& db, TPrintSource source, TPrintOptions options,
                   const QPageSize& size = DefaultPageSize());
    ~TPrintDocument();
    TPrintDocument(const TPrintDocument&) = delete;
    TPrintDocument& operator=(const TPrintDocument&) = delete;

    // Lays out every page, measuring every printed cell: linear in the
    // records shown. Each record is a step of ReportProgress, so a watcher
    // sees it and may stop it (ECancelled; the document then has no pages);
    // the steps count as the first of `parts` equal parts of the work.
    void Paginate(int parts = 1);
    // 0 before Paginate; at least 1 after it (a database without records
    // prints its header).
    int PageCount() const;
    // The page's size, orientation and margins, for the device painted on.
    QPageLayout PageLayout() const;
    const TPrintOptions& Options() const;
    // Paints page `index` (from 0) into `area`: the page's printable area
    // (inside the margins) in the painter's coordinates.
    void PaintPage(QPainter& painter, int index, const QRectF& area) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

// Writes every page to `fileName` as PDF, replacing any file of that name
// once the new one is complete. Progress goes through ReportProgress: the
// layout first, then the pages. Throws EStreamError when the file cannot be
// written or is the database's own file, ECancelled when the watcher stops
// it; either way the old file stays as it was. Needs a QGuiApplication.
void WritePdf(TJFILE& db, const TPrintSource& source, const TPrintOptions& options, const std::string& fileName);

}  // namespace quorvil
