#pragma once
// "Select directory": a tree whose root "My Computer" holds the file system
// root and the mounted volumes; subdirectories are read when a node opens.
#include <QDialog>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace quorvil {

// TPickDirForm: the "Select directory" window.
class TPickDirForm : public QDialog {
    Q_OBJECT
public:
    explicit TPickDirForm(QWidget* parent = nullptr);
    ~TPickDirForm() override;
    // Opens the tree along `path` (the program's directory when it does not
    // exist) and selects it.
    void SetStartDirectory(const QString& path);
    // The selected directory without a trailing separator ("/" stays).
    QString SelectedDirectory() const;
    QTreeWidget* Tree() const { return tree_; }

private:
    void Fill(QTreeWidgetItem* node);
    void ShowPath(QTreeWidgetItem* node);
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, const QString& path);

    QTreeWidget* tree_;
    QLabel* status_;
};

// The chosen directory on OK, `start` on Cancel.
QString PickDirectory(const QString& start);

}  // namespace quorvil
