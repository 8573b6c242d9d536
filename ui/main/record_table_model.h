#pragma once
// A read-only table of one database: a column per field, a row per record
// that passes the find filter. Line breaks inside values show as '¤'.
#include <QAbstractTableModel>

#include <vector>

namespace quorvil {

class TDataBase;

class TRecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TRecordTableModel(QObject* parent = nullptr);
    // Shows `db` (null: nothing); call again after the records changed.
    void SetDatabase(const TDataBase* db);
    // Record number (from 1) of a row.
    int RecordOfRow(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const TDataBase* db_ = nullptr;
    std::vector<int> rows_;  // record numbers of the shown records
    int columns_ = 0;
};

}  // namespace quorvil
