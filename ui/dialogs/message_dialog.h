#pragma once
// The program's message dialog. Every question names its own buttons and
// default at the call, so a button's words never depend on the question
// asked before.
#include <QDialog>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QPushButton;

namespace quorvil {

// The kind of a message: its title and icon.
enum class TMsgKind { Warning, Error, Information, Confirmation, Custom };

// The buttons a message can show. The first ten are the standard ones; the
// others carry a question's own words and take the place of YesToAll,
// NoToAll or All, whose object name they keep.
enum class TMsgButton {
    Yes,
    No,
    OK,
    Cancel,
    Abort,
    Retry,
    Ignore,
    All,
    NoToAll,
    YesToAll,
    Fix,
    Details,
    Save,
    Discard,
    SaveAs,
    Replace,
    SaveOverIt,
    Reload,
    KeepMine,
    ReEdit,
    Truncate,
    Leave,
    Export,
    CopyWithout,
    MergeWithout,
    CreateFolder
};
constexpr int kButtonKinds = int(TMsgButton::CreateFolder) + 1;

// A question that names no default gets the first of OK, Yes, Retry it
// shows, else its first button.
inline constexpr std::nullopt_t kNoDefault = std::nullopt;

// Object name ("Yes", "NoToAll", ...) and caption ("&Yes", "&Discard", ...)
// of each button.
QString ButtonName(TMsgButton button);
QString ButtonCaption(TMsgButton button);

// Which buttons a message shows, which one is the default (Enter, focus) and
// which one Escape presses (none without Cancel, No or OK).
struct TButtonPlan {
    std::vector<TMsgButton> Buttons;
    TMsgButton Default = TMsgButton::OK;
    std::optional<TMsgButton> Cancel;
};
TButtonPlan PlanButtons(const std::vector<TMsgButton>& list, std::optional<TMsgButton> requestedDefault);

// When on, the mouse pointer jumps to the default button of each message.
void SetSnapToDefaultButton(bool on);
bool SnapToDefaultButton();

// The message window itself: "Image", "Message" and one button per kind.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    TMessageForm(const QString& text, TMsgKind kind, const std::vector<TMsgButton>& buttons,
                 std::optional<TMsgButton> requestedDefault, QWidget* parent = nullptr);
    QPushButton* Button(TMsgButton kind) const;
    QPushButton* DefaultButton() const { return Button(plan_.Default); }
    // The button pressed; Cancel when the window was closed otherwise.
    TMsgButton Answer() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Build(const QString& text, TMsgKind kind);
    TButtonPlan plan_;
    std::array<QPushButton*, kButtonKinds> buttons_{};
};

// A message with the one button OK (ShowError: or `button`, such as Abort).
void ShowWarning(const QString& text);
void ShowError(const QString& text, TMsgButton button = TMsgButton::OK);
void ShowInformation(const QString& text);
// A confirmation with Yes and No; true only for Yes.
bool AskYesNo(const QString& text, TMsgButton defaultButton = TMsgButton::Yes);
// The button pressed, Cancel when the window was closed otherwise.
TMsgButton MessageDlgButtons(const QString& text, TMsgKind kind, const std::vector<TMsgButton>& buttons,
                             std::optional<TMsgButton> defaultButton);
// x and y place the top-left corner; both negative centre the dialog.
TMsgButton MessageDlgEx(const QString& text, TMsgKind kind, const std::vector<TMsgButton>& buttons,
                        std::optional<TMsgButton> defaultButton, int x, int y);

}  // namespace quorvil
