#include "message_dialog.h"

#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace quorvil {

namespace {

bool g_snap = false;

const char* const kButtonNames[kButtonKinds] = {"Yes",   "No",  "OK",      "Cancel",   "Abort", "Retry",
                                                "Ignore", "All", "NoToAll", "YesToAll", "Help"};
const int kResults[kButtonKinds] = {mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll,
                                    mrYesToAll, mrNone};

TMessageTexts DefaultTexts()
{
    TMessageTexts texts;
    texts.Titles = {FromUtf8("Warning"), FromUtf8("Error"), FromUtf8("Information"), FromUtf8("Confirm"), QString()};
    texts.Captions = {FromUtf8("&Yes"),   FromUtf8("&No"),  FromUtf8("&OK"),        FromUtf8("&Cancel"),     FromUtf8("&Abort"), FromUtf8("&Retry"),
                      FromUtf8("&Ignore"), FromUtf8("&All"), FromUtf8("N&o to all"), FromUtf8("Yes to &all"), FromUtf8("&Help")};
    return texts;
}

bool Contains(const std::vector<TMsgDlgBtn>& list, TMsgDlgBtn kind)
{
    return std::find(list.begin(), list.end(), kind) != list.end();
}

QStyle::StandardPixmap IconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QStyle::SP_MessageBoxWarning;
    case mtError: return QStyle::SP_MessageBoxCritical;
    case mtInformation: return QStyle::SP_MessageBoxInformation;
    default: return QStyle::SP_MessageBoxQuestion;
    }
}

