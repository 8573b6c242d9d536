#include "date_time_edit.h"

#include "date_text.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTime>
#include <QVBoxLayout>

namespace quorvil {

namespace {

std::string Ascii(const QString& text)
{
    return text.toStdString();
}

QString FromAscii(const std::string& text)
{
    return QString::fromStdString(text);
}

// Which of the three parts of a date or time the cursor stands in or just
// after: 0 day (hours), 1 month (minutes), 2 year (seconds).
int PartAt(const QString& text, int cursor)
{
    int part = -1;
    bool inRun = false;
    for (int i = 0; i < text.size() && i < cursor; ++i) {
        const bool runChar = text[i].isLetterOrNumber();
        if (runChar && !inRun)
            ++part;
        inRun = runChar;
    }
    return std::clamp(part, 0, 2);
}

// Where part `part` of `text` ends, for the cursor to stay in it.
int EndOfPart(const QString& text, int part)
{
    int seen = -1;
    bool inRun = false;
    for (int i = 0; i < text.size(); ++i) {
        const bool runChar = text[i].isLetterOrNumber();
        if (runChar && !inRun)
            ++seen;
        if (!runChar && inRun && seen == part)
            return i;
        inRun = runChar;
    }
    return int(text.size());
}

// The form a pattern such as "dd/mm/yy" or "d mmm yyyy" names, read off a
// date written in it.
TDateForm FormOfPattern(const QString& pattern)
{
    QString sample = pattern;
    for (const auto& [part, text] :
         {std::pair{"yyyy", "2024"}, {"yy", "24"}, {"mmm", "Mar"}, {"mm", "03"}, {"m", "3"}, {"dd", "07"}, {"d", "7"}})
        sample.replace(QLatin1String(part), QLatin1String(text));
    return DateFormOf(Ascii(sample)).value_or(TDateForm{});
}

// A date as the line's pattern writes it; a year two digits would misread
// gets four.
QString DateInPattern(const QDate& date, const QString& pattern)
{
    return FromAscii(DateText({date.year(), date.month(), date.day()}, FormOfPattern(pattern)));
}

}  // namespace

TDateTimeEdit::TDateTimeEdit(TKind kind, QWidget* parent) : QLineEdit(parent), kind_(kind)
{
    SetPattern(kind == TKind::Date ? QStringLiteral("dd/mm/yyyy") : QStringLiteral("hh:mm:ss"));
    if (kind == TKind::Date) {
        QAction* calendar = addAction(
            QIcon::fromTheme(QStringLiteral("x-office-calendar"), style()->standardIcon(QStyle::SP_ArrowDown)),
            TrailingPosition);
        calendar->setObjectName(QStringLiteral("CalendarBtn"));
        calendar->setToolTip(tr("Choose the date in a calendar (Alt+Down)"));
        connect(calendar, &QAction::triggered, this, &TDateTimeEdit::ShowCalendar);
    }
}

void TDateTimeEdit::SetPattern(const QString& pattern)
{
    pattern_ = pattern;
    setPlaceholderText(pattern);
}

int TDateTimeEdit::WidestValueWidth() const
{
    const QFontMetrics metrics = fontMetrics();
    int widest = metrics.horizontalAdvance(pattern_);  // shown in an empty line
    if (kind_ == TKind::Time)
        return std::max(widest, metrics.horizontalAdvance(QTime(20, 48, 48).toString(pattern_)));
    // Month names differ in width; days and years are widest at two and four digits.
    for (int month = 1; month <= 12; ++month)
        widest = std::max(widest, metrics.horizontalAdvance(DateInPattern(QDate(2000, month, 28), pattern_)));
    return widest;
}

QSize TDateTimeEdit::minimumSizeHint() const
{
    const QSize base = QLineEdit::minimumSizeHint();
    QStyleOptionFrame option;
    initStyleOption(&option);
    // Two pixels of text margin on each side, as the line keeps them.
    const QSize text(WidestValueWidth() + 4 + textMargins().left() + textMargins().right(), fontMetrics().height());
    int width = style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this).width();
    if (kind_ == TKind::Date)
        width += fontMetrics().height() + 8;  // the calendar button
    return {std::max(base.width(), width), base.height()};
}

