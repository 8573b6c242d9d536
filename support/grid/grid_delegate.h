#pragma once
// Draws and edits the cells of the typed-column grid by their column's kind.
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

#include <functional>

class QKeyEvent;

namespace quorvil {

class TExtendedGrid;
class TGridColumn;

class TGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TGridDelegate(TExtendedGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // Puts `text` back into a line editor as a refused edit left it; leaving
    // it unchanged then writes nothing, so the refusal is not repeated.
    void KeepRefusedText(QWidget* editor, const QModelIndex& index, const QString& text) const;

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
    // Keys an open editor leaves to the grid (moving to another cell) or
    // takes itself (a line break); false for keys it handles as usual.
    bool EditorKey(QWidget* editor, const QKeyEvent& key);
    bool Guarded(const std::function<bool()>& write) const;
    // What an editor shows, to tell a change made by the user from none.
    QString EditorState(QWidget* editor, const QModelIndex& index) const;

    TExtendedGrid* grid_;
    QPersistentModelIndex pressed_;  // check box under the last left-button press
};

}  // namespace quorvil
