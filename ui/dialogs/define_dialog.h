#pragma once
// "Define Database Structure": the fields of a new database in order, the
// type of each and the popup values of List fields, and the layout the file
// is written in. The dialog hands the definition back; the caller builds
// the database.
#include "field_definition.h"
#include "layout.h"
#include "popup_values_dialog.h"

#include <cstdint>
#include <vector>

class QComboBox;

namespace quorvil {

struct TDatabaseDefinition {
    TLayout Layout = TLayout::JFile55;
    // The set the names and popup values are written in, the new database's.
    TCharset Charset = TCharset::Windows1252;
    std::vector<TFieldDefinition> Fields;
};

// TDefineForm: the "New database" definition window.
class TDefineForm : public TPopupForm {
    Q_OBJECT
public:
    explicit TDefineForm(QWidget* parent = nullptr);

    // Starts from an empty definition whose names are written in `set`;
    // true after OK.
    bool DefineNewDatabase(TCharset set = TCharset::Windows1252);
    // What the dialog holds: after a true DefineNewDatabase, the new
    // database. Throws, with the refusal, on a name the set cannot hold,
    // which the dialog refuses as it is typed.
    TDatabaseDefinition Definition() const;

    // The type of entry i of the type box, read from its "$" and four
    // hexadecimal digits.
    TFieldType TypeAt(int i) const;
    // The entry of the type box that offers `type`; -1 when none does.
    int IndexOfType(TFieldType type) const;
    QComboBox* FieldType() const { return fieldType_; }
    QComboBox* LayoutBox() const { return layoutBox_; }
    TPopupForm* PopupForm() const { return popupForm_; }
    const std::vector<TFieldType>& FieldTypes() const { return fieldTypes_; }

    void AddBtnClick() override;
    void DelBtnClick() override;
    // Moves the selected field, with its type and popup values, one place
    // up (-1) or down (1).
    void MoveFieldBy(int step);
    QPushButton* UpButton() const { return upBtn_; }
    QPushButton* DownButton() const { return downBtn_; }
    // Shows the selected field's type; throws when no entry has its code.
    void FieldsClick() override;
    void Field_TypeChange();

protected:
    QString FullMessage() const override;
    // A name the list holds already (case ignored) is refused too.
    QString NameProblem(const QString& name) const override;

private:
    void LayoutChange();
    // The layout of the layout box's entry `index`, one per layout in order.
    static TLayout LayoutAt(int index);

    QComboBox* fieldType_;
    QComboBox* layoutBox_;
    QPushButton* upBtn_;
    QPushButton* downBtn_;
    TPopupForm* popupForm_;
    std::vector<TFieldType> fieldTypes_;
    std::vector<QStringList> popupValues_;
};

}  // namespace quorvil
