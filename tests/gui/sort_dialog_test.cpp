// The sort dialog, the order dialog of List keys and the export field
// chooser, answered as a person would, with the records read back.
#include "database_tabs.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "order_dialog.h"
#include "record_sort.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {
    {"Name", kTypeString, {}}, {"Colour", kTypeList, {"Red", "Green", "Blue"}}, {"Size", kTypeInteger, {}}};
const std::vector<std::vector<std::string>> kRows = {
    {"apple", "Green", "10"}, {"berry", "Pink", "9"}, {"cherry", "Red", "100"}, {"date", "Blue", "9"},
    {"elder", "Red", "10"}};

void Select(QListWidget* list, const QStringList& names)
{
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSelected(names.contains(list->item(i)->text()));
}

QStringList Items(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

std::vector<std::string> Column(const TJFILE& db, int field)
{
    std::vector<std::string> values;
    for (int r = 1; r <= db.RecordCount(); ++r)
        values.push_back(db.GetCell(r, field));
    return values;
}

// The next sort dialog: move `keys` to "Sorting Order", then OK.
void AnswerSortFields(const QStringList& keys)
{
    QueueModalAnswer([keys](QDialog& d) {
        auto& form = dynamic_cast<TSortForm&>(d);
        for (const QString& key : keys) {
            Select(form.AvailList(), {key});
            form.findChild<QPushButton*>(Tr("CopyBtn"))->click();
        }
        form.findChild<QPushButton*>(Tr("OkBtn"))->click();
    });
}

}  // namespace

class SortDialogTest : public QObject {
    Q_OBJECT

    ConfigHome config_;
    QTemporaryDir data_;

    std::unique_ptr<TMainForm> Start(const std::string& path)
    {
        AnswerButton(ButtonName(mbIgnore));  // "Pink" is in no popup list
        auto form = std::make_unique<TMainForm>();
        form->FormCreate({PathToQString(path)});
        return form;
    }

private slots:
    void init() { ClearModalAnswers(); }
    void cleanup() { QCOMPARE(QueuedModalAnswers(), 0); }

    void movingNamesKeepsListOrderAndEnablesOk()
    {
        TSortForm form;
        form.SetAvailable({Tr("A"), Tr("B"), Tr("C"), Tr("D"), Tr("E")});
        form.SetSortList({});
        auto* ok = form.findChild<QPushButton*>(Tr("OkBtn"));
        auto* del = form.findChild<QPushButton*>(Tr("DelBtn"));
        auto* copy = form.findChild<QPushButton*>(Tr("CopyBtn"));
        QVERIFY(!ok->isEnabled() && !del->isEnabled() && copy->isEnabled());

        Select(form.AvailList(), {Tr("D"), Tr("B"), Tr("E")});
        form.MoveSelected(form.AvailList(), form.SortList());
        QCOMPARE(form.SortNames(), (QStringList{Tr("B"), Tr("D"), Tr("E")}));
        QCOMPARE(form.AvailableNames(), (QStringList{Tr("A"), Tr("C")}));
        QVERIFY(ok->isEnabled() && del->isEnabled());

        Select(form.SortList(), {Tr("B")});
        form.MoveSelected(form.SortList(), form.AvailList());
        QCOMPARE(form.AvailableNames(), (QStringList{Tr("A"), Tr("C"), Tr("B")}));
        Select(form.AvailList(), {Tr("A"), Tr("C"), Tr("B")});
        form.MoveSelected(form.AvailList(), form.SortList());
        QVERIFY(!copy->isEnabled());
        Select(form.SortList(), {});
        form.SortList()->selectAll();
        form.MoveSelected(form.SortList(), form.AvailList());
        QVERIFY(!ok->isEnabled() && !del->isEnabled());
    }

