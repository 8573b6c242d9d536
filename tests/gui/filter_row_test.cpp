// The filter row under the grid's titles, used as a person uses it: keys
// typed into its boxes, then the rows, the status line, the highlight and an
// export of the records shown.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "find_dialog.h"
#include "grid_header.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "message_dialog.h"
#include "record_list_model.h"
#include "records_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String, {}},
                                        {"Qty", TFieldType::Integer, {}},
                                        {"Region", TFieldType::List, {"North", "South"}},
                                        {"Done", TFieldType::Boolean, {}}};
const Rows kRows = {{"apple", "3", "North", "1"},
                    {"Apricot", "12", "South", "0"},
                    {"pear", "12", "North", "1"},
                    {"grape", "40", "North", "0"},
                    {"avocado", "7", "South", "1"}};

std::vector<int> RowRecords(const TDatabasePage& page)
{
    std::vector<int> records;
    for (int row = 0; row < page.Model()->rowCount(); ++row)
        records.push_back(page.Model()->RecordOfRow(row));
    return records;
}

QWidget* Box(TDatabasePage& page, int col)
{
    return page.Grid()->Header()->FilterBox(col);
}

QString Info(const TMainForm& form)
{
    return form.findChild<QLabel*>(FromUtf8("InfoPanel"))->text();
}

}  // namespace

class FilterRowTest : public GuiCase {
    Q_OBJECT

private slots:
    void typed_boxes_narrow_the_views_and_the_export_writes_the_rows_shown()
    {
        const std::string path = Db("fruit.PDB", "Fruit", kFields, kRows);
        auto form = StartMainForm({PathToQString(path)});
        TDatabasePage& page = *form->Tabs()->Page(0);
        QVERIFY(!page.FilterRowVisible());  // off by default
        form->Action("FilterRowItem")->trigger();
        QVERIFY(page.FilterRowVisible());
        QVERIFY(form->Action("FilterRowItem")->isChecked());
        QCOMPARE(config_->Read("Fruit", "FilterRow"), std::string("1"));
        QVERIFY(qobject_cast<QCheckBox*>(Box(page, 3)));
        auto* region = qobject_cast<QComboBox*>(Box(page, 2));
        QVERIFY(region);
        QCOMPARE(region->count(), 3);  // either, North, South

        auto* name = qobject_cast<QLineEdit*>(Box(page, 0));
        auto* qty = qobject_cast<QLineEdit*>(Box(page, 1));
        QVERIFY(name && qty && name->isVisible());
        // Each line says what it takes.
        QCOMPARE(name->toolTip(), FromUtf8("Filter: a text the cells contain"));
        QCOMPARE(qty->toolTip(), FromUtf8("Filter: a text the cells contain, or =, <, >, <= or >= a number (as in "
                                          ">=2.5), or a range a..b (as in 1..10)"));
        QTest::keyClicks(name, QStringLiteral("AP"));
        QTest::keyClicks(qty, QStringLiteral(">5"));
        page.FinishFilter();                                   // the pause in typing, and the slices, at once
        QCOMPARE(RowRecords(page), (std::vector<int>{2, 4}));  // Apricot 12, grape 40
        QVERIFY(Info(*form).startsWith(FromUtf8("2 of 5 records")));
        QVERIFY(form->Action("AllBtn")->isEnabled());

        const QAbstractItemModel& model = *page.Model();
        QVERIFY(model.index(0, 0).data(TDatabaseModel::kMatchRole).toBool());  // "Apricot" holds "ap"
        QCOMPARE(model.index(0, 0).data(Qt::BackgroundRole).value<QBrush>(), MatchBrush());
        QVERIFY(!model.index(0, 2).data(Qt::BackgroundRole).isValid());

        // The list view shows the same records, its lines highlighted too.
        form->Action("ListBtn")->trigger();
        QCOMPARE(page.ListModel()->rowCount(), 2);
        QVERIFY(page.ListModel()->index(1, 0).data(TDatabaseModel::kMatchRole).toBool());
        form->Action("GridBtn")->trigger();

        // Rows reversed: the export follows the rows, not the file.
        page.Model()->ReverseRows();
        QCOMPARE(RowRecords(page), (std::vector<int>{4, 2}));
        AnswerAfter(
            [](QDialog& dialog) {
                auto& records = static_cast<TRecordsForm&>(dialog);
                QCOMPARE(records.Button(TRecordScope::All)->text(), FromUtf8("&All 5 records"));
                QCOMPARE(records.Button(TRecordScope::Shown)->text(), FromUtf8("&The 2 records shown"));
                QVERIFY(records.Button(TRecordScope::Shown)->isChecked());
            },
            FromUtf8("OkBtn"));
        AnswerButton(FromUtf8("OkBtn"));  // every field
        form->Action("SaveCSV")->trigger();
        QCOMPARE(form->StatusPanel()->text(), FromUtf8("Exported 2 records to fruit.CSV"));
        QCOMPARE(FileBytes(Data(FromUtf8("fruit.CSV"))), QByteArray("\"Name\",\"Qty\",\"Region\",\"Done\"\r\n"
                                                                    "\"grape\",\"40\",\"North\",\"0\"\r\n"
                                                                    "\"Apricot\",\"12\",\"South\",\"0\"\r\n"));

        // A field moved takes its box along, and the filter stays the same.
        QVERIFY(page.Model()->MoveField(0, 2));
        page.FinishFilter();
        QCOMPARE(page.Grid()->FilterTexts(), (QStringList{FromUtf8(">5"), QString(), FromUtf8("AP"), QString()}));
        QCOMPARE(RowRecords(page), (std::vector<int>{4, 2}));
        QVERIFY(page.Model()->index(0, 2).data(TDatabaseModel::kMatchRole).toBool());  // "grape" under "AP"
        QVERIFY(page.Model()->MoveField(2, 0));
        page.FinishFilter();

        // All of them, when asked for.
        AnswerAfter([](QDialog& dialog) { static_cast<TRecordsForm&>(dialog).Button(TRecordScope::All)->click(); },
                    FromUtf8("OkBtn"));
        AnswerButton(FromUtf8("OkBtn"));
        AnswerButton(FromUtf8("Yes"));  // over the files written before
        form->Action("SaveCSV")->trigger();
        QCOMPARE(form->StatusPanel()->text(), FromUtf8("Exported 5 records to fruit.CSV"));
    }

