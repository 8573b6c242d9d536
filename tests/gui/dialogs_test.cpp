// The message dialog, the one-line input, the long-text editor, the date,
// directory and field pickers and the popup list editor, answered as a
// person would.
#include "date_dialog.h"
#include "directory_dialog.h"
#include "field_dialog.h"
#include "fields_dialog.h"
#include "form_position.h"
#include "gui_test_support.h"
#include "input_dialog.h"
#include "long_text_dialog.h"
#include "message_dialog.h"
#include "modal.h"
#include "popup_list_dialog.h"
#include "text_convert.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

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

QPushButton* Btn(QDialog& d, const char* name) { return d.findChild<QPushButton*>(Tr(name)); }

}  // namespace

class DialogsTest : public GuiCase {
    Q_OBJECT

private slots:

    void planChoosesDefaultAndCancel_data()
    {
        QTest::addColumn<std::vector<TMsgDlgBtn>>("list");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("cancelButton");
        QTest::newRow("yes no") << std::vector{mbYes, mbNo} << int(mbHelp) << 2 << int(mbYes) << int(mbNo);
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

    void everyButtonAnswersItsResultAndEscapeItsCancel()
    {
        const std::vector<std::pair<TMsgDlgBtn, int>> cases = {
            {mbYes, 6}, {mbNo, 7}, {mbOK, 1}, {mbCancel, 2}, {mbAbort, 3}, {mbRetry, 4},
            {mbIgnore, 5}, {mbAll, 8}, {mbNoToAll, 9}, {mbYesToAll, 10}};
        for (auto [kind, result] : cases) {
            AnswerButton(ButtonName(kind));
            QCOMPARE(MessageDlgButtons(Tr("q"), mtCustom, {kind}, mbHelp), result);
        }
        AnswerKey(Qt::Key_Escape);
        QCOMPARE(ShowMsg(Tr("Sure?"), 3), int(mrNo));
        bool stillOpen = false;  // no Cancel button: Escape does nothing, closing answers Cancel
        QueueModalAnswer([&](QDialog& d) {
            QTest::keyClick(&d, Qt::Key_Escape);
            stillOpen = d.isVisible();
            d.close();
        });
        QCOMPARE(MessageDlgButtons(Tr("q"), mtWarning, {mbIgnore, mbYesToAll, mbNoToAll}, mbHelp), int(mrCancel));
        QVERIFY(stillOpen);
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
        QString focused, shown;
        QPoint at;
        AnswerAfter([&](QDialog& d) {
            row = ButtonRow(d);
            focused = d.focusWidget() ? d.focusWidget()->objectName() : QString();
        }, Tr("Cancel"));
        QCOMPARE(MessageDlgButtons(Tr("Replace?"), mtConfirmation, {mbYes, mbNo, mbYesToAll, mbNoToAll, mbCancel},
                                   mbNoToAll),
                 int(mrCancel));
        QCOMPARE(row, QStringList({Tr("Yes"), Tr("No"), Tr("YesToAll"), Tr("NoToAll"), Tr("Cancel")}));
        QCOMPARE(focused, Tr("NoToAll"));
        AnswerKey(Qt::Key_Return);
        QCOMPARE(MessageDlgButtons(Tr("q"), mtConfirmation, {mbYes, mbNo, mbYesToAll, mbCancel}, mbYes), int(mrYes));
        // A changed caption stays; CR LF is one break; the form stands at the given corner.
        MessageTexts().Captions[mbYesToAll] = Tr("&All");
        AnswerAfter([&](QDialog& d) {
            shown = d.findChild<QLabel*>(Tr("Message"))->text() + Btn(d, "YesToAll")->text();
            at = d.pos();
        }, Tr("YesToAll"));
        MessageDlgEx(Tr("Save?\r\n(x.PDB)"), mtInformation, {mbOK, mbYesToAll}, mbHelp, 0, 40, 30, QString());
        QCOMPARE(shown, Tr("Save?\n(x.PDB)&All"));
        QCOMPARE(at, QPoint(40, 30));
    }

    void inputLineShowsCaptionAndTextAndStopsAtMaximumLength()
    {
        QString caption, shown;
        QString text = Tr("My title");
        QueueModalAnswer([&](QDialog& d) {
            caption = d.windowTitle();
            shown = d.findChild<QLineEdit*>()->text();
            QTest::keyClicks(d.findChild<QLineEdit*>(), Tr("xyz"));
            QTest::keyClick(d.findChild<QLineEdit*>(), Qt::Key_Escape);
        });
        QVERIFY(!InputLine(Tr("Database Title"), text, 31));
        QCOMPARE(caption + shown + text, Tr("Database TitleMy titleMy title"));
        AnswerInputLine(Tr("abcdefghijklmnopqrstu"));  // 21 characters
        QVERIFY(InputLine(Tr("Database Title"), text, 20));
        QCOMPARE(text, Tr("abcdefghijklmnopqrst"));
    }

    void longTextConversions_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("value");
        QTest::newRow("CR LF is one break") << Tr("a\r\nb") << Tr("a\u00A4b");
        QTest::newRow("lone CR") << Tr("a\rb") << Tr("a\u00A4b");
        QTest::newRow("breaks at both ends dropped") << Tr("\n\na\n\n") << Tr("a");
        QTest::newRow("inner empty line kept") << Tr("a\n\nb") << Tr("a\u00A4\u00A4b");
    }
    void longTextConversions()
    {
        QFETCH(QString, memo);
        QTEST(ValueFromMemoText(memo), "value");
    }

