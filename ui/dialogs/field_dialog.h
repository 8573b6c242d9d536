#pragma once
// "Select Field": one field chosen from a drop-down list. OK stays disabled
// until an entry is chosen. A command may give it a caption and prompt of
// its own.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace quorvil {

class TFieldForm : public QDialog {
    Q_OBJECT
public:
    explicit TFieldForm(QWidget* parent = nullptr);
    ~TFieldForm() override;
    // Fills the list; nothing is selected afterwards.
    void SetFields(const QStringList& names);
    void SetPrompt(const QString& prompt);
    // The chosen entry (0-based), -1 for none.
    int SelectedIndex() const;
    QComboBox* FieldList() const { return list_; }
    QPushButton* OkButton() const { return ok_; }

private:
    QComboBox* list_;
    QLabel* prompt_;
    QPushButton* ok_;
};

// Shows the chooser over `names`; the index chosen (0-based) or -1 on Cancel.
int ChooseField(const QStringList& names);
// The same with its own caption and prompt, entry `selected` chosen at the start.
int ChooseField(const QStringList& names, const QString& caption, const QString& prompt, int selected);

}  // namespace quorvil
