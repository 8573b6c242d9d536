#include "grid_delegate.h"

#include "date_time_edit.h"
#include "extended_grid.h"
#include "grid_editors.h"
#include "grid_text.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace quorvil {

namespace {

// Marks the controls of typed columns, and remembers what each showed when
// it was loaded so that an unchanged control writes nothing.
constexpr char kInPlaceProperty[] = "quorvilInPlace";
constexpr char kLoadedProperty[] = "quorvilLoaded";

bool IsInPlace(const QObject* editor)
{
    return editor && editor->property(kInPlaceProperty).toBool();
}

bool PlainKey(const QKeyEvent& key)
{
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QPalette::ColorGroup GroupOf(const QStyleOptionViewItem& option)
{
    if (!option.state.testFlag(QStyle::State_Enabled))
        return QPalette::Disabled;
    return option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

}  // namespace

TGridDelegate::TGridDelegate(TExtendedGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void TGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const TGridColumn* column = grid_->Column(index.column());
    if (!column)
        return QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    if (column->ColumnKind == TColumnKind::CheckBox || column->ColumnKind == TColumnKind::Picture)
        PaintPicture(*painter, option, *column, index);
    else
        PaintText(*painter, option, *column, index);
    PaintFocus(*painter, option);
    painter->restore();
}

void TGridDelegate::PaintPicture(QPainter& painter, const QStyleOptionViewItem& option, const TGridColumn& column,
                                 const QModelIndex& index) const
{
    const QRect cell = option.rect;
    const QVariant background = index.data(Qt::BackgroundRole);
    painter.fillRect(cell, background.isValid() ? background.value<QBrush>()
                                                : option.palette.brush(GroupOf(option), QPalette::Button));
    const QString text = grid_->CellText(index);
    const QPixmap picture = column.ColumnKind == TColumnKind::CheckBox ? grid_->CheckPicture(column.CheckStateOf(text))
                                                                       : grid_->Picture(column.PictureName(text));
    if (!picture.isNull()) {
        const QRect inner = cell.adjusted(1, 1, -1, -1);
        const QRect target = QStyle::alignedRect(option.direction,
                                                 ToQtAlignment(column.CellHorzAlign, column.CellVertAlign),
                                                 picture.deviceIndependentSize().toSize(), inner);
        painter.save();
        painter.setClipRect(inner, Qt::IntersectClip);
        painter.drawPixmap(target.topLeft(), picture);
        painter.restore();
    }
    // A raised frame, so the cell reads as a button.
    painter.setPen(Qt::white);
    painter.drawLine(cell.topLeft(), cell.topRight());
    painter.drawLine(cell.topLeft(), cell.bottomLeft());
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    painter.drawLine(cell.topRight(), cell.bottomRight());
}

void TGridDelegate::PaintText(QPainter& painter, const QStyleOptionViewItem& option, const TGridColumn& column,
                              const QModelIndex& index) const
{
    const QPalette::ColorGroup group = GroupOf(option);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QVariant background = selected ? QVariant() : index.data(Qt::BackgroundRole);
    if (selected)
        painter.fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    else if (background.isValid())
        painter.fillRect(option.rect, background.value<QBrush>());
    QColor color = option.palette.color(group, QPalette::Text);
    if (selected)
        color = option.palette.color(group, QPalette::HighlightedText);
    else if (column.CellColor.isValid())
        color = column.CellColor;
    else if (background.isValid())  // readable on a marked cell under a dark theme too
        color = background.value<QBrush>().color().lightness() > 128 ? QColor(Qt::black) : QColor(Qt::white);
    painter.setPen(color);
    painter.setFont(column.CellFont.resolve(option.font));
    QString shown = grid_->DisplayText(index);
    TOverflow overflow = column.CellOverflow;
    if (column.HoldsNumbers() && !FitsInCell(painter.fontMetrics(), shown, option.rect.width())) {
        // A number with digits cut would read as another number.
        shown = HashFill(painter.fontMetrics(), option.rect.width());
        overflow = TOverflow::Clip;
    }
    DrawCellText(painter, option.rect, shown, overflow, column.CellHorzAlign, column.CellVertAlign);
}

void TGridDelegate::PaintFocus(QPainter& painter, const QStyleOptionViewItem& option) const
{
    if (!option.state.testFlag(QStyle::State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = option.rect.adjusted(1, 1, -1, -1);
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
    focus.backgroundColor = option.palette.color(
        GroupOf(option), option.state.testFlag(QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
    grid_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, grid_);
}

QWidget* TGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    const TGridColumn* column = grid_->Column(index.column());
    if (!column || !grid_->CellEditable(index))
        return nullptr;
    if (column->ColumnKind == TColumnKind::Text)
        return QStyledItemDelegate::createEditor(parent, option, index);
    QWidget* control = CreateInPlaceControl(*column, parent, *grid_);
    if (!control)
        return nullptr;
    control->setProperty(kInPlaceProperty, true);
    auto* self = const_cast<TGridDelegate*>(this);  // Qt makes createEditor const
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // Picking an item is a change at once, as in a drop-down list.
        connect(combo, &QComboBox::activated, self, [self, combo] { emit self->commitData(combo); });
    } else if (auto* line = qobject_cast<TDateTimeEdit*>(control)) {
        // So is a date chosen in the calendar.
        connect(line, &TDateTimeEdit::ValuePicked, self, [self, line] { emit self->commitData(line); });
    }
    return control;
}

void TGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const TGridColumn* column = grid_->Column(index.column());
    if (column && IsInPlace(editor))
        LoadInPlaceControl(editor, *column, grid_->CellText(index));
    else
        QStyledItemDelegate::setEditorData(editor, index);
    if ((column && IsInPlace(editor)) || qobject_cast<QLineEdit*>(editor))
        editor->setProperty(kLoadedProperty, EditorState(editor, index));
}

void TGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    // Tried once per change: closing the editor afterwards does not repeat
    // a write that failed.
    if (editor->property(kLoadedProperty).isValid()) {
        const QString state = EditorState(editor, index);
        if (state == editor->property(kLoadedProperty).toString())
            return;
        editor->setProperty(kLoadedProperty, state);
    }
    const TGridColumn* column = grid_->Column(index.column());
    if (!column || !IsInPlace(editor)) {
        Guarded([&] {
            QStyledItemDelegate::setModelData(editor, model, index);
            return true;
        });
        return;
    }
    Guarded([&] { return grid_->WriteControlValue(index, InPlaceControlText(editor, *column)); });
}

QString TGridDelegate::EditorState(QWidget* editor, const QModelIndex& index) const
{
    const TGridColumn* column = grid_->Column(index.column());
    if (column && IsInPlace(editor))
        return InPlaceControlState(editor, *column);
    const auto* line = qobject_cast<QLineEdit*>(editor);
    return line ? line->text() : QString();
}

void TGridDelegate::KeepRefusedText(QWidget* editor, const QModelIndex& index, const QString& text) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    line->setText(text);
    line->selectAll();  // shows that the cell is being edited, as a fresh editor does
    line->setProperty(kLoadedProperty, EditorState(editor, index));
}

