// The message dialog: which buttons it shows, which one Enter and Escape
// press, what it answers, and captions that stay changed.
#include "gui_test_support.h"
#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

Q_DECLARE_METATYPE(std::vector<TMsgDlgBtn>)

namespace {

// Names of the buttons of a form, left to right.
QStringList ButtonRow(QDialog& dialog)
{
    QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    QStringList names;
    for (QPushButton* button : buttons)
        names << button->objectName();
    return names;
}

}  // namespace

class MessageDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ResetMessageTexts();
        ClearModalAnswers();
    }
    void cleanup() { QCOMPARE(QueuedModalAnswers(), 0); }

    void planChoosesDefaultAndCancel_data()
    {
        QTest::addColumn<std::vector<TMsgDlgBtn>>("list");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("cancelButton");
        QTest::newRow("yes no") << std::vector{mbYes, mbNo} << int(mbHelp) << 2 << int(mbYes) << int(mbNo);
        QTest::newRow("yes no yes-to-all cancel, default yes")
            << std::vector{mbYes, mbNo, mbYesToAll, mbCancel} << int(mbYes) << 4 << int(mbYes) << int(mbCancel);
        QTest::newRow("caller's no-to-all wins")
            << std::vector{mbYes, mbNo, mbYesToAll, mbNoToAll, mbCancel} << int(mbNoToAll) << 5 << int(mbNoToAll)
            << int(mbCancel);
        QTest::newRow("OK twice is one default OK") << std::vector{mbOK, mbOK} << int(mbHelp) << 1 << int(mbOK)
                                                    << int(mbOK);
        QTest::newRow("a kind listed twice is the default")
            << std::vector{mbNo, mbCancel, mbNo} << int(mbHelp) << 2 << int(mbNo) << int(mbCancel);
        QTest::newRow("OK before Yes") << std::vector{mbYes, mbOK} << int(mbHelp) << 2 << int(mbOK) << int(mbOK);
        QTest::newRow("retry without OK or Yes") << std::vector{mbCancel, mbRetry} << int(mbHelp) << 2
                                                 << int(mbRetry) << int(mbCancel);
        QTest::newRow("first listed otherwise, no Escape")
            << std::vector{mbIgnore, mbYesToAll, mbNoToAll} << int(mbHelp) << 3 << int(mbIgnore) << -1;
        QTest::newRow("a default not in the list is ignored")
            << std::vector{mbYes, mbNo} << int(mbCancel) << 2 << int(mbYes) << int(mbNo);
    }
    void planChoosesDefaultAndCancel()
    {
        QFETCH(std::vector<TMsgDlgBtn>, list);
        QFETCH(int, requested);
        const TButtonPlan plan = PlanButtons(list, TMsgDlgBtn(requested));
        QTEST(int(plan.Buttons.size()), "buttons");
        QTEST(int(plan.Default), "defaultButton");
        QTEST(plan.Cancel, "cancelButton");
    }

    void confirmationAnswersYesNoAndEscapeAsNo()
    {
        AnswerButton(Tr("Yes"));
        QCOMPARE(ShowMsg(Tr("Sure?"), 3), int(mrYes));
        AnswerButton(Tr("No"));
        QCOMPARE(ShowMsg(Tr("Sure?"), 3), int(mrNo));
        AnswerKey(Qt::Key_Escape);
        QCOMPARE(ShowMsg(Tr("Sure?"), 3), int(mrNo));
    }

    void showMsgKindsPickTitleAndButtons()
    {
        QStringList titles, rows;
        for (int kind : {0, 1, 2, 3}) {
            AnswerAfter([&](QDialog& d) { titles << d.windowTitle(); rows << ButtonRow(d).join(Tr(",")); },
                        kind == 1 ? Tr("Abort") : kind == 3 ? Tr("Yes") : Tr("OK"));
            ShowMsg(Tr("text"), kind);
        }
        QCOMPARE(titles, QStringList({Tr("Warning"), Tr("Error"), Tr("Information"), Tr("Confirm")}));
        QCOMPARE(rows, QStringList({Tr("OK"), Tr("Abort"), Tr("OK"), Tr("Yes,No")}));
    }

    void buttonsStandInListOrderWithFocusOnDefault()
    {
        QStringList row;
        QString focused;
        AnswerAfter([&](QDialog& d) {
            row = ButtonRow(d);
            focused = d.focusWidget() ? d.focusWidget()->objectName() : QString();
        }, Tr("Cancel"));
        const int result = MessageDlgButtons(Tr("Replace?"), mtConfirmation,
                                             {mbYes, mbNo, mbYesToAll, mbNoToAll, mbCancel}, mbNoToAll);
        QCOMPARE(result, int(mrCancel));
        QCOMPARE(row, QStringList({Tr("Yes"), Tr("No"), Tr("YesToAll"), Tr("NoToAll"), Tr("Cancel")}));
        QCOMPARE(focused, Tr("NoToAll"));
        AnswerKey(Qt::Key_Return);
        QCOMPARE(MessageDlgButtons(Tr("q"), mtConfirmation, {mbYes, mbNo, mbYesToAll, mbCancel}, mbYes), int(mrYes));
        AnswerKey(Qt::Key_Escape);
        QCOMPARE(MessageDlgButtons(Tr("q"), mtConfirmation, {mbYes, mbNo, mbYesToAll, mbCancel}, mbYes),
                 int(mrCancel));
    }

    void everyButtonAnswersItsResult()
    {
        const std::vector<std::pair<TMsgDlgBtn, int>> cases = {
            {mbYes, 6}, {mbNo, 7}, {mbOK, 1}, {mbCancel, 2}, {mbAbort, 3}, {mbRetry, 4},
            {mbIgnore, 5}, {mbAll, 8}, {mbNoToAll, 9}, {mbYesToAll, 10}};
        for (auto [kind, result] : cases) {
            AnswerButton(ButtonName(kind));
            QCOMPARE(MessageDlgButtons(Tr("q"), mtCustom, {kind}, mbHelp), result);
        }
    }

    void escapeWithoutCancelButtonDoesNothingAndClosingAnswersCancel()
    {
        bool stillOpen = false;
        QueueModalAnswer([&](QDialog& d) {
            QTest::keyClick(&d, Qt::Key_Escape);
            stillOpen = d.isVisible();
            d.close();
        });
        QCOMPARE(MessageDlgButtons(Tr("q"), mtWarning, {mbIgnore, mbYesToAll, mbNoToAll}, mbHelp), int(mrCancel));
        QVERIFY(stillOpen);
    }

    void changedCaptionStaysForLaterMessages()
    {
        MessageTexts().Captions[mbYesToAll] = Tr("&All");
        QStringList captions;
        for (int i = 0; i < 2; ++i) {
            AnswerAfter([&](QDialog& d) { captions << d.findChild<QPushButton*>(Tr("YesToAll"))->text(); },
                        Tr("YesToAll"));
            QCOMPARE(MessageDlgButtons(Tr("q"), mtConfirmation, {mbYes, mbYesToAll}, mbHelp), int(mrYesToAll));
        }
        QCOMPARE(captions, QStringList({Tr("&All"), Tr("&All")}));
    }

    void messageTextIsShownWithLineBreaksAtTheGivenCorner()
    {
        QString shown;
        QPoint at;
        AnswerAfter([&](QDialog& d) {
            shown = d.findChild<QLabel*>(Tr("Message"))->text();
            at = d.pos();
        }, Tr("OK"));
        MessageDlgEx(Tr("Save edited database?\r\n(x.PDB)"), mtInformation, {mbOK}, mbHelp, 0, 40, 30, QString());
        QCOMPARE(shown, Tr("Save edited database?\n(x.PDB)"));
        QCOMPARE(at, QPoint(40, 30));
    }
};

QTEST_MAIN(MessageDialogTest)
#include "message_dialog_test.moc"
