// The popup list editor answered as a person would: where added values go,
// what stays selected, the limits, and OK and Cancel.
#include "gui_test_support.h"
#include "message_dialog.h"
#include "modal.h"
#include "popup_list_dialog.h"
#include "text_convert.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

QStringList Abc() { return {Tr("a"), Tr("b"), Tr("c")}; }

QPushButton* Btn(QDialog& d, const char* name) { return d.findChild<QPushButton*>(Tr(name)); }

}  // namespace

class PopupListDialogTest : public QObject {
    Q_OBJECT

    ConfigHome config_;

private slots:
    void init() { ClearModalAnswers(); }
    void cleanup() { QCOMPARE(QueuedModalAnswers(), 0); }

    void editingGivesTheListBackOnOk_data()
    {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<int>("row");        // selected before the action
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("result");
        QTest::addColumn<int>("selected");
        QTest::newRow("add after the last") << Abc() << 2 << Tr("AddBtn")
                                            << QStringList{Tr("a"), Tr("b"), Tr("c"), Tr("new")} << 3;
        QTest::newRow("add after the second") << Abc() << 1 << Tr("AddBtn")
                                              << QStringList{Tr("a"), Tr("b"), Tr("new"), Tr("c")} << 2;
        QTest::newRow("add with none selected") << Abc() << -1 << Tr("AddBtn")
                                                << QStringList{Tr("new"), Tr("a"), Tr("b"), Tr("c")} << 0;
        QTest::newRow("add to an empty list") << QStringList() << -1 << Tr("AddBtn") << QStringList{Tr("new")} << 0;
        QTest::newRow("edit") << Abc() << 1 << Tr("EditBtn") << QStringList{Tr("a"), Tr("new"), Tr("c")} << 1;
        QTest::newRow("delete the last") << Abc() << 2 << Tr("DelBtn") << QStringList{Tr("a"), Tr("b")} << 1;
        QTest::newRow("delete the only") << QStringList{Tr("a")} << 0 << Tr("DelBtn") << QStringList() << -1;
        QTest::newRow("up") << Abc() << 2 << Tr("UpBtn") << QStringList{Tr("a"), Tr("c"), Tr("b")} << 1;
        QTest::newRow("down") << Abc() << 0 << Tr("DownBtn") << QStringList{Tr("b"), Tr("a"), Tr("c")} << 1;
        QTest::newRow("sort ignores case") << QStringList{Tr("pear"), Tr("Apple"), Tr("banana")} << 0
                                           << Tr("SortBtn")
                                           << QStringList{Tr("Apple"), Tr("banana"), Tr("pear")} << 2;
        QTest::newRow("sort of a sorted list") << Abc() << 0 << Tr("SortBtn") << Abc() << 0;
    }
    void editingGivesTheListBackOnOk()
    {
        QFETCH(QStringList, start);
        QFETCH(int, row);
        QFETCH(QString, action);
        QFETCH(QStringList, result);
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
            QVERIFY(Btn(d, "OkBtn")->isEnabled());
            Btn(d, "OkBtn")->click();
        });
        QStringList list = start;
        QVERIFY(form.EditPopupList(list, Tr("Popup List for \"Colour\"")));
        QCOMPARE(caption, Tr("Popup List for \"Colour\""));
        QCOMPARE(list, result);
        QCOMPARE(selectedAfter, selected);
    }

    void addStopsAtOneHundredValues()
    {
        QStringList full;
        for (int i = 0; i < TPopForm::kMaxItems; ++i)
            full << QString::number(i);
        TPopForm form;
        bool addAtFull = true, addAfterDelete = false, addRefilled = true;
        QueueModalAnswer([&](QDialog& d) {
            addAtFull = Btn(d, "AddBtn")->isEnabled();
            AnswerButton(ButtonName(mbYes));
            Btn(d, "DelBtn")->click();
            addAfterDelete = Btn(d, "AddBtn")->isEnabled();
            AnswerInputLine(Tr("x"));
            Btn(d, "AddBtn")->click();
            addRefilled = Btn(d, "AddBtn")->isEnabled();
            Btn(d, "CancelBtn")->click();
        });
        QStringList list = full;
        QVERIFY(!form.EditPopupList(list, Tr("Popup List")));
        QCOMPARE(list, full);  // Cancel after changes
        QVERIFY(!addAtFull && addAfterDelete && !addRefilled);
    }

    void emptyListOffersOnlyAddAndNoKeepsTheValue()
    {
        TPopForm form;
        QueueModalAnswer([&](QDialog& d) {
            for (const char* name : {"DelBtn", "EditBtn", "UpBtn", "DownBtn"})
                QVERIFY2(!Btn(d, name)->isEnabled(), name);
            QVERIFY(Btn(d, "AddBtn")->isEnabled());
            Btn(d, "CancelBtn")->click();
        });
        QStringList empty;
        QVERIFY(!form.EditPopupList(empty, Tr("Popup List")));

        bool okAfterNo = true;
        QueueModalAnswer([&](QDialog& d) {
            AnswerButton(ButtonName(mbNo));
            Btn(d, "DelBtn")->click();
            okAfterNo = Btn(d, "OkBtn")->isEnabled();
            Btn(d, "CancelBtn")->click();
        });
        QStringList list = Abc();
        QVERIFY(!form.EditPopupList(list, Tr("Popup List")));
        QCOMPARE(form.Items(), Abc());
        QVERIFY(!okAfterNo);
    }
};

QTEST_MAIN(PopupListDialogTest)
#include "popup_list_dialog_test.moc"
