#pragma once
// "Editing Database Definition": the fields of an open database in rows of
// 20 (number, name, type, "?" for the popup list of a "LIST" field), edited
// in working copies; the caller writes them back after OK.
#include "base_dialog.h"
#include "field_definition.h"

#include <array>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
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

    // Fills the rows with fields first .. first + 19.
    void ShowRows(int first);
    QScrollBar* ScrollBar() const { return scroll_; }
    QLineEdit* NameEdit(int row) const { return rows_[size_t(row)].Name; }
    QComboBox* TypeBox(int row) const { return rows_[size_t(row)].Type; }
    QToolButton* PopupButton(int row) const { return rows_[size_t(row)].Popup; }

private:
    struct Row {
        QLabel* Label;
        QLineEdit* Name;
        QComboBox* Type;
        QToolButton* Popup;
    };
    void EditPopup(int row);
    // OK closes only on a definition that can be written, once what it does
    // to the values has been said and accepted.
    void accept() override;
    // Scrolls field `f` into view and puts the focus on its name or type.
    void FocusField(int f, bool name);

    std::array<Row, kRows> rows_{};
    QScrollBar* scroll_;
    std::vector<TFieldDefinition> fields_;
    const TJFILE* db_ = nullptr;
};

}  // namespace quorvil
