#pragma once
// "List Fields' Sort Order": for each List field among the sort keys,
// alphabetical or user-defined order, the user-defined order edited with
// Up and Down and, on request, written back as the field's popup list.
#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QButtonGroup;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace quorvil {

struct TListKey {
    QString Name;
    QStringList Popup;  // the field's popup items, in order
};

class TOrderForm : public QDialog {
    Q_OBJECT
public:
    enum { kAlphabetically = 0, kUserDefined = 1 };
    // Writes `order` as the popup list of the field named `field`.
    using PopupWriter = std::function<void(const QString& field, const QStringList& order)>;

    explicit TOrderForm(QWidget* parent = nullptr);
    ~TOrderForm() override;

    // One entry per List key, each user-defined in its popup order.
    void SetKeys(const std::vector<TListKey>& keys);
    void SetPopupWriter(PopupWriter writer) { writer_ = std::move(writer); }
    // True on OK; the choices are then in OrderModes and OrderLists.
    bool ChooseListOrders();
    const std::vector<int>& OrderModes() const { return modes_; }
    const std::vector<QStringList>& OrderLists() const { return lists_; }

    void FieldListClick();
    void OrderClick(int mode);
    void OrderListClick();
    void UpBtnClick() { MoveValue(-1); }
    void DownBtnClick() { MoveValue(+1); }
    void UpdBtnClick();

    QListWidget* FieldList() const { return fields_; }
    QListWidget* OrderList() const { return order_; }
    QRadioButton* OrderButton(int mode) const;

private:
    void MoveValue(int step);

    QListWidget* fields_;
    QListWidget* order_;
    QButtonGroup* group_;
    QPushButton* up_;
    QPushButton* down_;
    QPushButton* upd_;
    std::vector<int> modes_;
    std::vector<QStringList> lists_;
    PopupWriter writer_;
};

}  // namespace quorvil