QCalendarWidget* TDateTimeEdit::Calendar() const
{
    return popup_ && popup_->isVisible() ? popup_->findChild<QCalendarWidget*>() : nullptr;
}

void TDateTimeEdit::ShowCalendar()
{
    if (kind_ != TKind::Date || isReadOnly())
        return;
    if (!popup_) {
        popup_ = new QFrame(this, Qt::Popup);
        popup_->setObjectName(QStringLiteral("CalendarPopup"));
        static_cast<QFrame*>(popup_)->setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(popup_);
        layout->setContentsMargins(1, 1, 1, 1);
        auto* calendar = new QCalendarWidget(popup_);
        calendar->setObjectName(QStringLiteral("Calendar"));
        calendar->setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
        calendar->setGridVisible(true);
        layout->addWidget(calendar);
        connect(calendar, &QCalendarWidget::activated, this, [this](const QDate& date) {
            popup_->hide();
            Pick(DateInPattern(date, pattern_));
        });
        connect(calendar, &QCalendarWidget::clicked, calendar, &QCalendarWidget::activated);
    }
    auto* calendar = popup_->findChild<QCalendarWidget*>();
    const std::optional<TCivilDate> shown = ParseDateText(Ascii(text()));
    calendar->setSelectedDate(shown ? QDate(shown->Year, shown->Month, shown->Day) : QDate::currentDate());
    popup_->adjustSize();
    // Below the line, or above it where the screen ends.
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.y() + popup_->height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - popup_->height());
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - popup_->width())));
    }
    popup_->move(at);
    popup_->show();
    calendar->setFocus();
}

void TDateTimeEdit::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && mods == Qt::NoModifier && !isReadOnly()) {
        Step(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    if (kind_ == TKind::Date && ((event->key() == Qt::Key_Down && mods == Qt::AltModifier) ||
                                 (event->key() == Qt::Key_F4 && mods == Qt::NoModifier))) {
        ShowCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDateTimeEdit::Step(int delta)
{
    const QString current = text();
    const int part = PartAt(current, cursorPosition());
    if (current.trimmed().isEmpty()) {
        // An arrow in an empty line starts from today, or the hour now.
        const QTime now(QTime::currentTime().hour(), 0);
        Pick(kind_ == TKind::Date ? DateInPattern(QDate::currentDate(), pattern_) : now.toString(pattern_));
        return;
    }
    const std::string typed = Ascii(current);
    QString stepped;
    if (kind_ == TKind::Date) {
        const std::optional<TCivilDate> date = ParseDateText(typed);
        if (!date)
            return QApplication::beep();
        QDate value(date->Year, date->Month, date->Day);
        value = part == 0 ? value.addDays(delta) : part == 1 ? value.addMonths(delta) : value.addYears(delta);
        if (!value.isValid() || value.year() < 1000 || value.year() > 9999)
            return QApplication::beep();
        stepped = FromAscii(DateText({value.year(), value.month(), value.day()}, *DateFormOf(typed)));
    } else {
        const std::optional<TClockTime> time = ParseTimeText(typed);
        if (!time)
            return QApplication::beep();
        static constexpr int kSeconds[3] = {3600, 60, 1};
        const QTime value = QTime(time->Hour, time->Minute, time->Second).addSecs(delta * kSeconds[part]);
        TTimeForm form = *TimeFormOf(typed);
        form.Seconds = form.Seconds || value.second() != 0;
        stepped = FromAscii(TimeText({value.hour(), value.minute(), value.second()}, form));
    }
    Pick(stepped);
    setCursorPosition(EndOfPart(stepped, part));
}

void TDateTimeEdit::Pick(const QString& text)
{
    setText(text);
    emit ValuePicked();
}

}  // namespace quorvil
