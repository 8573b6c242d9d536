#include "message_dialog.h"

#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace quorvil {

namespace {

bool g_snap = false;

// Each button's object name and caption. A question's own words take the
// place of YesToAll, NoToAll or All and answer to that object name.
struct TButtonFacts {
    TMsgButton Button;
    const char* Name;
    const char* Caption;
};
constexpr std::array<TButtonFacts, kButtonKinds> kButtons = {{
    {TMsgButton::Yes, "Yes", "&Yes"},
    {TMsgButton::No, "No", "&No"},
    {TMsgButton::OK, "OK", "&OK"},
    {TMsgButton::Cancel, "Cancel", "&Cancel"},
    {TMsgButton::Abort, "Abort", "&Abort"},
    {TMsgButton::Retry, "Retry", "&Retry"},
    {TMsgButton::Ignore, "Ignore", "&Ignore"},
    {TMsgButton::All, "All", "&All"},
    {TMsgButton::NoToAll, "NoToAll", "N&o to all"},
    {TMsgButton::YesToAll, "YesToAll", "Yes to &all"},
    {TMsgButton::Fix, "YesToAll", "&Fix"},
    {TMsgButton::Details, "NoToAll", "&Details"},
    {TMsgButton::Save, "YesToAll", "&Save"},
    {TMsgButton::Discard, "NoToAll", "&Discard"},
    {TMsgButton::SaveAs, "YesToAll", "Save &as..."},
    {TMsgButton::Replace, "NoToAll", "&Replace"},
    {TMsgButton::SaveOverIt, "YesToAll", "&Save over it"},
    {TMsgButton::Reload, "YesToAll", "&Reload"},
    {TMsgButton::KeepMine, "NoToAll", "&Keep mine"},
    {TMsgButton::ReEdit, "NoToAll", "Re-edit"},
    {TMsgButton::Truncate, "YesToAll", "Truncate"},
    {TMsgButton::Leave, "All", "Leave"},
    {TMsgButton::Export, "YesToAll", "&Export"},
    {TMsgButton::CopyWithout, "YesToAll", "&Copy without them"},
    {TMsgButton::MergeWithout, "YesToAll", "&Merge without them"},
    {TMsgButton::CreateFolder, "YesToAll", "C&reate"},
}};

constexpr bool InEnumOrder()
{
    for (size_t i = 0; i < kButtons.size(); ++i)
        if (kButtons[i].Button != TMsgButton(i))
            return false;
    return true;
}
static_assert(InEnumOrder(), "kButtons lists the buttons in the order of TMsgButton");

const TButtonFacts& FactsOf(TMsgButton button)
{
    return kButtons[size_t(button)];
}

// Titles by TMsgKind; a custom message takes the application's name.
constexpr std::array<const char*, 5> kTitles = {"Warning", "Error", "Information", "Confirm", ""};

// The dialog's result code of a button, never 0 (QDialog's own "rejected").
int ResultOf(TMsgButton button)
{
    return int(button) + 1;
}

bool Contains(const std::vector<TMsgButton>& list, TMsgButton kind)
{
    return std::find(list.begin(), list.end(), kind) != list.end();
}

QStyle::StandardPixmap IconOf(TMsgKind kind)
{
    switch (kind) {
    case TMsgKind::Warning: return QStyle::SP_MessageBoxWarning;
    case TMsgKind::Error: return QStyle::SP_MessageBoxCritical;
    case TMsgKind::Information: return QStyle::SP_MessageBoxInformation;
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

void SetSnapToDefaultButton(bool on)
{
    g_snap = on;
}

bool SnapToDefaultButton()
{
    return g_snap;
}

QString ButtonName(TMsgButton button)
{
    return QString::fromLatin1(FactsOf(button).Name);
}

QString ButtonCaption(TMsgButton button)
{
    return FromUtf8(FactsOf(button).Caption);
}

TButtonPlan PlanButtons(const std::vector<TMsgButton>& list, std::optional<TMsgButton> requestedDefault)
{
    TButtonPlan plan;
    bool haveTwice = false;
    for (TMsgButton kind : list) {
        if (!Contains(plan.Buttons, kind)) {
            plan.Buttons.push_back(kind);
        } else if (!haveTwice) {
            plan.Default = kind;
            haveTwice = true;
        }
    }
    if (plan.Buttons.empty())
        plan.Buttons.push_back(TMsgButton::OK);  // a message nobody can close helps no one
    if (!haveTwice) {
        if (Contains(plan.Buttons, TMsgButton::OK))
            plan.Default = TMsgButton::OK;
        else if (Contains(plan.Buttons, TMsgButton::Yes))
            plan.Default = TMsgButton::Yes;
        else if (Contains(plan.Buttons, TMsgButton::Retry))
            plan.Default = TMsgButton::Retry;
        else
            plan.Default = plan.Buttons.front();
    }
    if (requestedDefault && Contains(plan.Buttons, *requestedDefault))
        plan.Default = *requestedDefault;
    for (TMsgButton kind : {TMsgButton::Cancel, TMsgButton::No, TMsgButton::OK}) {
        if (Contains(plan.Buttons, kind)) {
            plan.Cancel = kind;
            break;
        }
    }
    return plan;
}

TMessageForm::TMessageForm(const QString& text, TMsgKind kind, const std::vector<TMsgButton>& buttons,
                           std::optional<TMsgButton> requestedDefault, QWidget* parent)
    : QDialog(parent), plan_(PlanButtons(buttons, requestedDefault))
{
    setObjectName(FromUtf8("MessageForm"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Build(text, kind);
}

void TMessageForm::Build(const QString& rawText, TMsgKind kind)
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
    if (kind != TMsgKind::Custom) {
        auto* image = new QLabel(this);
        image->setObjectName(FromUtf8("Image"));
        image->setPixmap(style()->standardIcon(IconOf(kind), nullptr, this).pixmap(32, 32));
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

    std::vector<QPushButton*> row;
    std::vector<int> widths;
    int rowWidth = 0;
    for (TMsgButton shown : plan_.Buttons) {
        auto* button = new QPushButton(ButtonCaption(shown), this);
        button->setObjectName(ButtonName(shown));
        button->setAutoDefault(false);
        const QString plain = QString(button->text()).remove(QLatin1Char('&'));
        const int width = std::max({du.X(50), fm.horizontalAdvance(plain) + 8, button->sizeHint().width()});
        row.push_back(button);
        widths.push_back(width);
        rowWidth += width;
        buttons_[size_t(shown)] = button;
        connect(button, &QPushButton::clicked, this, [this, shown] { done(ResultOf(shown)); });
    }
    rowWidth += buttonSpacing * int(plan_.Buttons.size() - 1);

    const QString title = kind == TMsgKind::Custom ? QGuiApplication::applicationDisplayName()
                                                   : FromUtf8(kTitles[size_t(kind)]);
    setWindowTitle(title);
    const int clientWidth = std::max(std::max(iconWidth + textRect.width() + 2, rowWidth) + 2 * hMargin,
                                     TitleBarWidth(*this, title));
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

QPushButton* TMessageForm::Button(TMsgButton kind) const
{
    return buttons_[size_t(kind)];
}

TMsgButton TMessageForm::Answer() const
{
    for (TMsgButton kind : plan_.Buttons)
        if (result() == ResultOf(kind))
            return kind;
    return TMsgButton::Cancel;
}

void TMessageForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (plan_.Cancel)
            Button(*plan_.Cancel)->click();
        return;
    }
    // As in the desktops' own message boxes, a button's underlined letter
    // presses it without Alt too (nothing here takes typed text), and with
    // Alt where no shortcut took it first.
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        for (TMsgButton kind : plan_.Buttons) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(Button(kind)->text());
            if (!mnemonic.isEmpty() && mnemonic[0].key() == Qt::Key(event->key())) {
                Button(kind)->click();
                return;
            }
        }
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
    done(ResultOf(TMsgButton::Cancel));  // closing the window by its frame answers Cancel
}

void ShowWarning(const QString& text)
{
    MessageDlgButtons(text, TMsgKind::Warning, {TMsgButton::OK}, kNoDefault);
}

void ShowError(const QString& text, TMsgButton button)
{
    MessageDlgButtons(text, TMsgKind::Error, {button}, kNoDefault);
}

void ShowInformation(const QString& text)
{
    MessageDlgButtons(text, TMsgKind::Information, {TMsgButton::OK}, kNoDefault);
}

bool AskYesNo(const QString& text, TMsgButton defaultButton)
{
    return MessageDlgButtons(text, TMsgKind::Confirmation, {TMsgButton::Yes, TMsgButton::No}, defaultButton) ==
           TMsgButton::Yes;
}

TMsgButton MessageDlgButtons(const QString& text, TMsgKind kind, const std::vector<TMsgButton>& buttons,
                             std::optional<TMsgButton> defaultButton)
{
    return MessageDlgEx(text, kind, buttons, defaultButton, -1, -1);
}

TMsgButton MessageDlgEx(const QString& text, TMsgKind kind, const std::vector<TMsgButton>& buttons,
                        std::optional<TMsgButton> defaultButton, int x, int y)
{
    TMessageForm form(text, kind, buttons, defaultButton, QApplication::activeWindow());
    if (x >= 0 || y >= 0) {
        form.move(x, y);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
    }
    ExecModal(form);
    QApplication::processEvents();
    return form.Answer();
}

}  // namespace quorvil
