#pragma once
// The date picker: a month calendar with week numbers. A double click on a
// day (or Enter) accepts, Escape cancels.
#include <QDate>
#include <QDialog>

class QCalendarWidget;

namespace quorvil {

// TCalForm: the calendar window of a date field.
class TCalForm : public QDialog {
    Q_OBJECT
public:
    explicit TCalForm(QWidget* parent = nullptr);
    void SetDate(const QDate& date);
    QDate Date() const;
    QCalendarWidget* Calendar() const { return calendar_; }

private:
    QCalendarWidget* calendar_;
};

// Shows the picker with its top-left corner at screen position (x, y) on
// `date`. True when a day was chosen; then `date` holds it.
bool PickDate(int x, int y, QDate& date);

}  // namespace quorvil
