#pragma once
// "Popup List": the values of one List field added, edited, deleted, moved
// and sorted, at most 100 values of at most 40 characters each.
#include "base_dialog.h"
#include "charset.h"

#include <QStringList>

class QListWidget;

namespace quorvil {

// TPopForm: the window that edits one field's popup list.
class TPopForm : public TBase {
    Q_OBJECT
public:
    static constexpr int kMaxItems = 100;
    static constexpr int kMaxLength = 40;

    explicit TPopForm(QWidget* parent = nullptr);
    // Shows `list` under `caption`; on OK `list` takes the edited values and
    // the result is true; on Cancel it is left as it was.
    bool EditPopupList(QStringList& list, const QString& caption);
    // The set the values are stored in; one it cannot hold is refused.
    void SetCharset(TCharset set) { charset_ = set; }

    void UpdateButtons();
    void AddBtnClick();
    void EditBtnClick();
    void DelBtnClick();
    void UpBtnClick() { MoveItem(-1); }
    void DownBtnClick() { MoveItem(+1); }
    void SortBtnClick();

    QListWidget* ListBox() const { return list_; }
    QStringList Items() const;

private:
    void MoveItem(int step);
    // Asks for a value under `caption` until the set can hold it (in at
    // most kMaxLength bytes); false on Cancel.
    bool AskValue(const QString& caption, QString& text);
    void Changed();
    QPushButton* Small(const char* name, const char* hint, const char* theme, int fallback);

    QListWidget* list_;
    QPushButton* edit_;
    QPushButton* up_;
    QPushButton* del_;
    QPushButton* sort_;
    QPushButton* add_;
    QPushButton* down_;
    TCharset charset_ = TCharset::Windows1252;
};

}  // namespace quorvil
