#pragma once
// The contents of one database tab. For now a read-only table; the grid,
// list and record views replace it.
#include <QWidget>

#include <vector>

class QTableView;

namespace quorvil {

class TDataBase;
class TRecordTableModel;

class TDatabasePage : public QWidget {
    Q_OBJECT
public:
    TDatabasePage(int tab, QWidget* parent = nullptr);
    // Shows `db` (null: nothing), with column widths fitted to the contents.
    void SetDatabase(const TDataBase* db);
    // Fills the view again from the database.
    void RefreshView();
    std::vector<int> ColumnWidths() const;
    // Width k goes to column k; columns without a width keep theirs.
    void SetColumnWidths(const std::vector<int>& widths);
    bool GridVisible() const;
    QTableView* Grid() const { return grid_; }
    TRecordTableModel* Model() const { return model_; }

private:
    QTableView* grid_;
    TRecordTableModel* model_;
    const TDataBase* db_ = nullptr;
};

}  // namespace quorvil
