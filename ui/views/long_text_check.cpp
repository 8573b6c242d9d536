#include "long_text_check.h"

#include "long_text_dialog.h"
#include "message_dialog.h"
#include "text_convert.h"

#include <optional>
#include <string>
#include <string_view>

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

// The bytes `text` takes in `set`; a character the set lacks (refused when
// the text is stored) counts as one.
qsizetype StoredLength(const QString& text, TCharset set)
{
    if (!IsMultiByte(set))
        return text.size();
    const std::optional<std::string> bytes = FromQString(text, set);
    return bytes ? qsizetype(bytes->size()) : text.size();
}

// `text` cut to kMaxOldLayoutText bytes of `set`, never inside a character.
QString Truncated(const QString& text, TCharset set)
{
    const std::optional<std::string> bytes = IsMultiByte(set) ? FromQString(text, set) : std::nullopt;
    if (!bytes)
        return text.left(kMaxOldLayoutText);
    const TCodec& codec = TCodec::Of(set);
    size_t end = 0;
    while (end < bytes->size() && end + codec.CharLength(*bytes, end) <= size_t(kMaxOldLayoutText))
        end += codec.CharLength(*bytes, end);
    return ToQString(std::string_view(*bytes).substr(0, end), set);
}

}  // namespace

bool EditLongValue(QString& text, TCharset set)
{
    QString edited = text;
    if (!EditLongText(edited))
        return false;
    // A text that was already too long was saved in a 5.5 file on purpose.
    const bool check = StoredLength(text, set) <= kMaxOldLayoutText;
    while (check && StoredLength(edited, set) > kMaxOldLayoutText) {
        switch (AskTooLong(StoredLength(edited, set))) {
        case TTooLong::ReEdit:
            if (!EditLongText(edited))
                return false;
            break;
        case TTooLong::Truncate: edited = Truncated(edited, set); break;
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
