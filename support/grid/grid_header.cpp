#include "grid_header.h"

#include "extended_grid.h"
#include "grid_text.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace quorvil {

TGridHeader::TGridHeader(TExtendedGrid* grid)
    : QHeaderView(Qt::Horizontal, grid), grid_(grid)
{
    setSectionsClickable(true);
    setHighlightSections(false);
}

QSize TGridHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    size.setHeight(grid_->DefaultRowHeight());
    return size;
}

QString TGridHeader::ShownTitle(int logicalIndex) const
{
    const TGridColumn* column = grid_->Column(logicalIndex);
    if (!column)
        return {};
    if (column->TitleOverflow != TOverflow::Ellipsis)
        return column->Title;
    return ShortenText(QFontMetrics(column->TitleFont.resolve(font())), column->Title,
                       sectionSize(logicalIndex) - ArrowSpace(logicalIndex));
}

int TGridHeader::ArrowSpace(int logicalIndex) const
{
    if (!isSortIndicatorShown() || sortIndicatorSection() != logicalIndex)
        return 0;
    return style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this) + 6;
}

void TGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.textAlignment = Qt::AlignLeft;
    const int visual = visualIndex(logicalIndex);
    if (count() == 1)
        option.position = QStyleOptionHeader::OnlyOneSection;
    else if (visual == 0)
        option.position = QStyleOptionHeader::Beginning;
    else if (visual == count() - 1)
        option.position = QStyleOptionHeader::End;
    else
        option.position = QStyleOptionHeader::Middle;
    // The bevel comes from the style; the title is drawn by the column's rules.
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    // The sort arrow at the right end; the title keeps the rest.
    QRect titleRect = rect;
    if (const int space = ArrowSpace(logicalIndex)) {
        QStyleOptionHeader arrow = option;
        const int size = space - 6;
        // Qt's own headers show an ascending sort as SortDown.
        arrow.sortIndicator =
            sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
        arrow.rect = QRect(rect.right() - size - 3, rect.center().y() - size / 2, size, size);
        style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &arrow, painter, this);
        titleRect.setRight(rect.right() - space);
    }
    const TGridColumn* column = grid_->Column(logicalIndex);
    if (!column)
        return;
    painter->save();
    painter->setFont(column->TitleFont.resolve(font()));
    painter->setPen(palette().color(QPalette::ButtonText));
    DrawCellText(*painter, titleRect, column->Title, column->TitleOverflow, column->TitleHorzAlign,
                 column->TitleVertAlign);
    painter->restore();
}

}  // namespace quorvil
