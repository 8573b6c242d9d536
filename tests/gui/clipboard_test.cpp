// The clipboard of the grid, driven by keys: a block copied as text and as a
// table, pasted whole or not at all, cut and cleared as one undo step each.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// The block selected by keys spans columns without an in-place control.
const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String},
                                        {"Paid", TFieldType::Boolean},
                                        {"Note", TFieldType::String},
                                        {"Qty", TFieldType::Integer},
                                        {"Colour", TFieldType::List, {"Red", "Green"}}};
const Rows kRows = {
    {"pear", "1", "", "3", "Red"}, {"car", "0", "old", "5", "Green"}, {"two\nlines", "1", "", "7", "Red"}};

// Makes `row`, `col` current and selects `rows` x `cols` cells from it by
// Shift and the arrow keys.
void SelectBlock(QTableView& grid, int row, int col, int rows, int cols)
{
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(row, col));
    for (int k = 1; k < cols; ++k)
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
    for (int k = 1; k < rows; ++k)
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
}

}  // namespace

class ClipboardTest : public GuiCase {
    Q_OBJECT

    std::unique_ptr<TMainForm> Open()
    {
        auto form = StartMainForm({PathToQString(GuiCase::Db("stock.PDB", "Stock", kFields, kRows))});
        Activate(*form);
        return form;
    }

    // The window is active (again, after a dialog), so that its keys reach
    // its commands.
    static void Activate(TMainForm& form)
    {
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qFatal("the main window never became active");
    }

private slots:
    void copy_puts_the_cells_shown_on_the_clipboard_as_text_and_table()
    {
        struct Case {
            Qt::KeyboardModifiers keys;
            const char* text;
            const char* html;
        };
        const Case cases[] = {
            {Qt::ControlModifier, "car\tFALSE\told\n\"two\nlines\"\tTRUE\t\n",
             "<tr><td>car</td><td>FALSE</td><td>old</td></tr>\n<tr><td>two<br>lines</td>"},
            {Qt::ControlModifier | Qt::ShiftModifier, "Name\tPaid\tNote\ncar\tFALSE\told\n\"two\nlines\"\tTRUE\t\n",
             "<tr><th>Name</th><th>Paid</th><th>Note</th></tr>\n<tr><td>car</td>"},
        };
        auto form = Open();
        TExtendedGrid& grid = *form->Tabs()->Page(0)->Grid();
        for (const Case& c : cases) {
            SelectBlock(grid, 1, 0, 2, 3);
            QTest::keyClick(&grid, Qt::Key_C, c.keys);
            const QMimeData* data = QApplication::clipboard()->mimeData();
            QCOMPARE(data->text().replace(FromUtf8("\r\n"), FromUtf8("\n")), FromUtf8(c.text));
            QVERIFY2(data->html().contains(FromUtf8(c.html)), qPrintable(data->html()));
        }
    }

    void paste_stores_a_block_whole_or_names_the_cell_it_refuses()
    {
        auto form = Open();
        TDatabasePage& page = *form->Tabs()->Page(0);
        TDataBase& db = *form->Tabs()->CurrentDB();
        TExtendedGrid& grid = *page.Grid();
        SelectBlock(grid, 1, 0, 1, 1);
        QApplication::clipboard()->setText(FromUtf8("fig\tfalse\tnew\t4\n\"kiwi\r\nfruit\"\ttrue\t\t1,5\nlime\n"));
        QString message;
        AnswerMessage(message);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QVERIFY2(message.startsWith(FromUtf8("Field \"Qty\" of record 3: \"1,5\" is not a whole number.")),
                 qPrintable(message));
        QVERIFY(message.endsWith(FromUtf8("Nothing was pasted.")));
        QCOMPARE(Cells(db), kRows);
        QVERIFY(!db.Modified());

        Activate(*form);
        // The row past the last record is added after the question.
        QApplication::clipboard()->setText(FromUtf8("fig\tfalse\tnew\t4\n\"kiwi\r\nfruit\"\ttrue\t\t8\tgreen\nlime\n"));
        AnswerButton(FromUtf8("Yes"));
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        // A short row leaves the cells past its end as a new record has them.
        const Rows pasted = {{"pear", "1", "", "3", "Red"},
                             {"fig", "0", "new", "4", "Green"},
                             {"kiwi\nfruit", "1", "", "8", "Green"},
                             {"lime", "0", "", "0", "Red"}};
        QCOMPARE(Cells(db), pasted);
        const QModelIndexList selected = grid.selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 3 * 5);
        AnswerInputLine(FromUtf8("Stock"));
        form->Action("SaveBtn")->trigger();
        QCOMPARE(Cells(*OpenReadOnly<TJFILE>(db.FileName)), pasted);
        Activate(*form);
        // One undo step takes the whole paste back.
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Cells(db), kRows);
    }

    void cut_and_delete_clear_a_block_in_one_undo_step()
    {
        auto form = Open();
        TDatabasePage& page = *form->Tabs()->Page(0);
        TDataBase& db = *form->Tabs()->CurrentDB();
        TExtendedGrid& grid = *page.Grid();
        const Rows cleared = {{"pear", "1", "", "3", "Red"}, {"", "0", "", "5", "Green"}, {"", "0", "", "7", "Red"}};
        for (const auto& [key, mods] : {std::pair{Qt::Key_X, Qt::ControlModifier}, {Qt::Key_Delete, Qt::NoModifier}}) {
            QApplication::clipboard()->clear();
            SelectBlock(grid, 1, 0, 2, 3);
            QTest::keyClick(&grid, key, mods);
            QCOMPARE(Cells(db), cleared);
            QCOMPARE(QApplication::clipboard()->text().isEmpty(), key == Qt::Key_Delete);
            QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(Cells(db), kRows);
            // The block that was cleared is no selection for what comes next.
            QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 1);
        }
    }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