// The dialog units of the message font: a quarter of the average character
// width across, an eighth of the font's height down.
struct DialogUnits {
    explicit DialogUnits(const QFontMetrics& fm)
        : avg(fm.horizontalAdvance(FromUtf8("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52),
          height(fm.height())
    {
    }
    int X(int units) const { return units * avg / 4; }
    int Y(int units) const { return units * height / 8; }
    int avg, height;
};

// Width the window manager needs to show `title` whole: the text in the
// bold face title bars commonly use, and the icon and buttons beside it.
int TitleBarWidth(const QWidget& form, const QString& title)
{
    QFont bold = form.font();
    bold.setBold(true);
    const int bar = form.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &form);
    return QFontMetrics(bold).horizontalAdvance(title) + 4 * bar + 16;
}

}  // namespace

TMessageTexts& MessageTexts()
{
    static TMessageTexts texts = DefaultTexts();
    return texts;
}

void ResetMessageTexts()
{
    MessageTexts() = DefaultTexts();
}

void SetSnapToDefaultButton(bool on)
{
    g_snap = on;
}

bool SnapToDefaultButton()
{
    return g_snap;
}

QString ButtonName(TMsgDlgBtn kind)
{
    return QString::fromLatin1(kButtonNames[kind]);
}

int ButtonResult(TMsgDlgBtn kind)
{
    return kResults[kind];
}

TButtonPlan PlanButtons(const std::vector<TMsgDlgBtn>& list, TMsgDlgBtn requestedDefault)
{
    TButtonPlan plan;
    bool haveTwice = false;
    for (TMsgDlgBtn kind : list) {
        if (!Contains(plan.Buttons, kind)) {
            plan.Buttons.push_back(kind);
        } else if (!haveTwice) {
            plan.Default = kind;
            haveTwice = true;
        }
    }
    if (plan.Buttons.empty())
        plan.Buttons.push_back(mbOK);  // a message nobody can close helps no one
    if (!haveTwice) {
        if (Contains(plan.Buttons, mbOK))
            plan.Default = mbOK;
        else if (Contains(plan.Buttons, mbYes))
            plan.Default = mbYes;
        else if (Contains(plan.Buttons, mbRetry))
            plan.Default = mbRetry;
        else
            plan.Default = plan.Buttons.front();
    }
    if (requestedDefault != mbHelp && Contains(plan.Buttons, requestedDefault))
        plan.Default = requestedDefault;
    for (TMsgDlgBtn kind : {mbCancel, mbNo, mbOK}) {
        if (Contains(plan.Buttons, kind)) {
            plan.Cancel = kind;
            break;
        }
    }
    return plan;
}

TMessageForm::TMessageForm(const QString& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
                           TMsgDlgBtn requestedDefault, QWidget* parent)
    : QDialog(parent), plan_(PlanButtons(buttons, requestedDefault))
{
    setObjectName(FromUtf8("MessageForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Build(text, type);
}

void TMessageForm::Build(const QString& rawText, TMsgDlgType type)
{
    const QString text = QString(rawText).replace(FromUtf8("\r\n"), FromUtf8("\n"));
    setFont(QApplication::font("QMessageBox"));
    const QFontMetrics fm(font());
    const DialogUnits du(fm);
    const int hMargin = du.X(8), vMargin = du.Y(8), hSpacing = du.X(10), vSpacing = du.Y(10);
    const int buttonHeight = du.Y(14), buttonSpacing = du.X(4);

    QScreen* screen = QGuiApplication::primaryScreen();
    const int maxTextWidth = screen ? screen->geometry().width() / 2 : 640;
    QRect textRect = fm.boundingRect(QRect(0, 0, maxTextWidth, 0), Qt::TextWordWrap | Qt::AlignLeft, text);

    int iconWidth = 0, iconHeight = 0;
    if (type != mtCustom) {
        auto* image = new QLabel(this);
        image->setObjectName(FromUtf8("Image"));
        image->setPixmap(style()->standardIcon(IconOf(type), nullptr, this).pixmap(32, 32));
        image->setGeometry(hMargin, vMargin, 32, 32);
        iconWidth = 32 + hSpacing;
        iconHeight = 32;
    }
    const int textHeight = std::max(textRect.height(), iconHeight);
    auto* message = new QLabel(text, this);
    message->setObjectName(FromUtf8("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setGeometry(hMargin + iconWidth, vMargin, textRect.width() + 2, textHeight);

    // Captions may change between messages, so each is measured when shown.
    std::vector<QPushButton*> row;
    std::vector<int> widths;
    int rowWidth = 0;
    for (TMsgDlgBtn kind : plan_.Buttons) {
        auto* button = new QPushButton(MessageTexts().Captions[kind], this);
        button->setObjectName(ButtonName(kind));
        button->setAutoDefault(false);
        const QString plain = QString(button->text()).remove(QLatin1Char('&'));
        const int width = std::max({du.X(50), fm.horizontalAdvance(plain) + 8, button->sizeHint().width()});
        row.push_back(button);
        widths.push_back(width);
        rowWidth += width;
        buttons_[kind] = button;
        if (kind != mbHelp)
            connect(button, &QPushButton::clicked, this, [this, kind] { done(ButtonResult(kind)); });
    }
    rowWidth += buttonSpacing * int(plan_.Buttons.size() - 1);

    const QString title = type == mtCustom ? QGuiApplication::applicationDisplayName() : MessageTexts().Titles[type];
    setWindowTitle(title);
    const int clientWidth =
        std::max(std::max(iconWidth + textRect.width() + 2, rowWidth) + 2 * hMargin, TitleBarWidth(*this, title));
    const int buttonTop = vMargin + textHeight + vSpacing;
    int x = (clientWidth - rowWidth) / 2;
    for (size_t i = 0; i < row.size(); ++i) {
        row[i]->setGeometry(x, buttonTop, widths[i], std::max(buttonHeight, row[i]->sizeHint().height()));
        x += widths[i] + buttonSpacing;
    }
    QPushButton* def = DefaultButton();
    def->setDefault(true);
    def->setFocus();
    setFixedSize(clientWidth, buttonTop + std::max(buttonHeight, def->sizeHint().height()) + vMargin);
}

QPushButton* TMessageForm::Button(TMsgDlgBtn kind) const
{
    return buttons_[kind];
}

void TMessageForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (plan_.Cancel >= 0)
            buttons_[plan_.Cancel]->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMessageForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    DefaultButton()->setFocus();
    if (g_snap)
        QCursor::setPos(DefaultButton()->mapToGlobal(DefaultButton()->rect().center()));
}

void TMessageForm::reject()
{
    done(mrCancel);  // closing the window by its frame answers Cancel
}

int ShowMsg(const QString& text, int kind)
{
    switch (kind) {
    case 0: return MessageDlgButtons(text, mtWarning, {mbOK}, mbHelp);
    case 1: return MessageDlgButtons(text, mtError, {mbAbort}, mbHelp);
    case 3: return MessageDlgButtons(text, mtConfirmation, {mbYes, mbNo}, mbHelp);
    default:
        return MessageDlgButtons(text, kind >= 0 && kind <= mtCustom ? TMsgDlgType(kind) : mtCustom, {mbOK}, mbHelp);
    }
}

int MessageDlgButtons(const QString& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
                      TMsgDlgBtn defaultButton)
{
    return MessageDlgEx(text, type, buttons, defaultButton, 0, -1, -1, QString());
}

int MessageDlgEx(const QString& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
                 TMsgDlgBtn defaultButton, int /*helpContext*/, int x, int y, const QString& /*helpFile*/)
{
    TMessageForm form(text, type, buttons, defaultButton, QApplication::activeWindow());
    if (x >= 0 || y >= 0) {
        form.move(x, y);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
    }
    const int result = ExecModal(form);
    QApplication::processEvents();
    return result;
}

}  // namespace quorvil
