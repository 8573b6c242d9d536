#pragma once
// Draws and edits the cells of the typed-column grid by their column's kind.
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

#include <functional>

namespace quorvil {

class TExtendedGrid;
class TGridColumn;

class TGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TGridDelegate(TExtendedGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void PaintPicture(QPainter& painter, const QStyleOptionViewItem& option, const TGridColumn& column,
                      const QModelIndex& index) const;
    void PaintText(QPainter& painter, const QStyleOptionViewItem& option, const TGridColumn& column,
                   const QModelIndex& index) const;
    void PaintFocus(QPainter& painter, const QStyleOptionViewItem& option) const;
    bool CheckBoxEvent(QEvent* event, const QStyleOptionViewItem& option, const QModelIndex& index);
    bool Guarded(const std::function<bool()>& write) const;

    TExtendedGrid* grid_;
    QPersistentModelIndex pressed_;  // check box under the last left-button press
};

}  // namespace quorvil
