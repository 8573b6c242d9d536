#pragma once
// "Select Field": one field chosen from a drop-down list. OK stays disabled
// until an entry is chosen.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

namespace quorvil {

class TFieldForm : public QDialog {
    Q_OBJECT
public:
    explicit TFieldForm(QWidget* parent = nullptr);
    ~TFieldForm() override;
    // Fills the list; nothing is selected afterwards.
    void SetFields(const QStringList& names);
    // The chosen entry (0-based), -1 for none.
    int SelectedIndex() const;
    QComboBox* FieldList() const { return list_; }
    QPushButton* OkButton() const { return ok_; }

private:
    QComboBox* list_;
    QPushButton* ok_;
};

// Shows the chooser over `names`; the index chosen (0-based) or -1 on Cancel.
int ChooseField(const QStringList& names);

}  // namespace quorvil
