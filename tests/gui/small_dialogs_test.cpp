// The one-line input, the long-text editor, the date picker, the directory
// picker and the field choosers, answered as a person would.
#include "date_dialog.h"
#include "directory_dialog.h"
#include "field_dialog.h"
#include "fields_dialog.h"
#include "form_position.h"
#include "gui_test_support.h"
#include "input_dialog.h"
#include "long_text_dialog.h"
#include "modal.h"
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

class SmallDialogsTest : public QObject {
    Q_OBJECT

    ConfigHome config_;

private slots:
    void init() { ClearModalAnswers(); }
    void cleanup() { QCOMPARE(QueuedModalAnswers(), 0); }

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
        QCOMPARE(caption, Tr("Database Title"));
        QCOMPARE(shown, Tr("My title"));
        QCOMPARE(text, Tr("My title"));
        AnswerInputLine(Tr("abcdefghijklmnopqrstu"));  // 21 characters
        QVERIFY(InputLine(Tr("Database Title"), text, 20));
        QCOMPARE(text, Tr("abcdefghijklmnopqrst"));
    }

    void longTextConversions_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("value");
        QTest::newRow("line feed") << Tr("a\nb") << Tr("a\u00A4b");
        QTest::newRow("CR LF is one break") << Tr("a\r\nb") << Tr("a\u00A4b");
        QTest::newRow("lone CR") << Tr("a\rb") << Tr("a\u00A4b");
        QTest::newRow("empty last line dropped") << Tr("a\nb\n") << Tr("a\u00A4b");
        QTest::newRow("breaks at both ends dropped") << Tr("\n\na\n\n") << Tr("a");
        QTest::newRow("inner empty line kept") << Tr("a\n\nb") << Tr("a\u00A4\u00A4b");
    }
    void longTextConversions()
    {
        QFETCH(QString, memo);
        QTEST(ValueFromMemoText(memo), "value");
    }

    void longTextEditorShowsLinesAndGivesValueBack()
    {
        QString value = Tr("a\u00A4b");
        QString shown;
        QueueModalAnswer([&](QDialog& d) {
            auto* memo = d.findChild<QPlainTextEdit*>(Tr("Memo"));
            shown = memo->toPlainText();
            memo->moveCursor(QTextCursor::End);
            QTest::keyClick(memo, Qt::Key_Return);  // an empty last line
            d.findChild<QPushButton*>(Tr("OkBtn"))->click();
        });
        QVERIFY(EditLongText(value));
        QCOMPARE(shown, Tr("a\nb"));
        QCOMPARE(value, Tr("a\u00A4b"));
        QueueModalAnswer([](QDialog& d) {
            d.findChild<QPlainTextEdit*>()->setPlainText(Tr("changed"));
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QVERIFY(!EditLongText(value));
        QCOMPARE(value, Tr("a\u00A4b"));
    }

    void longTextEditorRemembersItsPlace()
    {
        {
            TEditForm form;
            form.move(33, 44);
            form.resize(500, 300);
        }
        const std::string stored = config_.Read(CurrentScreenSection(), "EditFormPos");
        QCOMPARE(QString::fromStdString(stored), Tr("33,44,500,300"));
        TEditForm again;
        QCOMPARE(again.pos(), QPoint(33, 44));
        QCOMPARE(again.size(), QSize(500, 300));
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
        AnswerKey(Qt::Key_Escape);
        QVERIFY(!PickDate(10, 10, date));
        QCOMPARE(date, QDate(2001, 2, 14));
    }

    void chooseFieldEnablesOkOnlyAfterAChoice()
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
        AnswerButton(Tr("CancelBtn"));
        QCOMPARE(ChooseField({Tr("Name")}), -1);
    }

    void chooseFieldsGivesOneFlagPerField()
    {
        QueueModalAnswer([](QDialog& d) {
            d.findChild<QPushButton*>(Tr("NoneBtn"))->click();
            d.findChild<QListWidget*>()->item(2)->setCheckState(Qt::Checked);
            d.findChild<QPushButton*>(Tr("OkBtn"))->click();
        });
        QCOMPARE(ChooseFields({Tr("a"), Tr("b"), Tr("c")}), (std::vector<bool>{false, false, true}));
        AnswerButton(Tr("OkBtn"));
        QCOMPARE(ChooseFields({Tr("a"), Tr("b")}), (std::vector<bool>{true, true}));
        AnswerButton(Tr("CancelBtn"));
        QVERIFY(ChooseFields({Tr("a"), Tr("b")}).empty());
    }

    void directoryPickerOpensAtStartAndListsVisibleSubdirectories()
    {
        QTemporaryDir base;
        QDir(base.path()).mkpath(Tr("data/inner"));
        QDir(base.path()).mkpath(Tr("photos"));
        QDir(base.path()).mkpath(Tr(".hidden"));
        QStringList children;
        QString status;
        QueueModalAnswer([&](QDialog& d) {
            auto* tree = d.findChild<QTreeWidget*>();
            QTreeWidgetItem* node = tree->currentItem();
            node->setExpanded(true);
            for (int i = 0; i < node->childCount(); ++i)
                children << node->child(i)->text(0);
            status = d.findChild<QLabel*>(Tr("StatusBar"))->text();
            tree->setCurrentItem(node->child(1));
            d.findChild<QPushButton*>(Tr("OkBtn"))->click();
        });
        QCOMPARE(PickDirectory(base.path()), base.path() + Tr("/photos"));
        QCOMPARE(children, QStringList({Tr("data"), Tr("photos")}));
        QCOMPARE(status, Tr("  ") + base.path());
    }

    void directoryPickerCancelReturnsStartAndOkFallsBackToProgramDirectory()
    {
        AnswerButton(Tr("CancelBtn"));
        QCOMPARE(PickDirectory(Tr("/no/such/dir")), Tr("/no/such/dir"));
        AnswerButton(Tr("OkBtn"));
        QCOMPARE(PickDirectory(Tr("/no/such/dir")), QCoreApplication::applicationDirPath());
    }

    void directoryTreeRootHoldsFileSystemRoot()
    {
        TPickDirForm form;
        QTreeWidgetItem* root = form.Tree()->topLevelItem(0);
        QCOMPARE(root->text(0), Tr("My Computer"));
        QVERIFY(root->childCount() >= 1);
        QCOMPARE(root->child(0)->data(0, Qt::UserRole).toString(), Tr("/"));
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "small_dialogs_test.moc"
