#pragma once
// The OK/Cancel base dialog: a client panel for the descendant's content and
// a bottom panel with OK and Cancel at the right. The window position is
// restored on creation and stored on destruction under the form's name.
#include <QDialog>

class QPushButton;

namespace quorvil {

// TBase: the OK/Cancel window the definition editor, popup list and merge windows build on.
class TBase : public QDialog {
    Q_OBJECT
public:
    // `name` is the form's object name, which keys its stored position.
    explicit TBase(const char* name, QWidget* parent = nullptr);
    ~TBase() override;
    // Shows the form modally; true when closed with OK.
    bool Execute();

    QWidget* Panel1() const { return panel1_; }
    QWidget* Panel2() const { return panel2_; }
    QPushButton* OkBtn() const { return ok_; }
    QPushButton* CancelBtn() const { return cancel_; }

protected:
    // Restores the stored position; descendants call it once they are built.
    void RestorePosition();

private:
    QWidget* panel1_;
    QWidget* panel2_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace quorvil