    void exportChooserGivesTheFieldsLeftInTheirOrder_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("returned");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<std::vector<int>>("fields");
        QTest::newRow("all fields") << QStringList() << QStringList() << true << std::vector<int>{1, 2, 3};
        QTest::newRow("one left out") << QStringList{Tr("Colour")} << QStringList() << true
                                      << std::vector<int>{1, 3};
        QTest::newRow("moved to the end") << QStringList{Tr("Name")} << QStringList{Tr("Name")} << true
                                          << std::vector<int>{2, 3, 1};
        QTest::newRow("cancel") << QStringList() << QStringList() << false << std::vector<int>{};
    }
    void exportChooserGivesTheFieldsLeftInTheirOrder()
    {
        QFETCH(QStringList, removed);
        QFETCH(QStringList, returned);
        QFETCH(bool, accept);
        QFETCH(std::vector<int>, fields);
        TJFILE db;
        db.InitNew();
        FillDatabase(db, kFields, kRows);
        QString caption, group;
        QueueModalAnswer([&](QDialog& d) {
            auto& form = dynamic_cast<TSortForm&>(d);
            caption = form.windowTitle();
            group = form.SortOrder()->title();
            QVERIFY(!form.SavedSortBox()->isVisible());
            Select(form.SortList(), removed);
            form.MoveSelected(form.SortList(), form.AvailList());
            Select(form.AvailList(), returned);
            form.MoveSelected(form.AvailList(), form.SortList());
            form.findChild<QPushButton*>(Tr(accept ? "OkBtn" : "CancelBtn"))->click();
        });
        QCOMPARE(ChooseExportFields(db, QIcon()), fields);
        QCOMPARE(caption, Tr("Selecting fields for export"));
        QCOMPARE(group, Tr("Fields to export"));
    }

    void listKeysSortInTheChosenOrder_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("moveUpRow");  // -1: the popup order as it is
        QTest::addColumn<std::vector<std::string>>("names");
        // Pink is in no list: before every listed value.
        QTest::newRow("popup order") << int(TOrderForm::kUserDefined) << -1
                                     << std::vector<std::string>{"berry", "cherry", "elder", "apple", "date"};
        QTest::newRow("user-defined, Blue first")
            << int(TOrderForm::kUserDefined) << 2
            << std::vector<std::string>{"berry", "date", "cherry", "elder", "apple"};
        QTest::newRow("alphabetically") << int(TOrderForm::kAlphabetically) << -1
                                        << std::vector<std::string>{"date", "apple", "berry", "cherry", "elder"};
    }
    void listKeysSortInTheChosenOrder()
    {
        QFETCH(int, mode);
        QFETCH(int, moveUpRow);
        QFETCH(std::vector<std::string>, names);
        const std::string path = MakeDatabase(data_.path(), "list.pdb", "List", kFields, kRows);
        auto form = Start(path);
        AnswerSortFields({Tr("Colour"), Tr("Name")});
        QStringList offered;
        QueueModalAnswer([&](QDialog& d) {
            auto& orders = dynamic_cast<TOrderForm&>(d);
            offered = Items(orders.OrderList());
            orders.OrderButton(mode)->click();
            if (moveUpRow >= 0) {
                orders.OrderList()->setCurrentRow(moveUpRow);
                orders.findChild<QPushButton*>(Tr("UpBtn"))->click();
                orders.OrderList()->setCurrentRow(1);
                orders.findChild<QPushButton*>(Tr("UpBtn"))->click();
            }
            orders.findChild<QPushButton*>(Tr("OkBtn"))->click();
        });
        form->Action("SortBtn")->trigger();
        QCOMPARE(offered, (QStringList{Tr("Red"), Tr("Green"), Tr("Blue")}));
        TJFILE& db = *form->Tabs()->CurrentDB();
        QCOMPARE(Column(db, 1), names);
        QVERIFY(db.Modified);
    }

    void updatingThePopupOrderKeepsEveryValue()
    {
        const std::string path = MakeDatabase(data_.path(), "upd.pdb", "Upd", kFields, kRows);
        auto form = Start(path);
        AnswerSortFields({Tr("Colour")});
        QueueModalAnswer([](QDialog& d) {
            auto& orders = dynamic_cast<TOrderForm&>(d);
            orders.OrderList()->setCurrentRow(2);
            orders.findChild<QPushButton*>(Tr("UpBtn"))->click();
            orders.OrderList()->setCurrentRow(1);
            orders.findChild<QPushButton*>(Tr("UpBtn"))->click();  // Blue, Red, Green
            orders.findChild<QPushButton*>(Tr("UpdBtn"))->click();
            orders.findChild<QPushButton*>(Tr("CancelBtn"))->click();
        });
        form->Action("SortBtn")->trigger();
        TJFILE& db = *form->Tabs()->CurrentDB();
        QCOMPARE(db.PopupCount(2), 3);
        QCOMPARE(db.GetPopupItem(2, 1) + db.GetPopupItem(2, 2) + db.GetPopupItem(2, 3), std::string("BlueRedGreen"));
        QCOMPARE(Column(db, 2), (std::vector<std::string>{"Green", "Pink", "Red", "Blue", "Red"}));
    }

    void savedSortGivesTheOrderOfItsKeys()
    {
        const std::string path = MakeDatabase(data_.path(), "saved.pdb", "Saved", kFields, kRows);
        {
            auto db = Open(path);
            db->SetSavedSort(2, "by size", {3, 2, 0});
            db->SaveWithName("Saved");
        }
        auto form = Start(path);
        QueueModalAnswer([](QDialog& d) {
            auto& sort = dynamic_cast<TSortForm&>(d);
            QCOMPARE(sort.SavedSortBox()->count(), 2);
            QCOMPARE(sort.SavedSortBox()->itemText(1), Tr("by size  (Size, Colour)"));
            sort.SavedSortBox()->setCurrentIndex(1);
            emit sort.SavedSortBox()->activated(1);
            QCOMPARE(sort.SortNames(), (QStringList{Tr("Size"), Tr("Colour")}));
            QCOMPARE(sort.AvailableNames(), QStringList{Tr("Name")});
            sort.findChild<QPushButton*>(Tr("OkBtn"))->click();
        });
        AnswerButton(Tr("OkBtn"));  // the order dialog, as it opens
        form->Action("SortBtn")->trigger();
        const TJFILE& db = *form->Tabs()->CurrentDB();
        QCOMPARE(Column(db, 1), (std::vector<std::string>{"elder", "apple", "cherry", "berry", "date"}));
    }
};

QTEST_MAIN(SortDialogTest)
#include "sort_dialog_test.moc"
