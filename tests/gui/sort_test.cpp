// Sorting a tab's records by a header click and through the Sort dialog:
// numbers by value, dates and times in time order, empty and unreadable
// values first, and the header's arrow on the column the header sort used.
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "jfile.h"
#include "main_window.h"
#include "modal.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"Name", kTypeString, {}}, {"Qty", kTypeInteger, {}},
                                        {"Price", kTypeFloat, {}}, {"Due", kTypeDate, {}},
                                        {"At", kTypeTime, {}},     {"Born", kTypeIntDate, {}}};
const Rows kRows = {{"a", "100", "2.5", "05/03/2024", "14:05", "05 Mar 2001"},
                    {"b", "9", "-1.25", "17/01/1999", "9:30", "17 Jan 1999"},
                    {"c", "", "10", "28/02/2024", "", "31 Dec 2000"},
                    {"d", "-3", "", "", "23:59", ""},
                    {"e", "x", "0.5", "1/2/24", "0:00", "bad"}};

enum class Way { Header, Dialog };

// The next sort dialog: move `keys` to "Sorting Order" one by one, then OK.
void AnswerSortFields(const QStringList& keys)
{
    QueueModalAnswer([keys](QDialog& d) {
        auto& form = dynamic_cast<TSortForm&>(d);
        for (const QString& key : keys) {
            for (int i = 0; i < form.AvailList()->count(); ++i)
                form.AvailList()->item(i)->setSelected(form.AvailList()->item(i)->text() == key);
            d.findChild<QPushButton*>(FromUtf8("CopyBtn"))->click();
        }
        d.findChild<QPushButton*>(FromUtf8("OkBtn"))->click();
    });
}

}  // namespace

class SortTest : public GuiCase {
    Q_OBJECT

    std::unique_ptr<TMainForm> Start()
    {
        auto form = StartMainForm({PathToQString(Db("sort.pdb", "Sort", kFields, kRows))});
        if (!QTest::qWaitForWindowExposed(form.get()))
            return nullptr;
        return form;
    }
    static TDatabasePage& Page(TMainForm& form) { return *form.Tabs()->Page(0); }
    static QHeaderView& Header(TMainForm& form) { return *Page(form).Grid()->horizontalHeader(); }
    static void ClickHeader(TMainForm& form, int col)
    {
        TDatabasePage& page = Page(form);
        page.Grid()->scrollTo(page.Model()->index(0, col));
        QHeaderView& header = Header(form);
        const QPoint at(header.sectionViewportPosition(col) + header.sectionSize(col) / 2, header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, at);
    }
    static QString Names(const TJFILE& db)
    {
        QString names;
        for (int r = 1; r <= db.RecordCount(); ++r)
            names += ToQString(db.GetCell(r, 1));
        return names;
    }
    // -1 when the header shows no arrow; else its column, negated minus 2
    // when it points down.
    static int Arrow(TMainForm& form)
    {
        const QHeaderView& header = Header(form);
        if (!header.isSortIndicatorShown() || header.sortIndicatorSection() < 0)
            return -1;
        const int col = header.sortIndicatorSection();
        return header.sortIndicatorOrder() == Qt::AscendingOrder ? col : -col - 2;
    }

private slots:
    void valuesSortByTheirKindBothWays_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("names");
        // Then by Name, as both ways sort here.
        QTest::newRow("integers") << 1 << FromUtf8("cedba");
        QTest::newRow("floats") << 2 << FromUtf8("dbeac");
        QTest::newRow("dates") << 3 << FromUtf8("dbeca");
        QTest::newRow("times") << 4 << FromUtf8("cebad");
        QTest::newRow("long dates") << 5 << FromUtf8("debca");
    }
    void valuesSortByTheirKindBothWays()
    {
        QFETCH(int, col);
        QFETCH(QString, names);
        for (const Way way : {Way::Header, Way::Dialog}) {
            auto form = Start();
            QVERIFY(form);
            const QString field = ToQString(kFields[size_t(col)].name);
            if (way == Way::Header) {
                ClickHeader(*form, col);
                QCOMPARE(Arrow(*form), col);
            } else {
                ClickHeader(*form, 0);  // an arrow for the dialog's sort to take away
                AnswerSortFields({field, FromUtf8("Name")});
                form->Action("SortBtn")->trigger();
                QCOMPARE(Arrow(*form), -1);
            }
            QCOMPARE(Names(*form->Tabs()->CurrentDB()), names);
            QCOMPARE(Page(*form).Model()->CellText(0, 0), names.left(1));
        }
    }

    void arrowFollowsTheHeaderSortUntilTheOrderChanges()
    {
        auto form = Start();
        QVERIFY(form);
        TDatabasePage& page = Page(*form);
        ClickHeader(*form, 1);
        ClickHeader(*form, 1);  // the rows reversed
        QCOMPARE(Arrow(*form), -1 - 2);
        ClickHeader(*form, 1);
        QCOMPARE(Arrow(*form), 1);
        page.GridColumnMoved(1, 3);  // Qty is now column 3
        QCOMPARE(Arrow(*form), 3);
        ClickHeader(*form, 3);  // still that sort: reversed again
        QCOMPARE(Arrow(*form), -3 - 2);
        page.Grid()->SetCellText(0, 0, FromUtf8("z"));  // an edit ends it
        QCOMPARE(Arrow(*form), -1);
    }
};

QTEST_MAIN(SortTest)
#include "sort_test.moc"
