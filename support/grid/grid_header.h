#pragma once
// The title row of the typed-column grid: each column's title drawn with
// its own font, alignment and overflow mode; below the titles, when shown,
// the filter row: one box per column, made by the column's kind (a
// three-state check box for check-box columns, a drop-down of the values
// for list columns, a line to type in for the others).
#include <QHeaderView>

#include <vector>

namespace quorvil {

class TExtendedGrid;
class TGridColumn;

class TGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TGridHeader(TExtendedGrid* grid);
    // As high as a grid row.
    QSize sizeHint() const override;
    // The title of the column as drawn: shortened with "..." when the
    // column's overflow mode says so and it is wider than the section.
    QString ShownTitle(int logicalIndex) const;

    void SetFilterRowVisible(bool visible);
    bool FilterRowVisible() const { return filterRow_; }
    // The box of column `col` as text: what was typed; "TRUE", "FALSE" or
    // empty for a check box; "=" and the value (stored form) chosen in a
    // list, or empty. Empty for a column out of range.
    QString FilterText(int col) const;
    void SetFilterText(int col, const QString& text);
    void ClearFilters();
    // Box k shows texts[k], quietly; boxes beyond the texts stay as they are.
    void SetFilterTexts(const QStringList& texts);
    // Marks a box whose text cannot match (red, with the reason as its tip);
    // an empty reason clears the mark.
    void SetFilterProblem(int col, const QString& reason);
    // The box widget of a column, null when there is none.
    QWidget* FilterBox(int col) const;
    // Makes the boxes again after the columns changed: a box whose column
    // kept its kind (and list) keeps its text.
    void RebuildFilters();
    void RefreshFilter(int col);
    // Columns start..end went before column `column` (as a model reports a
    // move): their boxes go with them.
    void MoveFilters(int start, int end, int column);

signals:
    // A box changed; `typed` for text typed into a line (the grid waits
    // for a pause in typing), false for a choice made at once.
    void FilterEdited(int col, bool typed);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int TitleHeight() const;
    void PlaceFilters();
    QWidget* MakeFilter(int col);
    // What a line box of `column` takes, as its tool tip.
    QString LineTip(const TGridColumn* column) const;
    void SetFilterTip(QWidget* box, const QString& tip);
    // SetFilterText without reporting FilterEdited.
    void SetFilterTextQuietly(int col, const QString& text);
    int ColumnOf(const QWidget* box) const;

    // The width the sort arrow takes from the section, 0 where none is shown.
    int ArrowSpace(int logicalIndex) const;

    TExtendedGrid* grid_;
    bool filterRow_ = false;
    std::vector<QWidget*> filters_;  // by logical column
    std::vector<int> filterKinds_;   // the column kind each box was made for
};

}  // namespace quorvil
