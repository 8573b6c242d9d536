// Find through the main window: the grid, the list and the record view show
// the same records, edits under the filter reach the record shown, and
// "View all records" brings every record back.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "find_dialog.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "record_list_model.h"
#include "record_panel.h"
#include "text_convert.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// Windows-1252: 0xF6 is 'ö', 0xD6 'Ö'.
const std::vector<std::vector<std::string>> kRows = {
    {"Anna", "K\xF6ln", "x"}, {"Bert", "Bonn", "tree"},       {"Carl", "K\xD6LN", ""},
    {"Dora", "Ulm", "K\xF6ln trip"}, {"Emil", "Ulm", "k\xF6lner"},
};

// The names the view shows, in its order; the record view is stepped
// through with Next until it comes round again.
QStringList ViewNames(TMainForm& form, int mode)
{
    form.RecordItemClick(mode);
    TDatabasePage& page = *form.Tabs()->Page(0);
    QStringList names;
    TRecordPanel* panel = page.EditPanel();
    const int first = panel->CurrentRow();
    for (int row = 0; row < page.Model()->rowCount(); ++row) {
        if (mode == 0)
            names << page.Model()->CellText(row, 0);
        else if (mode == 1)
            names << page.ListModel()->LineText(row);
        else {
            names << qobject_cast<QLineEdit*>(panel->Editor(1))->text();
            panel->NextBtnClick();
        }
    }
    if (mode == 2 && panel->CurrentRow() != first)
        names << Tr("(does not come round)");
    return names;
}

std::vector<std::string> Cells(const TDataBase& db)
{
    std::vector<std::string> cells;
    for (int r = 1; r <= db.RecordCount(); ++r)
        for (int f = 1; f <= db.FieldCount(); ++f)
            cells.push_back(db.GetCell(r, f));
    return cells;
}

}  // namespace

class FindViewsTest : public QObject {
    Q_OBJECT

private slots:
    void findNarrowsEveryViewAndViewAllUndoesIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<int>("onlyField");  // 0: every field
        QTest::addColumn<int>("view");       // the view in use when Find runs
        QTest::addColumn<bool>("editInGrid");
        QTest::addColumn<QStringList>("names");
        const QString koeln = ToQString("k\xF6ln");
        QTest::newRow("any case, every field, grid")
            << koeln << false << 0 << 0 << true << QStringList{Tr("Anna"), Tr("Carl"), Tr("Dora"), Tr("Emil")};
        QTest::newRow("case, every field, list")
            << koeln << true << 0 << 1 << false << QStringList{Tr("Emil")};
        QTest::newRow("any case, one field, record")
            << koeln << false << 2 << 2 << false << QStringList{Tr("Anna"), Tr("Carl")};
        QTest::newRow("any case, one field, grid")
            << koeln << false << 3 << 0 << false << QStringList{Tr("Dora"), Tr("Emil")};
    }
    void findNarrowsEveryViewAndViewAllUndoesIt()
    {
        QFETCH(QString, text);
        QFETCH(bool, caseSensitive);
        QFETCH(int, onlyField);
        QFETCH(int, view);
        QFETCH(bool, editInGrid);
        QFETCH(QStringList, names);
        ConfigHome config;
        QTemporaryDir dir;
        const std::vector<FieldSpec> fields = {
            {"Name", kTypeString, {}}, {"Town", kTypeString, {}}, {"Note", kTypeString, {}}};
        const std::string path = MakeDatabase(dir.path(), "find.PDB", "Find", fields, kRows);
        TMainForm form;
        form.FormCreate({PathToQString(path)});
        form.resize(900, 600);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TDatabasePage& page = *form.Tabs()->Page(0);
        TDataBase& db = *form.Tabs()->CurrentDB();
        auto* info = form.findChild<QLabel*>(Tr("InfoPanel"));
        form.Action("RearrangeItem")->trigger();
        QVERIFY(form.Action("RearrangeItem")->isChecked());
        if (view != 0)
            form.RecordItemClick(view);

        AnswerAfter(
            [&](QDialog& d) {
                auto& find = static_cast<TFindForm&>(d);
                find.Find()->setText(text);
                find.CaseSensitive()->setChecked(caseSensitive);
                find.WordSearch()->setChecked(false);
                for (int k = 0; onlyField && k < find.CheckBoxList()->count(); ++k)
                    find.CheckBoxList()->item(k)->setCheckState(k + 1 == onlyField ? Qt::Checked : Qt::Unchecked);
            },
            Tr("OkBtn"));
        form.Action("FindBtn")->trigger();
        // Rows moved by hand and a filter never mix.
        QVERIFY(!form.Action("RearrangeItem")->isChecked());
        QVERIFY(form.findChild<QToolButton*>(Tr("UpBtnButton"))->isHidden());
        QVERIFY(form.Action("AllBtn")->isEnabled());
        QVERIFY(info->text().startsWith(Tr("%1 of 5 records").arg(names.size())));

        for (int mode : {view, 0, 1, 2})
            QCOMPARE(ViewNames(form, mode), names);

        // An edit under the filter changes the record its row shows, no other.
        const int row = int(names.size()) - 1;
        const int record = page.Model()->RecordOfRow(row);
        QCOMPARE(ToQString(db.GetCell(record, 1)), names.last());
        std::vector<std::string> expected = Cells(db);
        expected[size_t(record - 1) * 3 + 2] += "!";
        if (editInGrid) {
            form.RecordItemClick(0);
            const QModelIndex cell = page.Model()->index(row, 2);
            QVERIFY(page.Model()->setData(cell, page.Model()->data(cell).toString() + Tr("!")));
        } else {
            form.RecordItemClick(2);
            page.EditPanel()->ShowRow(row);
            auto* note = qobject_cast<QLineEdit*>(page.EditPanel()->Editor(3));
            note->setCursorPosition(note->text().size());
            QTest::keyClicks(note, Tr("!"));
        }
        QCOMPARE(Cells(db), expected);

        form.Action("AllBtn")->trigger();
        QVERIFY(!form.Action("AllBtn")->isEnabled());
        QVERIFY(info->text().startsWith(Tr("5 records")));
        const QStringList all = {Tr("Anna"), Tr("Bert"), Tr("Carl"), Tr("Dora"), Tr("Emil")};
        for (int mode : {2, 1, 0})
            QCOMPARE(ViewNames(form, mode), all);
    }
};

QTEST_MAIN(FindViewsTest)
#include "find_views_test.moc"
