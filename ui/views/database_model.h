#pragma once
// The grid's data source for one database: a column per field and a row per
// record that passes the find filter, in display order. The model keeps only
// the record number of each row; cells are read from the database when the
// view asks for them, so a refill costs the row map and nothing more.
#include <QAbstractTableModel>
#include <QBrush>

#include "charset.h"
#include "field_types.h"
#include "new_record.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvil {

class TDataBase;

// "STRING" fields (and new fields, saved as such): their values are long
// texts with line breaks.
bool IsStringField(TFieldType fieldType);
// The '¤' a line break shows as in the grid and the list; typed (or put in
// by Alt+Enter) in a "STRING" field it stores a line feed.
inline QString LineBreakMark()
{
    return QString(QChar(0x00A4));
}
// A stored value of character set `set` as the grid shows it: a CR with the
// LF after it, a lone CR and a lone LF each become one '¤'.
QString GridText(std::string_view value, TCharset set);
// The bytes of `set` an edit of a cell hands to the engine: in a "STRING"
// field every '¤' becomes LF; other fields keep the text as typed. None when
// the set lacks a character of the text, with `refusal` saying which.
std::optional<std::string> EditedValue(const QString& text, TFieldType fieldType, TCharset set, QString* refusal);

// The background of a highlighted cell.
QBrush MatchBrush();

class TDatabaseModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kNoColumn = -1;
    // True for a cell that passes its filter box or holds the find's text;
    // such cells also have MatchBrush() as their BackgroundRole.
    static constexpr int kMatchRole = Qt::UserRole + 1;

    explicit TDatabaseModel(QObject* parent = nullptr);

    // Shows `db` (null: nothing) in record order and forgets the header
    // sort and the reversal.
    void SetDatabase(TDataBase* db);
    TDataBase* DataBase() const { return db_; }
    // Rebuilds the rows from the Shown flags (a reversed grid stays
    // reversed) and has every cell read again. Rows keep their positions, so
    // the current cell stays where it was.
    void Refill();
    // Reverses the order of the rows; the database keeps its order.
    void ReverseRows();
    // The next refill lists the records in database order.
    void ClearReversal();
    // Whether the rows run against record order.
    bool Reversed() const { return reversed_; }

    // Record number (from 1) of a row (from 0); 0 outside the rows.
    int RecordOfRow(int row) const;
    // The row showing record `record`, -1 when no row shows it.
    int RowOfRecord(int record) const;
    // The text a cell shows (line breaks as '¤'); empty outside the table.
    QString CellText(int row, int col) const;
    bool CellMatches(int row, int col) const;

    // Deletes the record that row `row` shows and refills the rows; a
    // database never stays empty, so the last record deleted is followed by
    // a fresh one. False for a row out of range or a read-only file's database.
    bool DeleteRow(int row);
    // Moves the records of rows top..bottom one row up (delta -1) or down
    // (+1) in the order the rows show them, carrying their Shown flags, and
    // refills. False when the block is out of range or already at that end,
    // or the database's file is read-only.
    bool MoveRowBlock(int top, int bottom, int delta);

    // Column of the last header sort; kNoColumn after an open and after
    // every edit through the grid.
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int col);

    // Moves field from+1 to position to+1 in the database; the columns move
    // with it (their settings too, in the grid), the header sort's column too.
    // False for columns out of range or a read-only file's database.
    bool MoveField(int from, int to);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The grid's cell edit: the record of the row gets the new value of the
    // column's field when it differs from what the cell shows; a date or time
    // is stored in the field's form, and the record's modification date and
    // time are stamped (StampEdit). An engine error arrives as EditFailed, a
    // text that is no value of the field's kind as InputRefused, and the
    // result is false.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Told of the cells of a record a setData changed, with the texts they
    // held before: first the edited one, then those stamped with it.
    using CellRecorder = std::function<void(int record, std::vector<TCellBefore> before)>;
    void SetCellRecorder(CellRecorder recorder) { recorder_ = std::move(recorder); }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A cell edit changed the database.
    void Edited();
    // SortColumn() or Reversed() changed.
    void SortChanged();
    // The engine refused a cell edit; the message is the one to show.
    void EditFailed(const QString& message);
    // The text typed is no value of the field (a date that does not exist,
    // "1,5" in a number field); nothing was stored. The message says what to
    // type instead; `typed` is the text, to be kept for correction.
    void InputRefused(const QString& message, int record, int field, const QString& typed);

private:
    std::vector<uint16_t> ShownRows() const;

    TDataBase* db_ = nullptr;
    std::vector<uint16_t> rows_;  // record numbers (at most 65535) in display order
    int columns_ = 0;
    int sortColumn_ = kNoColumn;
    bool reversed_ = false;
    CellRecorder recorder_;
};

}  // namespace quorvil
