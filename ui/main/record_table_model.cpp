#include "record_table_model.h"

#include "database.h"
#include "field_types.h"
#include "text_convert.h"

namespace quorvil {

namespace {

bool IsNumeric(uint16_t type)
{
    return type == kTypeInteger || type == kTypeFloat || type == 67 /* AUTOINC */;
}

}  // namespace

TRecordTableModel::TRecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TRecordTableModel::SetDatabase(const TDataBase* db)
{
    beginResetModel();
    db_ = db;
    rows_.clear();
    columns_ = db ? db->FieldCount() : 0;
    if (db) {
        rows_.reserve(db->RecordCount());
        for (int r = 1; r <= db->RecordCount(); ++r)
            if (db->GetShown(r))
                rows_.push_back(r);
    }
    endResetModel();
}

int TRecordTableModel::RecordOfRow(int row) const
{
    return row >= 0 && size_t(row) < rows_.size() ? rows_[size_t(row)] : 0;
}

int TRecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TRecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant TRecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!db_ || !index.isValid() || index.row() >= rowCount() || index.column() >= columns_)
        return {};
    const int field = index.column() + 1;
    if (role == Qt::DisplayRole) {
        std::string text = db_->GetDisplayCell(RecordOfRow(index.row()), field);
        for (char& c : text)
            if (c == '\n')
                c = char(0xA4);  // the grid's line-break mark
        return ToQString(text);
    }
    if (role == Qt::TextAlignmentRole && IsNumeric(db_->GetFieldType(field)))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TRecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !db_)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columns_ ? ToQString(db_->GetFieldName(section + 1)) : QVariant();
    return RecordOfRow(section);
}

}  // namespace quorvil
