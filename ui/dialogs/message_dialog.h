#pragma once
// The program's message dialog. Titles and button captions are program-wide
// texts: a command that needs other words on a button sets them before its
// question, and they stay until someone sets them again.
#include <QDialog>
#include <QString>

#include <array>
#include <vector>

class QPushButton;

namespace quorvil {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// In this order a button list names its buttons; mbHelp also means "no default".
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
constexpr int kButtonKinds = 11;

// Results of the message dialog and of the other modal dialogs.
enum TModalResult {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
    mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

struct TMessageTexts {
    std::array<QString, 5> Titles;                // by TMsgDlgType; custom uses the application's name
    std::array<QString, kButtonKinds> Captions;   // by TMsgDlgBtn
};

// The program-wide titles and captions.
TMessageTexts& MessageTexts();
// Puts back the default titles and captions (start-up and tests).
void ResetMessageTexts();
// When on, the mouse pointer jumps to the default button of each message.
void SetSnapToDefaultButton(bool on);
bool SnapToDefaultButton();

// Object name ("Yes", "NoToAll", ...) and result of each button kind.
QString ButtonName(TMsgDlgBtn kind);
int ButtonResult(TMsgDlgBtn kind);

// Which buttons a message shows, which one is the default (Enter, focus) and
// which one Escape presses (-1: none).
struct TButtonPlan {
    std::vector<TMsgDlgBtn> Buttons;
    TMsgDlgBtn Default = mbOK;
    int Cancel = -1;
};
TButtonPlan PlanButtons(const std::vector<TMsgDlgBtn>& list, TMsgDlgBtn requestedDefault);

// The message window itself: "Image", "Message" and one button per kind.
class TMessageForm : public QDialog {
    Q_OBJECT
public:
    TMessageForm(const QString& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
                 TMsgDlgBtn requestedDefault, QWidget* parent = nullptr);
    QPushButton* Button(TMsgDlgBtn kind) const;
    QPushButton* DefaultButton() const { return Button(plan_.Default); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Build(const QString& text, TMsgDlgType type);
    TButtonPlan plan_;
    std::array<QPushButton*, kButtonKinds> buttons_{};
};

// Kind 0: warning with OK; 1: error with Abort; 3: confirmation with Yes and
// No; any other: that type with OK. Returns the result of the button pressed.
int ShowMsg(const QString& text, int kind);
int MessageDlgButtons(const QString& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
                      TMsgDlgBtn defaultButton);
// x and y place the top-left corner; both negative centre the dialog. The
// help context and file are accepted for callers' sake; there is no help.
int MessageDlgEx(const QString& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
                 TMsgDlgBtn defaultButton, int helpContext, int x, int y, const QString& helpFile);

}  // namespace quorvil
