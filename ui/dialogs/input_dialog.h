#pragma once
// The one-line input box: an edit line over OK and Cancel. Enter accepts,
// Escape or closing the window cancels.
#include "charset.h"

#include <QDialog>

#include <string>

class QLineEdit;

namespace quorvil {

class TInputForm : public QDialog {
    Q_OBJECT
public:
    explicit TInputForm(QWidget* parent = nullptr);
    void SetCaption(const QString& caption);
    void SetText(const QString& text);
    void SetMaxLength(int maxLength);
    QString Text() const;
    QLineEdit* Edit() const { return edit_; }

private:
    QLineEdit* edit_;
};

// True when accepted; then `text` holds the line (at most maxLength
// characters). On cancel `text` is left as it was.
bool InputLine(const QString& caption, QString& text, int maxLength);
// As InputLine, for text stored in a database of `set`: a line the set
// cannot hold, or that takes more than maxLength bytes, is refused with a
// message and offered again as typed. True when accepted; then `bytes`
// holds the line's bytes.
bool InputBytes(const QString& caption, QString& text, int maxLength, TCharset set, std::string& bytes);

}  // namespace quorvil
