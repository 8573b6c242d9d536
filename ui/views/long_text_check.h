#pragma once
// The long-text editor of a cell, with the warning about values that the
// layouts before 5.5 cannot save.
#include "charset.h"
#include "layout.h"

#include <QString>

namespace quorvil {

// Longest text the layouts before JFile 5.5 save in one cell.
constexpr int kMaxOldLayoutText = int(Facts(TLayout::JFile5).LongestValue);

// Shows the long-text editor on `text` (line breaks as '¤'). While the new
// text takes more than kMaxOldLayoutText bytes of `set` (two for a character
// of a multi-byte set), and the old one did not,
// asks whether to edit it again, truncate it or leave it long. True when a
// new text was accepted; then `text` holds it. False, with `text` unchanged,
// when the user cancelled the editor or the warning.
bool EditLongValue(QString& text, TCharset set);

// Once the user has chosen "Leave", it is the warning's default button for
// the rest of the run. Tests start over with this.
void ForgetLeaveChoice();

}  // namespace quorvil
