#pragma once
// The title row of the typed-column grid: each column's title drawn with
// its own font, alignment and overflow mode.
#include <QHeaderView>

namespace quorvil {

class TExtendedGrid;

class TGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TGridHeader(TExtendedGrid* grid);
    // As high as a grid row.
    QSize sizeHint() const override;
    // The title of the column as drawn: shortened with "..." when the
    // column's overflow mode says so and it is wider than the section.
    QString ShownTitle(int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    // The width the sort arrow takes from the section, 0 where none is shown.
    int ArrowSpace(int logicalIndex) const;

    TExtendedGrid* grid_;
};

}  // namespace quorvil
