#pragma once
// A long text of the record view, shown on as many lines as it has (up to a
// limit, scrolling beyond). Its text gives each line break as the '¤' the
// grid and the list show, so the panel reads and writes it as it does a
// line; a typed '¤' breaks the line too.
#include <QPlainTextEdit>

namespace quorvil {

class TNoteEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // Lines shown before the note scrolls.
    static constexpr int kMaxLines = 6;

    explicit TNoteEdit(QWidget* parent = nullptr);

    // The text with '¤' for each line break.
    QString text() const;
    // Shows `text`, each '¤' on a new line; no textEdited follows.
    void setText(const QString& text);
    // As if typed at the cursor.
    void insert(const QString& text);
    int cursorPosition() const;
    void setCursorPosition(int position);
    // Cursor to the end, selecting up to it when `mark` is set.
    void end(bool mark);
    int LineCount() const;
    // Tall enough for its lines, up to kMaxLines.
    QSize sizeHint() const override;

signals:
    // The user changed the text (not setText).
    void textEdited(const QString& text);
    // The number of lines changed, and with it the height the note wants.
    void LinesChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool setting_ = false;
};

}  // namespace quorvil
