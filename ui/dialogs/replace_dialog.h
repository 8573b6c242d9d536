#pragma once
// The replace dialog: search and replacement texts, the fields to change and
// the options. One form serves the whole run, so texts and options stay
// between uses while the field list is refilled each time.
#include "charset.h"

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quorvil {

class TReplaceForm : public QDialog {
    Q_OBJECT
public:
    explicit TReplaceForm(QWidget* parent = nullptr);

    // Lists the names, checking those whose flag is set.
    void SetFields(const QStringList& names, const std::vector<bool>& checked);
    // The set of the database the texts are for.
    void SetCharset(TCharset set) { charset_ = set; }
    // True on OK. A search text taken from the clipboard when the box is
    // empty (one line only) saves typing it.
    bool ChooseReplace();
    // OK needs a search text and at least one field.
    bool CanReplace() const;

    std::vector<bool> Checked() const;
    // The texts as bytes of the set, after OK.
    const std::string& SearchText() const { return search_; }
    const std::string& ReplacementText() const { return replacement_; }

    QLineEdit* SearchFor() const { return searchFor_; }
    QLineEdit* ReplaceWith() const { return replaceWith_; }
    QListWidget* FieldList() const { return fieldList_; }
    QCheckBox* CaseSensitive() const { return caseSensitive_; }
    QCheckBox* WordSearch() const { return wordSearch_; }
    QCheckBox* Prompt() const { return prompt_; }
    QPushButton* OkBtn() const { return ok_; }

private:
    void CheckAll(bool on);
    void UpdateOk();
    // OK takes texts the set can hold; one it cannot is refused, and the
    // dialog stays open with the focus on it.
    void TakeTexts();

    QLineEdit* searchFor_;
    QLineEdit* replaceWith_;
    QListWidget* fieldList_;
    QCheckBox* caseSensitive_;
    QCheckBox* wordSearch_;
    QCheckBox* prompt_;
    QPushButton* ok_;
    TCharset charset_ = TCharset::Windows1252;
    std::string search_;
    std::string replacement_;
};

}  // namespace quorvil
