// Sorting by a header click and through the Sort dialog: numbers by value,
// dates and times in time order, empty and unreadable values first; the
// header's arrow on the column the header sort used.
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "modal.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String, {}}, {"Qty", TFieldType::Integer, {}},
                                        {"Price", TFieldType::Float, {}}, {"Due", TFieldType::Date, {}},
                                        {"At", TFieldType::Time, {}},     {"Born", TFieldType::IntDate, {}}};
const Rows kRows = {{"a", "100", "2.5", "05/03/2024", "14:05", "05 Mar 2001"},
                    {"b", "9", "-1.25", "17/01/1999", "9:30", "17 Jan 1999"},
                    {"c", "", "10", "28/02/2024", "", "31 Dec 2000"},
                    {"d", "-3", "", "", "23:59", ""},
                    {"e", "x", "0.5", "1/2/24", "0:00", "bad"}};

// The column of the header's arrow, as "2 up" or "2 down"; "none" without one.
QString Arrow(TDatabasePage& page)
{
    const QHeaderView* header = page.Grid()->horizontalHeader();
    if (!header->isSortIndicatorShown() || header->sortIndicatorSection() < 0)
        return FromUtf8("none");
    const bool up = header->sortIndicatorOrder() == Qt::AscendingOrder;
    return QString::number(header->sortIndicatorSection()) + FromUtf8(up ? " up" : " down");
}

}  // namespace

class SortTest : public GuiCase {
    Q_OBJECT

    std::unique_ptr<TMainForm> Start()
    {
        auto form = StartMainForm({PathToQString(Db("sort.pdb", "Sort", kFields, kRows))});
        return QTest::qWaitForWindowExposed(form.get()) ? std::move(form) : nullptr;
    }

private slots:
    void values_sort_by_their_kind_both_ways_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("names");  // then by Name, as both ways sort
        // Each kind's order is the sort's own to check; here both ways reach it.
        QTest::newRow("integers") << 1 << FromUtf8("cedba");
        QTest::newRow("long dates") << 5 << FromUtf8("debca");
    }
    void values_sort_by_their_kind_both_ways()
    {
        QFETCH(int, col);
        for (const bool dialog : {false, true}) {
            auto form = Start();
            QVERIFY(form);
            TDatabasePage& page = *form->Tabs()->Page(0);
            if (dialog) {
                ClickHeader(*page.Grid(), 0);  // an arrow for the dialog's sort to take away
                AnswerSortFields({ToQString(kFields[size_t(col)].name, TCharset::Windows1252), FromUtf8("Name")});
                form->Action("SortBtn")->trigger();
            } else {
                ClickHeader(*page.Grid(), col);
            }
            QString names;
            for (int r = 1; r <= page.DataBase()->RecordCount(); ++r)
                names += ToQString(page.DataBase()->GetCell(r, 1), TCharset::Windows1252);
            QTEST(names, "names");
            QCOMPARE(page.Model()->CellText(0, 0), names.left(1));
            QCOMPARE(Arrow(page), dialog ? FromUtf8("none") : QString::number(col) + FromUtf8(" up"));
        }
    }

    // "Descending" ticked for the current key of "Sorting Order": that key
    // sorts descending.
    void a_ticked_key_in_the_dialog_sorts_descending()
    {
        auto form = Start();
        QVERIFY(form);
        QueueModalAnswer([](QDialog& d) {
            auto& sort = dynamic_cast<TSortForm&>(d);
            for (const char* name : {"Qty", "Name"}) {
                sort.AvailList()->setCurrentItem(sort.AvailList()->findItems(FromUtf8(name), Qt::MatchExactly)[0]);
                Btn(d, "CopyBtn")->click();
            }
            sort.SortList()->setCurrentRow(0);
            sort.DescendingBox()->setFocus();
            QTest::keyClick(sort.DescendingBox(), Qt::Key_Space);
            Btn(d, "OkBtn")->click();
        });
        form->Action("SortBtn")->trigger();
        const TJFILE& db = *form->Tabs()->CurrentDB();
        QString names;
        for (int r = 1; r <= db.RecordCount(); ++r)
            names += ToQString(db.GetCell(r, 1), TCharset::Windows1252);
        QCOMPARE(names, FromUtf8("abdec"));  // 100, 9, -3, then the unreadable and the empty
    }

    void arrow_follows_the_header_sort_until_the_order_changes()
    {
        auto form = Start();
        QVERIFY(form);
        TDatabasePage& page = *form->Tabs()->Page(0);
        QStringList arrows;
        ClickHeader(*page.Grid(), 1);
        ClickHeader(*page.Grid(), 1);  // reversed: the rows turn, the records keep the sorted order
        QCOMPARE(page.Model()->CellText(0, 0) + ToQString(page.DataBase()->GetCell(1, 1), TCharset::Windows1252),
                 FromUtf8("ac"));
        arrows << Arrow(page);
        page.GridColumnMoved(1, 3);  // the sorted field moves to column 3
        arrows << Arrow(page);
        ClickHeader(*page.Grid(), 3);  // still that sort: reversed back
        arrows << Arrow(page);
        page.Grid()->SetCellText(0, 0, FromUtf8("z"));  // an edit ends it
        arrows << Arrow(page);
        QCOMPARE(arrows.join(FromUtf8(", ")), FromUtf8("1 down, 3 down, 3 up, none"));
    }
};

QTEST_MAIN(SortTest)
#include "sort_test.moc"
