#pragma once
// The long-text editor. Values show a line break as '¤'; the editor shows
// real lines and turns them back into '¤' on OK.
#include <QDialog>

class QPlainTextEdit;

namespace quorvil {

// The editor's text of a value: every '¤' becomes a line break.
QString MemoTextFromValue(const QString& value);
// The value of the editor's text: every line break (CR LF, CR or LF) becomes
// '¤', and '¤' at the start and the end is removed.
QString ValueFromMemoText(const QString& memo);

// TEditForm: the long-text editor of one cell.
class TEditForm : public QDialog {
    Q_OBJECT
public:
    explicit TEditForm(QWidget* parent = nullptr);
    ~TEditForm() override;
    void SetValue(const QString& value);
    QString Value() const;
    QPlainTextEdit* Memo() const { return memo_; }

private:
    QPlainTextEdit* memo_;
};

// True on OK; then `text` holds the edited value. On Cancel it is unchanged.
bool EditLongText(QString& text);

}  // namespace quorvil
