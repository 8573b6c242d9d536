#pragma once
// The table of keyboard shortcuts of the Help menu.
#include <QDialog>
#include <QString>

#include <vector>

class QTableWidget;

namespace quorvil {

struct TShortcutRow {
    QString Command;  // "File > Save as"
    QString Keys;     // "Ctrl+A, Ctrl+Shift+S"
};

class TShortcutsForm : public QDialog {
    Q_OBJECT
public:
    explicit TShortcutsForm(QWidget* parent = nullptr);

    // Shows the rows until the user closes the table.
    void ShowRows(const std::vector<TShortcutRow>& rows);
    const QTableWidget& Table() const { return *table_; }

private:
    void Fill(const std::vector<TShortcutRow>& rows);

    QTableWidget* table_;
};

}  // namespace quorvil
