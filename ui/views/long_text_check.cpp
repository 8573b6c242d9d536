#include "long_text_check.h"

#include "long_text_dialog.h"
#include "message_dialog.h"
#include "text_convert.h"

namespace quorvil {

namespace {

bool g_leaveChosen = false;

enum class TTooLong { ReEdit, Truncate, Leave, Cancel };

TTooLong AskTooLong(qsizetype length)
{
    const QString text = FromUtf8("String has become too long to save in pre-5.5 JFile Format (len = ") +
                         QString::number(length) + FromUtf8(", max=") + QString::number(kMaxOldLayoutText) +
                         FromUtf8(" characters)");
    switch (MessageDlgButtons(text, TMsgKind::Warning,
                              {TMsgButton::ReEdit, TMsgButton::Truncate, TMsgButton::Leave, TMsgButton::Cancel},
                              g_leaveChosen ? TMsgButton::Leave : TMsgButton::ReEdit)) {
    case TMsgButton::ReEdit: return TTooLong::ReEdit;
    case TMsgButton::Truncate: return TTooLong::Truncate;
    case TMsgButton::Leave: return TTooLong::Leave;
    default: return TTooLong::Cancel;
    }
}

}  // namespace

bool EditLongValue(QString& text)
{
    QString edited = text;
    if (!EditLongText(edited))
        return false;
    // A text that was already too long was saved in a 5.5 file on purpose.
    const bool check = text.size() <= kMaxOldLayoutText;
    while (check && edited.size() > kMaxOldLayoutText) {
        switch (AskTooLong(edited.size())) {
        case TTooLong::ReEdit:
            if (!EditLongText(edited))
                return false;
            break;
        case TTooLong::Truncate: edited.truncate(kMaxOldLayoutText); break;
        case TTooLong::Leave:
            g_leaveChosen = true;
            text = edited;
            return true;
        case TTooLong::Cancel: return false;
        }
    }
    text = edited;
    return true;
}

void ForgetLeaveChoice()
{
    g_leaveChosen = false;
}

}  // namespace quorvil
