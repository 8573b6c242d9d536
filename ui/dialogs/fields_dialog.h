#pragma once
// "Fields to search": a check-box list of field names with All and None.
// The find dialog builds on it.
#include <QDialog>
#include <QStringList>

#include <vector>

class QListWidget;
class QVBoxLayout;

namespace quorvil {

class TJFILE;

class TFieldsForm : public QDialog {
    Q_OBJECT
public:
    explicit TFieldsForm(QWidget* parent = nullptr);
    // Fills the list, every entry checked.
    void SetFields(const QStringList& names);
    // One flag per entry, in list order.
    std::vector<bool> Checked() const;
    void CheckAll(bool on);
    QListWidget* CheckBoxList() const { return list_; }

protected:
    // The column beside the list and the area above it, where derived
    // dialogs add their controls.
    QVBoxLayout* SideColumn() const { return side_; }
    QVBoxLayout* TopArea() const { return top_; }

private:
    QListWidget* list_;
    QVBoxLayout* side_;
    QVBoxLayout* top_;
};

// One flag per name after OK; no flags at all after Cancel.
std::vector<bool> ChooseFields(const QStringList& names);
// The same over the fields of a database, in field order.
std::vector<bool> ChooseFields(const TJFILE& database);

}  // namespace quorvil
