#include "print_document.h"

#include "jfile.h"

#include <QPainter>

namespace quorvil {

struct TPrintDocument::TImpl {
    const TJFILE& Db;
    TPrintSource Source;
    TPrintOptions Options;
    QPageSize Size;
    int Pages = 0;
};

QPageSize DefaultPageSize()
{
    return QPageSize(QPageSize::A4);
}

TPrintDocument::TPrintDocument(const TJFILE& db, TPrintSource source, TPrintOptions options, const QPageSize& size)
    : impl_(new TImpl{db, std::move(source), std::move(options), size})
{
}

TPrintDocument::~TPrintDocument() = default;

void TPrintDocument::Paginate()
{
    impl_->Pages = 1;
}

int TPrintDocument::PageCount() const
{
    return impl_->Pages;
}

QPageLayout TPrintDocument::PageLayout() const
{
    return QPageLayout(impl_->Size, impl_->Options.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

const TPrintOptions& TPrintDocument::Options() const
{
    return impl_->Options;
}

void TPrintDocument::PaintPage(QPainter& painter, int, const QRectF& area) const
{
    painter.drawRect(area);
}

void WritePdf(TJFILE&, const TPrintSource&, const TPrintOptions&, const std::string&) {}

}  // namespace quorvil
