// The printout as a PDF file, written through the exports' writer so that
// the file is replaced only once it is complete.
#include "print_document.h"

#include "errors.h"
#include "jfile.h"
#include "progress.h"
#include "streams.h"
#include "system_memory.h"
#include "text_convert.h"
#include "text_writers.h"

#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>

#include <optional>

namespace quorvil {

namespace {

// The PDF writer's output into the stream. A write error is kept rather
// than thrown through Qt's code, and thrown once the painter has ended.
class TStreamDevice : public QIODevice {
public:
    explicit TStreamDevice(TStream& out) : out_(out) { open(QIODevice::WriteOnly); }
    void Check() const
    {
        if (error_)
            throw EStreamError(*error_);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (error_)
            return -1;
        try {
            out_.Write(data, size_t(size));
        } catch (const std::exception& e) {
            error_ = e.what();
            return -1;
        }
        return size;
    }

private:
    TStream& out_;
    std::optional<std::string> error_;
};

}  // namespace

void WritePdf(TJFILE& db, const TPrintSource& source, const TPrintOptions& options, const std::string& fileName)
{
    sys::KeepFreedBlocks();
    TPrintDocument document(db, source, options);
    // The layout is the first half of the progress, the pages the second.
    document.Paginate(2);
    ReplaceWithText(db, fileName, [&](TStream& out) {
        TStreamDevice device(out);
        QPdfWriter writer(&device);
        writer.setCreator(QStringLiteral("Quorvil"));
        writer.setTitle(ToQString(db.PdbHeader.Name, db.Charset()));
        writer.setPageLayout(document.PageLayout());
        const QRectF area(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
        QPainter painter(&writer);
        const int pages = document.PageCount();
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            document.PaintPage(painter, page, area);
            ReportProgress(pages + page + 1, 2 * pages);
            device.Check();
        }
        painter.end();
        device.Check();
    });
}

}  // namespace quorvil
