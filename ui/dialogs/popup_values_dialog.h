#pragma once
// "Define values in popup-field": a list of names with Add and Remove. The
// definition dialog builds on it and opens a second one for the values of a
// List field.
#include "charset.h"

#include <QDialog>
#include <QStringList>

class QHBoxLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace quorvil {

// TPopupForm: the "Define values in popup-field" window.
class TPopupForm : public QDialog {
    Q_OBJECT
public:
    explicit TPopupForm(QWidget* parent = nullptr);
    ~TPopupForm() override;

    // Shows the list as it stands; true after OK. OK and Remove are enabled
    // only while the list holds names.
    bool EditValues();
    // Empties the list first.
    bool EditNewValues();
    QStringList Values() const;
    void SetValues(const QStringList& values);
    // Most names the list takes; a further Add is refused with a message.
    void SetMaxCount(int count) { maxCount_ = count; }
    // The set the names are stored in; a name it cannot hold is refused.
    void SetCharset(TCharset set) { charset_ = set; }
    TCharset Charset() const { return charset_; }

    QListWidget* Fields() const { return fields_; }
    QPushButton* AddButton() const { return addBtn_; }
    QPushButton* DelButton() const { return delBtn_; }
    QPushButton* OkButton() const { return okBtn_; }

    // Asks for a name ("Name of new item") and appends it, trimmed; an empty
    // name adds nothing, a longer one than 20 characters (bytes of the set)
    // or one the set cannot hold is refused and asked for again.
    virtual void AddBtnClick();
    // Removes the selected name.
    virtual void DelBtnClick();
    virtual void FieldsClick() {}

protected:
    void EnableButtons();
    // The column of buttons, where the definition dialog adds its type box.
    QVBoxLayout* SideColumn() const { return side_; }
    // The message when the list is full.
    virtual QString FullMessage() const;
    // Why `name` (trimmed, not empty) cannot be added; empty when it can.
    virtual QString NameProblem(const QString& name) const;
    QLabel* label1_;

private:
    QListWidget* fields_;
    QPushButton* addBtn_;
    QPushButton* delBtn_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
    QVBoxLayout* side_;
    int maxCount_ = 50;
    TCharset charset_ = TCharset::Windows1252;
};

}  // namespace quorvil
