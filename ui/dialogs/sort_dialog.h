#pragma once
// "Defining Sorting Order": the key fields of a sort, moved between
// "Available Fields" and "Sorting Order" with ">>" and "<<", or taken from
// one of the database's saved sorts. The exports borrow it to choose and
// order the fields they write.
#include <QDialog>
#include <QStringList>

#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QIcon;
class QListWidget;
class QPushButton;

namespace quorvil {

class TJFILE;

struct TSavedSortChoice {
    QString Name;
    QStringList Fields;  // in key order
};

class TSortForm : public QDialog {
    Q_OBJECT
public:
    explicit TSortForm(QWidget* parent = nullptr);
    ~TSortForm() override;

    void SetAvailable(const QStringList& names);
    void SetSortList(const QStringList& names);
    // The saved sorts offered; with none the choice is hidden.
    void SetSavedSorts(const std::vector<TSavedSortChoice>& sorts);
    // The names of "Sorting Order", in key order.
    QStringList SortNames() const;
    // Each key of "Sorting Order" gets a check mark for "Descending", set by
    // the check box under the list for the current key (the sort itself;
    // the exports borrow the dialog without it).
    void OfferDescending();
    // One flag per name of SortNames(): ticked "Descending".
    std::vector<bool> Descending() const;
    QStringList AvailableNames() const;

    // Every selected name of `from`, in list order, goes to the end of `to`;
    // then every name of `to` leaves `from`.
    void MoveSelected(QListWidget* from, QListWidget* to);
    // Puts the names of saved sort `index` (0-based) into "Sorting Order",
    // in its order, and the other names back into "Available Fields".
    void ApplySavedSort(int index);
    // True on OK.
    bool ChooseSortFields();

    QListWidget* AvailList() const { return avail_; }
    QListWidget* SortList() const { return sort_; }
    QGroupBox* SortOrder() const { return sortOrder_; }
    QComboBox* SavedSortBox() const { return saved_; }
    QCheckBox* DescendingBox() const { return descending_; }

private:
    void UpdateButtons();
    // The keys of "Sorting Order" take a check box when directions are offered.
    void MarkKeys();
    void ShowDirection();

    QListWidget* avail_;
    QListWidget* sort_;
    QGroupBox* sortOrder_;
    QComboBox* saved_;
    QWidget* savedRow_;
    QPushButton* copy_;
    QPushButton* del_;
    QPushButton* ok_;
    QCheckBox* descending_;
    std::vector<TSavedSortChoice> savedSorts_;
    bool directions_ = false;
};

// The fields to export, chosen in the sort dialog: every field starts in
// "Fields to export"; the result holds one field number (from 1) per name
// left there, in its order, and is empty on Cancel.
std::vector<int> ChooseExportFields(const TJFILE& db, const QIcon& icon);

}  // namespace quorvil
