#pragma once
// The report window of the open command: a read-only list of findings with
// "&Close" and "&Fix". It is accepted when closed with "&Fix".
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace quorvil {

class TReportForm : public QDialog {
    Q_OBJECT
public:
    explicit TReportForm(QWidget* parent = nullptr);
    void SetLines(const QStringList& lines);
    QPlainTextEdit* Memo() const { return memo_; }

private:
    QPlainTextEdit* memo_;
};

// Shows the lines; true when the user pressed "&Fix".
bool ShowReport(const QStringList& lines);

}  // namespace quorvil
