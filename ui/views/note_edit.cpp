#include "note_edit.h"

#include "database_model.h"

#include <QKeyEvent>
#include <QTextBlock>

#include <algorithm>

namespace quorvil {

TNoteEdit::TNoteEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    // Lines stay lines, as in the file: a long one scrolls sideways.
    setLineWrapMode(NoWrap);
    // A bar would cover a one-line note; the caret still scrolls the text.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    document()->setDocumentMargin(2);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!setting_)
            emit textEdited(text());
    });
    connect(this, &QPlainTextEdit::blockCountChanged, this, &TNoteEdit::LinesChanged);
}

QString TNoteEdit::text() const
{
    return toPlainText().replace(QLatin1Char('\n'), LineBreakMark());
}

void TNoteEdit::setText(const QString& text)
{
    setting_ = true;
    setPlainText(QString(text).replace(LineBreakMark(), QString(QLatin1Char('\n'))));
    setting_ = false;
}

void TNoteEdit::insert(const QString& text)
{
    insertPlainText(QString(text).replace(LineBreakMark(), QString(QLatin1Char('\n'))));
}

int TNoteEdit::cursorPosition() const
{
    return textCursor().position();
}

void TNoteEdit::setCursorPosition(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, int(toPlainText().size())));
    setTextCursor(cursor);
}

void TNoteEdit::end(bool mark)
{
    moveCursor(QTextCursor::End, mark ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
}

int TNoteEdit::LineCount() const
{
    return document()->blockCount();
}

QSize TNoteEdit::sizeHint() const
{
    const int lines = std::clamp(LineCount(), 1, kMaxLines);
    const int margins = 2 * (frameWidth() + int(document()->documentMargin())) + 2;
    return {QPlainTextEdit::sizeHint().width(), lines * fontMetrics().lineSpacing() + margins};
}

void TNoteEdit::keyPressEvent(QKeyEvent* event)
{
    // Enter, Alt+Enter and Shift+Enter break the line alike: a plain line
    // feed, as the file holds it (Shift+Enter would be a line separator).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((enter && (mods == Qt::NoModifier || mods == Qt::AltModifier || mods == Qt::ShiftModifier)) ||
        event->text() == LineBreakMark()) {
        if (!isReadOnly())
            insertPlainText(QString(QLatin1Char('\n')));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace quorvil