    void longTextEditorShowsLinesGivesValueBackAndRemembersItsPlace()
    {
        QString value = Tr("a\u00A4b");
        QString shown;
        QueueModalAnswer([&](QDialog& d) {
            auto* memo = d.findChild<QPlainTextEdit*>(Tr("Memo"));
            shown = memo->toPlainText();
            memo->moveCursor(QTextCursor::End);
            QTest::keyClick(memo, Qt::Key_Return);  // an empty last line
            d.window()->move(33, 44);
            d.window()->resize(500, 300);
            Btn(d, "OkBtn")->click();
        });
        QVERIFY(EditLongText(value));
        QCOMPARE(shown, Tr("a\nb"));
        QCOMPARE(value, Tr("a\u00A4b"));
        QCOMPARE(QString::fromStdString(config_->Read(CurrentScreenSection(), "EditFormPos")), Tr("33,44,500,300"));
        QueueModalAnswer([](QDialog& d) {
            d.findChild<QPlainTextEdit*>()->setPlainText(Tr("changed"));
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QVERIFY(!EditLongText(value));
        QCOMPARE(value, Tr("a\u00A4b"));
        TEditForm again;
        QCOMPARE(again.geometry().topLeft() + QPoint(again.width(), again.height()), QPoint(533, 344));
    }

    void datePickerAcceptsActivatedDay()
    {
        QDate date(2001, 2, 3);
        QDate shown;
        QueueModalAnswer([&](QDialog& d) {
            auto* calendar = d.findChild<QCalendarWidget*>();
            shown = calendar->selectedDate();
            calendar->setSelectedDate(QDate(2001, 2, 14));
            emit calendar->activated(calendar->selectedDate());
        });
        QVERIFY(PickDate(10, 10, date));
        QCOMPARE(shown, QDate(2001, 2, 3));
        QCOMPARE(date, QDate(2001, 2, 14));
    }

    void fieldChoosers()
    {
        bool okAtStart = true;
        QueueModalAnswer([&](QDialog& d) {
            auto* form = static_cast<TFieldForm*>(&d);
            okAtStart = form->OkButton()->isEnabled();
            form->FieldList()->setCurrentIndex(1);
            form->OkButton()->click();
        });
        QCOMPARE(ChooseField({Tr("Name"), Tr("Colour"), Tr("Size")}), 1);
        QVERIFY(!okAtStart);
        QueueModalAnswer([](QDialog& d) {
            Btn(d, "NoneBtn")->click();
            d.findChild<QListWidget*>()->item(2)->setCheckState(Qt::Checked);
            Btn(d, "OkBtn")->click();
        });
        QCOMPARE(ChooseFields({Tr("a"), Tr("b"), Tr("c")}), (std::vector<bool>{false, false, true}));
    }

    void directoryPickerListsVisibleSubdirectoriesAndFallsBack()
    {
        QTemporaryDir base;
        for (const char* sub : {"data/inner", "photos", ".hidden"})
            QDir(base.path()).mkpath(Tr(sub));
        QStringList children;
        QString status, root;
        QueueModalAnswer([&](QDialog& d) {
            auto* tree = d.findChild<QTreeWidget*>();
            root = tree->topLevelItem(0)->text(0);
            QTreeWidgetItem* node = tree->currentItem();
            node->setExpanded(true);
            for (int i = 0; i < node->childCount(); ++i)
                children << node->child(i)->text(0);
            status = d.findChild<QLabel*>(Tr("StatusBar"))->text();
            tree->setCurrentItem(node->child(1));
            Btn(d, "OkBtn")->click();
        });
        QCOMPARE(PickDirectory(base.path()), base.path() + Tr("/photos"));
        QCOMPARE(children, QStringList({Tr("data"), Tr("photos")}));
        QCOMPARE(status, Tr("  ") + base.path());
        QCOMPARE(root, Tr("My Computer"));
        AnswerButton(Tr("CancelBtn"));
        QCOMPARE(PickDirectory(Tr("/no/such/dir")), Tr("/no/such/dir"));
        AnswerButton(Tr("OkBtn"));
        QCOMPARE(PickDirectory(Tr("/no/such/dir")), QCoreApplication::applicationDirPath());
    }

    void popupListEditingGivesTheListBackOnOk_data()
    {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<int>("row");  // selected before the action
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("result");
        QTest::addColumn<int>("selected");
        const QStringList abc{Tr("a"), Tr("b"), Tr("c")};
        QTest::newRow("add after the second") << abc << 1 << Tr("AddBtn")
                                              << QStringList{Tr("a"), Tr("b"), Tr("new"), Tr("c")} << 2;
        QTest::newRow("add with none selected") << abc << -1 << Tr("AddBtn")
                                                << QStringList{Tr("new"), Tr("a"), Tr("b"), Tr("c")} << 0;
        QTest::newRow("edit") << abc << 1 << Tr("EditBtn") << QStringList{Tr("a"), Tr("new"), Tr("c")} << 1;
        QTest::newRow("delete the last") << abc << 2 << Tr("DelBtn") << QStringList{Tr("a"), Tr("b")} << 1;
        QTest::newRow("delete the only") << QStringList{Tr("a")} << 0 << Tr("DelBtn") << QStringList() << -1;
        QTest::newRow("up") << abc << 2 << Tr("UpBtn") << QStringList{Tr("a"), Tr("c"), Tr("b")} << 1;
        QTest::newRow("down") << abc << 0 << Tr("DownBtn") << QStringList{Tr("b"), Tr("a"), Tr("c")} << 1;
        QTest::newRow("sort ignores case") << QStringList{Tr("pear"), Tr("Apple"), Tr("banana")} << 0
                                           << Tr("SortBtn") << QStringList{Tr("Apple"), Tr("banana"), Tr("pear")}
                                           << 2;
    }
    void popupListEditingGivesTheListBackOnOk()
    {
        QFETCH(QStringList, start);
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(int, selected);
        TPopForm form;
        int selectedAfter = -2;
        QString caption;
        QueueModalAnswer([&](QDialog& d) {
            caption = d.windowTitle();
            form.ListBox()->setCurrentRow(row);
            if (action == Tr("AddBtn") || action == Tr("EditBtn"))
                AnswerInputLine(Tr("new"));
            else if (action == Tr("DelBtn"))
                AnswerButton(ButtonName(mbYes));
            QVERIFY(!Btn(d, "OkBtn")->isEnabled());
            Btn(d, action.toUtf8().constData())->click();
            selectedAfter = form.ListBox()->currentRow();
            Btn(d, "OkBtn")->click();
        });
        QStringList list = start;
        QVERIFY(form.EditPopupList(list, Tr("Popup List for \"Colour\"")));
        QCOMPARE(caption, Tr("Popup List for \"Colour\""));
        QTEST(list, "result");
        QCOMPARE(selectedAfter, selected);
    }

    void popupListLimitsAndCancel()
    {
        QStringList full;
        for (int i = 0; i < TPopForm::kMaxItems; ++i)
            full << QString::number(i);
        TPopForm form;
        QList<bool> enabled;
        QueueModalAnswer([&](QDialog& d) {
            enabled << Btn(d, "AddBtn")->isEnabled();  // not at a hundred values
            AnswerButton(ButtonName(mbNo));
            Btn(d, "DelBtn")->click();
            enabled << Btn(d, "OkBtn")->isEnabled();  // No keeps the value
            AnswerButton(ButtonName(mbYes));
            Btn(d, "DelBtn")->click();
            enabled << Btn(d, "AddBtn")->isEnabled();
            Btn(d, "CancelBtn")->click();
        });
        QStringList list = full;
        QVERIFY(!form.EditPopupList(list, Tr("Popup List")));
        QCOMPARE(list, full);
        QCOMPARE(enabled, (QList<bool>{false, false, true}));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
