#pragma once
// The list view's lines over the grid's model: one line per row of the grid,
// in the grid's order, so the list shows the same records as the grid. A
// line is the value of one field (and of the next one after a "LIST"
// field), line breaks as '¤', cut to 200 characters. Lines are made when the
// view asks for them.
#include <QIdentityProxyModel>

namespace quorvil {

class TDatabaseModel;

class TRecordListModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    static constexpr int kLineLength = 200;

    explicit TRecordListModel(TDatabaseModel* source, QObject* parent = nullptr);

    // The field the lines show: column `col` of the grid (from 0).
    void SetColumn(int col);
    int Column() const { return column_; }
    QString LineText(int row) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TDatabaseModel* source_;
    int column_ = 0;
};

}  // namespace quorvil
