#include "key_filter.h"

#include "command_context.h"
#include "record_panel.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

namespace quorvil {

TKeyFilter::TKeyFilter(QWidget& window, const TCommandContext& context) : window_(window), context_(context)
{
    qApp->installEventFilter(this);
}

TKeyFilter::~TKeyFilter()
{
    qApp->removeEventFilter(this);
}

bool TKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &window_)
        return FormKeyDown(*static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::ShortcutOverride && UndoKeyForHistory(watched, *static_cast<QKeyEvent*>(event)))
        return true;  // left unaccepted, so the shortcut fires
    return QObject::eventFilter(watched, event);
}

bool TKeyFilter::FormKeyDown(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() &
                                       (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const char* button = nullptr;
    if (key.key() == Qt::Key_Insert && mods == Qt::NoModifier)
        button = "AddBtn";
    else if (key.key() == Qt::Key_H && mods == Qt::ControlModifier)
        button = "ReplaceBtn";
    else if (key.key() == Qt::Key_F && (mods & ~Qt::ShiftModifier) == Qt::ControlModifier)
        button = "FindBtn";  // the character Ctrl+F types, with or without Shift
    if (!button)
        return false;
    // A disabled button ignores the click; the key is consumed all the same.
    context_.Action(button)->trigger();
    return true;
}

bool UndoKeyForHistory(QObject* watched, const QKeyEvent& key)
{
    if (!key.matches(QKeySequence::Undo) && !key.matches(QKeySequence::Redo) &&
        key.keyCombination() != QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z))
        return false;
    for (QObject* object = watched; object; object = object->parent())
        if (qobject_cast<TRecordPanel*>(object))
            return true;
    return false;
}

}  // namespace quorvil
