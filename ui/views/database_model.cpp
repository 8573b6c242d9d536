#include "database_model.h"

#include <QBrush>

#include "cell_input.h"
#include "database.h"
#include "field_types.h"
#include "new_record.h"
#include "text_convert.h"

#include <algorithm>
#include <exception>
#include <iterator>

namespace quorvil {

namespace {

// Puts record `a` right after (or before) record `b` in database order,
// through the engine's move so that every per-record flag follows.
void PlaceRecordNextTo(TDataBase& db, int a, int b, bool after)
{
    if (after && a < b) {
        std::vector<int> between;  // a+1..b go before a
        for (int r = a + 1; r <= b; ++r)
            between.push_back(r);
        db.MoveRecords(between, a);
    } else if (after && a > b + 1) {
        db.MoveRecords({a}, b + 1);
    } else if (!after && a > b) {
        db.MoveRecords({a}, b);
    } else if (!after && a < b - 1) {
        db.MoveRecords({a}, b - 1);
    }
}

}  // namespace

bool IsStringField(TFieldType fieldType)
{
    return FactsOf(fieldType).Editor == TEditorKind::LongText;
}

QString GridText(std::string_view value, TCharset set)
{
    // No byte of a two-byte character is a CR or LF in any set, so the lines
    // are cut on the bytes and the mark goes in as a character.
    QString shown;
    size_t start = 0;
    for (size_t i = value.find_first_of("\r\n"); i != std::string_view::npos; i = value.find_first_of("\r\n", start)) {
        shown += ToQString(value.substr(start, i - start), set);
        shown += LineBreakMark();
        start = i + 1;
        if (value[i] == '\r' && start < value.size() && value[start] == '\n')
            ++start;
    }
    return start == 0 ? ToQString(value, set) : shown + ToQString(value.substr(start), set);
}

std::optional<std::string> EditedValue(const QString& text, TFieldType fieldType, TCharset set, QString* refusal)
{
    if (!IsStringField(fieldType))
        return FromQString(text, set, refusal);
    return FromQString(QString(text).replace(LineBreakMark(), QString(QLatin1Char('\n'))), set, refusal);
}

TDatabaseModel::TDatabaseModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDatabaseModel::SetDatabase(TDataBase* db)
{
    beginResetModel();
    db_ = db;
    reversed_ = false;
    sortColumn_ = kNoColumn;
    columns_ = db ? db->FieldCount() : 0;
    rows_ = ShownRows();
    endResetModel();
    emit SortChanged();
}

std::vector<uint16_t> TDatabaseModel::ShownRows() const
{
    std::vector<uint16_t> rows;
    if (!db_)
        return rows;
    for (int r = 1; r <= db_->RecordCount(); ++r)
        if (db_->GetShown(r))
            rows.push_back(uint16_t(r));
    if (reversed_)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

void TDatabaseModel::Refill()
{
    const int fields = db_ ? db_->FieldCount() : 0;
    std::vector<uint16_t> rows = ShownRows();
    if (fields != columns_) {
        beginResetModel();
        columns_ = fields;
        rows_ = std::move(rows);
        endResetModel();
        return;
    }
    // Rows are positions, as in a grid that is written over: surplus rows go
    // at the end, missing ones come at the end, then every cell is new.
    const int oldCount = int(rows_.size());
    const int newCount = int(rows.size());
    if (newCount < oldCount) {
        beginRemoveRows(QModelIndex(), newCount, oldCount - 1);
        rows_.resize(size_t(newCount));
        endRemoveRows();
    } else if (newCount > oldCount) {
        beginInsertRows(QModelIndex(), oldCount, newCount - 1);
        rows_.insert(rows_.end(), rows.begin() + oldCount, rows.end());
        endInsertRows();
    }
    rows_ = std::move(rows);
    if (columns_ > 0) {
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
        if (newCount > 0)
            emit dataChanged(index(0, 0), index(newCount - 1, columns_ - 1));
    }
}

void TDatabaseModel::ReverseRows()
{
    reversed_ = !reversed_;
    std::reverse(rows_.begin(), rows_.end());
    if (!rows_.empty() && columns_ > 0)
        emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, columns_ - 1));
    emit SortChanged();
}

void TDatabaseModel::ClearReversal()
{
    if (!reversed_)
        return;
    reversed_ = false;
    emit SortChanged();
}

void TDatabaseModel::SetSortColumn(int col)
{
    if (col == sortColumn_)
        return;
    sortColumn_ = col;
    emit SortChanged();
}

int TDatabaseModel::RecordOfRow(int row) const
{
    return row >= 0 && size_t(row) < rows_.size() ? rows_[size_t(row)] : 0;
}

int TDatabaseModel::RowOfRecord(int record) const
{
    const auto found = std::find(rows_.begin(), rows_.end(), uint16_t(record));
    return record > 0 && found != rows_.end() ? int(found - rows_.begin()) : -1;
}

bool TDatabaseModel::DeleteRow(int row)
{
    const int record = RecordOfRow(row);
    if (!db_ || !record || db_->ReadOnlyFile())
        return false;
    db_->DeleteRecord(record);
    if (db_->RecordCount() == 0)
        AppendDefaultRecord(*db_, LocalNow());
    SetSortColumn(kNoColumn);
    Refill();
    return true;
}

