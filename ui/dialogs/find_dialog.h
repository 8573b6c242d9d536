#pragma once
// "Find": the fields to search, with the text and the matching choices above
// them. One form serves the whole run, so its choices stay between uses.
#include "fields_dialog.h"

class QCheckBox;
class QLineEdit;

namespace quorvil {

class TFindForm : public TFieldsForm {
    Q_OBJECT
public:
    explicit TFindForm(QWidget* parent = nullptr);

    // Every field of the database listed and checked; after OK one flag per
    // field, after Cancel none.
    std::vector<bool> ChooseFields(const TJFILE& database);

    QLineEdit* Find() const { return find_; }
    QCheckBox* CaseSensitive() const { return caseSensitive_; }
    QCheckBox* WordSearch() const { return wordSearch_; }
    // The search text as the database's 8-bit text.
    std::string SearchText() const;

private:
    QLineEdit* find_;
    QCheckBox* caseSensitive_;
    QCheckBox* wordSearch_;
};

}  // namespace quorvil
