#pragma once
// Which records a command writes while the views show only some of them:
// all of them, the ones shown, or (where the command has them) the selected
// rows. The shown records are the default, they are what the user looks at;
// where the command has a selection, the selected rows are.
#include <QDialog>

#include <optional>

class QRadioButton;

namespace quorvil {

enum class TRecordScope { All, Shown, Selected };

class TRecordsForm : public QDialog {
    Q_OBJECT
public:
    // `selected` < 0: the command has no selection to offer.
    TRecordsForm(const QString& caption, int all, int shown, int selected, QWidget* parent = nullptr);
    TRecordScope Scope() const;
    QRadioButton* Button(TRecordScope scope) const;

private:
    QRadioButton* all_;
    QRadioButton* shown_;
    QRadioButton* selected_ = nullptr;
};

// Asks when fewer records are shown than the database holds, else answers
// All without a question; nothing on Cancel.
std::optional<TRecordScope> ChooseRecordScope(QWidget* parent, const QString& caption, int all, int shown,
                                              int selected = -1);

}  // namespace quorvil
