#pragma once
// "Editing Database Definition": the fields of an open database in rows of
// 20 (number, name, type, "?" for the popup list of a "LIST" field), edited
// in working copies, with fields added, deleted and moved up and down; the
// caller writes them back after OK.
#include "base_dialog.h"
#include "charset.h"
#include "field_definition.h"
#include "field_layout.h"

#include <array>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace quorvil {

// TEditDB: the "Edit definition" window.
class TEditDB : public TBase {
    Q_OBJECT
public:
    static constexpr int kRows = 20;

    explicit TEditDB(QWidget* parent = nullptr);
    // Edits the definition of `db`, which it only reads; true on OK, then
    // Definition() holds the edited names, types and popup lists.
    bool Execute(const TJFILE& db);
    const std::vector<TFieldDefinition>& Definition() const { return fields_; }
    // The field of the database each field of Definition() was; 0 for one
    // added.
    const TFieldSources& Sources() const { return sources_; }

    // Fills the rows with fields first .. first + 19.
    void ShowRows(int first);
    QScrollBar* ScrollBar() const { return scroll_; }
    QLineEdit* NameEdit(int row) const { return rows_[size_t(row)].Name; }
    QComboBox* TypeBox(int row) const { return rows_[size_t(row)].Type; }
    QToolButton* PopupButton(int row) const { return rows_[size_t(row)].Popup; }
    QPushButton* AddBtn() const { return addBtn_; }
    QPushButton* DelBtn() const { return delBtn_; }
    QPushButton* UpBtn() const { return upBtn_; }
    QPushButton* DownBtn() const { return downBtn_; }
    // The field the buttons act on: the one whose row has the focus (or had
    // it last).
    int CurrentField();

    // Asks for the name of a field and adds it after the current one, as a
    // "STRING" field; refused beyond the layout's most fields.
    void AddBtnClick();
    // Deletes the current field, after asking when it holds values; the
    // last field stays.
    void DelBtnClick();
    // Moves the current field one place up (-1) or down (1).
    void MoveField(int step);

private:
    struct Row {
        QLabel* Label;
        QLineEdit* Name;
        QComboBox* Type;
        QToolButton* Popup;
    };
    void EditPopup(int row);
    TCharset Charset() const;
    // Field `f`'s name as the row shows it: as typed when the set cannot
    // hold it.
    QString ShownName(int f) const;
    void NameEdited(int f, const QString& text);
    // OK closes only on a definition that can be written, once what it does
    // to the values has been said and accepted.
    void accept() override;
    // Scrolls field `f` into view and puts the focus on its name or type.
    void FocusField(int f, bool name);
    // The scroll bar's range for the number of fields.
    void SetUpScrollBar();
    // The rows after a change of the fields, the current one in view.
    void ShowFields();

    std::array<Row, kRows> rows_{};
    QScrollBar* scroll_;
    QPushButton* addBtn_;
    QPushButton* delBtn_;
    QPushButton* upBtn_;
    QPushButton* downBtn_;
    std::vector<TFieldDefinition> fields_;
    TFieldSources sources_;
    // Per field, a typed name the database's set cannot hold; empty when the
    // name went in.
    std::vector<QString> unstored_;
    int current_ = 1;
    const TJFILE* db_ = nullptr;
};

}  // namespace quorvil
