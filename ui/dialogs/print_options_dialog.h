#pragma once
// The choices of a printout: table or record cards, portrait or landscape,
// the fields in print order, the font size. The preview follows every
// change while the dialog is open, through Changed().
#include "base_dialog.h"
#include "print_options.h"

#include <QStringList>

class QLabel;
class QRadioButton;
class QSpinBox;

namespace quorvil {

class TPrintOptionsForm : public TBase {
    Q_OBJECT
public:
    // `fieldNames` are the database's field names, field 1 first.
    explicit TPrintOptionsForm(const QStringList& fieldNames, QWidget* parent = nullptr);

    void SetOptions(const TPrintOptions& options);
    TPrintOptions Options() const;
    // Asks for the fields in the field chooser, starting from those chosen.
    void ChooseFields();

signals:
    // Any choice changed; Options() tells the new ones.
    void Changed();

private:
    void ShowFields();

    QStringList names_;
    std::vector<int> fields_;  // as TPrintOptions::Fields
    QRadioButton* table_;
    QRadioButton* cards_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
    QLabel* fieldsLabel_;
    QSpinBox* font_;
};

}  // namespace quorvil
