#include "record_list_model.h"

#include "database.h"
#include "database_model.h"
#include "field_types.h"

#include <QBrush>

namespace quorvil {

TRecordListModel::TRecordListModel(TDatabaseModel* source, QObject* parent)
    : QIdentityProxyModel(parent), source_(source)
{
    setSourceModel(source);
    // An edit in any column may change a line, which lives in column 0.
    connect(source, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        if (from.column() != 0 || to.column() != 0)
            emit dataChanged(index(from.row(), 0), index(to.row(), 0), {Qt::DisplayRole});
    });
}

void TRecordListModel::SetColumn(int col)
{
    if (col == column_)
        return;
    column_ = col;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
}

QString TRecordListModel::LineText(int row) const
{
    const TDataBase* db = source_->DataBase();
    if (!db)
        return {};
    int col = column_ < source_->columnCount() ? column_ : 0;
    QString line = source_->CellText(row, col);
    if (db->GetFieldType(col + 1) == TFieldType::List && col + 1 < source_->columnCount())
        line += QLatin1Char(' ') + source_->CellText(row, col + 1);
    line.truncate(kLineLength);
    return line;
}

QVariant TRecordListModel::data(const QModelIndex& index, int role) const
{
    if (index.isValid() && index.column() == 0 && role == Qt::DisplayRole)
        return LineText(index.row());
    if (role == Qt::EditRole)
        return {};
    if (index.isValid() &&
        (role == TDatabaseModel::kMatchRole || role == Qt::BackgroundRole || role == Qt::ForegroundRole)) {
        // The line shows one field, or a List field and the next one.
        const int col = column_ < source_->columnCount() ? column_ : 0;
        const TDataBase* db = source_->DataBase();
        bool match = source_->CellMatches(index.row(), col);
        if (!match && db && db->GetFieldType(col + 1) == TFieldType::List)
            match = source_->CellMatches(index.row(), col + 1);
        if (role == TDatabaseModel::kMatchRole)
            return match;
        if (!match)
            return {};
        // Dark text on the light mark, whatever the theme's text colour.
        return role == Qt::BackgroundRole ? QVariant(MatchBrush()) : QVariant(QBrush(Qt::black));
    }
    return QIdentityProxyModel::data(index, role);
}

Qt::ItemFlags TRecordListModel::flags(const QModelIndex& index) const
{
    return QIdentityProxyModel::flags(index) & ~Qt::ItemIsEditable;
}

}  // namespace quorvil
