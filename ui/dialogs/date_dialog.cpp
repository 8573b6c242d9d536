#include "date_dialog.h"

#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QVBoxLayout>

namespace quorvil {

TCalForm::TCalForm(QWidget* parent) : QDialog(parent), calendar_(new QCalendarWidget(this))
{
    setObjectName(FromUtf8("CalForm"));
    setWindowTitle(FromUtf8("Date Picker"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    calendar_->setObjectName(FromUtf8("Calendar"));
    // English month names and ISO weeks, whatever the user's language.
    calendar_->setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    calendar_->setGridVisible(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(calendar_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(calendar_, &QCalendarWidget::activated, this, &QDialog::accept);
}

void TCalForm::SetDate(const QDate& date)
{
    calendar_->setSelectedDate(date);
}

QDate TCalForm::Date() const
{
    return calendar_->selectedDate();
}

bool PickDate(int x, int y, QDate& date)
{
    TCalForm form(QApplication::activeWindow());
    form.SetDate(date);
    form.adjustSize();
    form.move(x, y);
    form.Calendar()->setFocus();
    if (ExecModal(form) != QDialog::Accepted)
        return false;
    date = form.Date();
    return true;
}

}  // namespace quorvil