bool TDatabaseModel::MoveRowBlock(int top, int bottom, int delta)
{
    const int count = int(rows_.size());
    if (!db_ || db_->ReadOnlyFile() || top < 0 || bottom < top || bottom >= count || (delta != -1 && delta != 1))
        return false;
    // The row that the block passes goes to its other side.
    const int passed = delta < 0 ? top - 1 : bottom + 1;
    if (passed < 0 || passed >= count)
        return false;
    const int anchor = delta < 0 ? RecordOfRow(bottom) : RecordOfRow(top);
    // Rows run against record order when reversed.
    PlaceRecordNextTo(*db_, RecordOfRow(passed), anchor, (delta < 0) != reversed_);
    SetSortColumn(kNoColumn);
    Refill();
    return true;
}

QString TDatabaseModel::CellText(int row, int col) const
{
    if (!db_ || col < 0 || col >= columns_)
        return {};
    const int record = RecordOfRow(row);
    return record ? GridText(db_->CellView(record, col + 1), db_->Charset()) : QString();
}

bool TDatabaseModel::MoveField(int from, int to)
{
    if (!db_ || db_->ReadOnlyFile() || from < 0 || from >= columns_ || to < 0 || to >= columns_ ||
        columns_ != db_->FieldCount())
        return false;
    if (from == to)
        return true;
    beginMoveColumns(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    try {
        db_->MoveField(from + 1, to + 1);
    } catch (...) {
        // The indexes were checked, so only memory can run out here; the
        // view must still hear the end of the move it was told about.
        endMoveColumns();
        throw;
    }
    endMoveColumns();
    // The records stay sorted by the field that moved, wherever it went.
    if (sortColumn_ == from)
        SetSortColumn(to);
    else if (sortColumn_ != kNoColumn && (sortColumn_ - from) * (sortColumn_ - to) <= 0)
        SetSortColumn(sortColumn_ + (from < to ? -1 : 1));
    return true;
}

int TDatabaseModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TDatabaseModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

bool TDatabaseModel::CellMatches(int row, int col) const
{
    const int record = RecordOfRow(row);
    return db_ && record > 0 && db_->CellHighlighted(record, col + 1);
}

QVariant TDatabaseModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == kMatchRole)
        return CellMatches(index.row(), index.column());
    if (role == Qt::BackgroundRole)
        return CellMatches(index.row(), index.column()) ? QVariant(MatchBrush()) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return CellText(index.row(), index.column());
}

QBrush MatchBrush()
{
    // A light yellow, as a marker pen: dark text stays readable on it.
    return QBrush(QColor(255, 236, 140));
}

bool TDatabaseModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!db_ || role != Qt::EditRole || !index.isValid() || index.model() != this || db_->ReadOnlyFile())
        return false;
    const int record = RecordOfRow(index.row());
    const int field = index.column() + 1;
    if (!record || field > columns_)
        return false;
    SetSortColumn(kNoColumn);
    const QString text = value.toString();
    // A cell left as it was stores nothing, even where the shown text is not
    // the stored one (a CR LF pair shows as one '¤').
    if (text == CellText(index.row(), index.column()))
        return true;
    // A character the database's set lacks is refused as a wrong number is,
    // never stored as another one.
    QString refusal;
    const std::optional<std::string> typed = EditedValue(text, db_->GetFieldType(field), db_->Charset(), &refusal);
    if (!typed) {
        emit InputRefused(refusal, record, field, text);
        return false;
    }
    // Dates and times are stored in the field's form, and only when they are
    // dates and times; numbers only when they are numbers of the field's kind.
    const TCellInput input = CellInput(*db_, field, *typed);
    if (!input.Accepted) {
        emit InputRefused(ToQString(input.Problem, db_->Charset()), record, field, text);
        return false;
    }
    const std::string& stored = input.Stored;
    if (stored == db_->CellView(record, field))
        return true;
    std::vector<TCellBefore> changed{{field, std::string(db_->CellView(record, field))}};
    try {
        db_->SetCell(record, field, stored);
        std::vector<TCellBefore> stamps = StampEdit(*db_, record, {field}, LocalNow());
        std::move(stamps.begin(), stamps.end(), std::back_inserter(changed));
    } catch (const std::exception& e) {
        emit EditFailed(MessageText(e.what()));
        return false;
    }
    const bool stamped = changed.size() > 1;
    if (recorder_)
        recorder_(record, std::move(changed));
    // A stamp changed other cells of the row.
    if (stamped)
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columns_ - 1),
                         {Qt::DisplayRole, Qt::EditRole});
    else
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit Edited();
    return true;
}

Qt::ItemFlags TDatabaseModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return db_ && db_->ReadOnlyFile() ? shown : shown | Qt::ItemIsEditable;
}

QVariant TDatabaseModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && db_ && section >= 0 && section < columns_)
        return ToQString(db_->GetFieldName(section + 1), db_->Charset());
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace quorvil