    // The drop-down and the check box filter at once; a find narrows the
    // rows further; View all empties the boxes; the row's choice comes back
    // with the database.
    void choices_find_and_view_all_work_together()
    {
        const std::string path = Db("fruit.PDB", "Fruit", kFields, kRows);
        {
            auto form = StartMainForm({PathToQString(path)});
            TDatabasePage& page = *form->Tabs()->Page(0);
            form->Action("FilterRowItem")->trigger();
            auto* region = qobject_cast<QComboBox*>(Box(page, 2));
            region->setCurrentIndex(region->findText(FromUtf8("North")));
            auto* done = qobject_cast<QCheckBox*>(Box(page, 3));
            QCOMPARE(done->checkState(), Qt::PartiallyChecked);  // either
            QTest::mouseClick(done, Qt::LeftButton, {}, QPoint(4, done->height() / 2));
            page.FinishFilter();
            QCOMPARE(done->checkState(), Qt::Checked);
            QCOMPARE(RowRecords(page), (std::vector<int>{1, 3}));  // apple, pear

            // A find narrows the rows the filter leaves; its text is highlighted.
            AnswerAfter(
                [](QDialog& d) {
                    auto& find = static_cast<TFindForm&>(d);
                    find.Find()->setText(FromUtf8("EAR"));
                    find.CaseSensitive()->setChecked(false);
                    find.WordSearch()->setChecked(false);
                },
                FromUtf8("OkBtn"));
            form->Action("FindBtn")->trigger();
            QCOMPARE(RowRecords(page), (std::vector<int>{3}));
            QVERIFY(page.Model()->index(0, 0).data(TDatabaseModel::kMatchRole).toBool());
            QVERIFY(Info(*form).startsWith(FromUtf8("1 of 5 records")));
            // Changing the boxes keeps the find.
            region->setCurrentIndex(0);
            page.FinishFilter();
            QCOMPARE(RowRecords(page), (std::vector<int>{3}));

            // A box that cannot match says why and shows nothing.
            auto* qty = qobject_cast<QLineEdit*>(Box(page, 1));
            QTest::keyClicks(qty, QStringLiteral(">lots"));
            page.FinishFilter();
            QCOMPARE(RowRecords(page), std::vector<int>{});
            QCOMPARE(qty->toolTip(), FromUtf8("\"lots\" is not a number."));
            QCOMPARE(qty->palette().color(QPalette::Text), QColor(192, 0, 0));
            qty->selectAll();
            QTest::keyClick(qty, Qt::Key_Backspace);
            page.FinishFilter();
            QCOMPARE(RowRecords(page), (std::vector<int>{3}));

            QTest::keyClicks(qty, QStringLiteral(">1"));
            auto* clear = qty->findChild<QToolButton*>();  // the box's clear button
            QVERIFY(clear);
            QTRY_VERIFY(clear->isVisible());
            form->Action("AllBtn")->trigger();
            QCOMPARE(RowRecords(page), (std::vector<int>{1, 2, 3, 4, 5}));
            QCOMPARE(qty->text(), QString());
            QTRY_VERIFY(!clear->isVisible());  // it fades out with the text
            QCOMPARE(region->currentIndex(), 0);
            QCOMPARE(done->checkState(), Qt::PartiallyChecked);
            QVERIFY(!form->Action("AllBtn")->isEnabled());
        }
        auto again = StartMainForm({PathToQString(path)});
        QVERIFY(again->Tabs()->Page(0)->FilterRowVisible());
        again->Action("FilterRowItem")->trigger();
        QVERIFY(!again->Tabs()->Page(0)->FilterRowVisible());
        QCOMPARE(config_->Read("Fruit", "FilterRow"), std::string("0"));
    }

    // A filter that comes while a question is open waits until it is
    // answered: the record asked about is the record deleted.
    void a_filter_waits_while_a_dialog_is_open()
    {
        const std::string path = Db("fruit.PDB", "Fruit", kFields, kRows);
        auto form = StartMainForm({PathToQString(path)});
        TDatabasePage& page = *form->Tabs()->Page(0);
        form->Action("FilterRowItem")->trigger();
        page.Grid()->setCurrentIndex(page.Model()->index(0, 0));  // apple, record 1
        page.Grid()->setFocus();
        QString question;
        AnswerAfter(
            [&](QDialog& dialog) {
                question = MessageOf(dialog);
                // The boxes change behind the question, and the filter runs to its end.
                page.Grid()->Header()->SetFilterText(0, FromUtf8("pear"));
                emit page.Grid()->FilterChanged();
                QCOMPARE(RowRecords(page), (std::vector<int>{1, 2, 3, 4, 5}));
            },
            ButtonName(TMsgButton::Yes));
        form->Action("DelBtn")->trigger();
        QCOMPARE(question, FromUtf8("Delete record #1?"));
        QCOMPARE(form->Tabs()->CurrentDB()->GetCell(1, 1), std::string("Apricot"));  // apple went
        page.FinishFilter();
        QCOMPARE(RowRecords(page), (std::vector<int>{2}));  // pear, now record 2
    }
};

QTEST_MAIN(FilterRowTest)
#include "filter_row_test.moc"
