#pragma once
// A line in which a date or a time of day is typed as text ("10/07/2023",
// "07:45"), with a calendar button for dates. The text stands as typed: the
// owner decides what it stores, so no half-typed section ever reaches a cell
// as another value. An empty value is an empty line, never a default.
#include <QLineEdit>

class QCalendarWidget;

namespace quorvil {

class TDateTimeEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class TKind { Date, Time };

    explicit TDateTimeEdit(TKind kind, QWidget* parent = nullptr);

    TKind Kind() const { return kind_; }
    // The form values are written in, as people read it ("dd/mm/yyyy",
    // "dd mmm yyyy", "hh:mm:ss"): shown in an empty line, and the form in
    // which the calendar and the arrow keys write a value into an empty line.
    void SetPattern(const QString& pattern);
    QString Pattern() const { return pattern_; }
    // Width of the widest value the pattern writes (28 September 2000, say)
    // and of the pattern itself.
    int WidestValueWidth() const;
    // Wide enough to show any value in the pattern whole.
    QSize minimumSizeHint() const override;

    // Opens the calendar under the line on the date it holds (today when it
    // holds none). Nothing for a time line.
    void ShowCalendar();
    // The calendar while it is open, else null.
    QCalendarWidget* Calendar() const;

signals:
    // The calendar or an arrow key put a whole new value into the line.
    void ValuePicked();

protected:
    // Up and Down step the day, month or year (hour, minute or second) under
    // the cursor.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Step(int delta);
    void Pick(const QString& text);

    TKind kind_;
    QString pattern_;
    QWidget* popup_ = nullptr;
};

}  // namespace quorvil
