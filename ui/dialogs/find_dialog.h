#pragma once
// "Find": the fields to search, with the text and the matching choices above
// them. One form serves the whole run, so its choices stay between uses.
#include "charset.h"
#include "fields_dialog.h"

#include <string>

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
    // The search text as the bytes of the database's set, after OK.
    const std::string& SearchText() const { return search_; }

private:
    // A text the database's set cannot hold occurs in none of its records:
    // it is refused, and the dialog stays open with the text.
    void accept() override;

    QLineEdit* find_;
    QCheckBox* caseSensitive_;
    QCheckBox* wordSearch_;
    TCharset charset_ = TCharset::Windows1252;
    std::string search_;
};

}  // namespace quorvil
