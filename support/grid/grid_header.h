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

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TExtendedGrid* grid_;
};

}  // namespace quorvil