bool TGridDelegate::Guarded(const std::function<bool()>& write) const
{
    // Writes run inside Qt's event handling, which an exception must not
    // cross: the grid's own errors and the model's become OnControlError.
    try {
        return write();
    } catch (const EGridError& error) {
        emit grid_->OnControlError(error.Message());
    } catch (const std::exception& error) {
        emit grid_->OnControlError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void TGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    if (!IsInPlace(editor))
        return QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    QRect rect = option.rect;
    // A date or time must show whole: in a narrow column its line reaches
    // over the next cell (toward the text's end) while it is open.
    const auto* line = qobject_cast<TDateTimeEdit*>(editor);
    const int wanted = line ? line->minimumSizeHint().width() : 0;
    if (line && rect.width() < wanted) {
        if (option.direction == Qt::RightToLeft)
            rect.setLeft(rect.right() + 1 - wanted);
        else
            rect.setWidth(wanted);
    }
    editor->setGeometry(rect);
}

bool TGridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                const QModelIndex& index)
{
    const TGridColumn* column = grid_->Column(index.column());
    if (column && column->ColumnKind == TColumnKind::CheckBox)
        return CheckBoxEvent(event, option, index);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool TGridDelegate::CheckBoxEvent(QEvent* event, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A second click of a double click toggles again, like any click.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool onBox = mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint());
        pressed_ = onBox ? QPersistentModelIndex(index) : QPersistentModelIndex();
        return false;  // the view still makes the cell current
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click = mouse->button() == Qt::LeftButton && pressed_.isValid() && pressed_ == index &&
                           option.rect.contains(mouse->position().toPoint());
        pressed_ = QPersistentModelIndex();
        return click && Guarded([&] { return grid_->ToggleCheckBox(index); });
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool space = key->key() == Qt::Key_Space && PlainKey(*key);
        return space && Guarded([&] { return grid_->ToggleCheckBox(index); });
    }
    default: return false;
    }
}

bool TGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && object->isWidgetType()) {
        auto* editor = static_cast<QWidget*>(object);
        if (EditorKey(editor, *static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

bool TGridDelegate::EditorKey(QWidget* editor, const QKeyEvent& key)
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (line && enter && (mods == Qt::AltModifier || mods == Qt::ShiftModifier)) {
        // A line break, in a column whose model reads a mark as one.
        const TGridColumn* column = grid_->Column(grid_->currentIndex().column());
        if (!column || column->LineBreakText.isEmpty())
            return false;
        line->insert(column->LineBreakText);
        return true;
    }
    if (mods != Qt::NoModifier)
        return false;
    // Up and Down leave any cell, instead of stepping a control's value;
    // Left and Right leave a line only at its ends, else they move the
    // caret. The mouse wheel and typing still change a control.
    bool leave = key.key() == Qt::Key_Up || key.key() == Qt::Key_Down;
    if (line && !line->hasSelectedText()) {
        const bool rtl = line->layoutDirection() == Qt::RightToLeft;
        const int toStart = rtl ? Qt::Key_Right : Qt::Key_Left;
        const int toEnd = rtl ? Qt::Key_Left : Qt::Key_Right;
        leave = leave || (key.key() == toStart && line->cursorPosition() == 0) ||
                (key.key() == toEnd && line->cursorPosition() == line->text().size());
    }
    if (!leave)
        return false;
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    QKeyEvent move(QEvent::KeyPress, key.key(), key.modifiers());
    QApplication::sendEvent(grid_, &move);
    return true;
}

}  // namespace quorvil
