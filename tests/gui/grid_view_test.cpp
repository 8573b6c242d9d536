// The grid of a database tab: columns by field type, check boxes and the
// long-text editor writing to the database, the 4000-character warning, the
// calendar of long dates, header sort and reverse, column moves, the
// context cell and the window-wide keys.
#include "database.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "date_dialog.h"
#include "extended_grid.h"
#include "field_types.h"
#include "grid_setup.h"
#include "gui_test_support.h"
#include "long_text_check.h"
#include "long_text_dialog.h"
#include "main_window.h"
#include "message_dialog.h"
#include "modal.h"
#include "text_convert.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// A tab page showing an in-memory database, its model watched by
// QAbstractItemModelTester.
struct PageFixture {
    PageFixture(const std::vector<FieldSpec>& fields, const std::vector<std::vector<std::string>>& rows)
        : db(std::make_unique<TDataBase>())
    {
        db->InitNew();
        FillDatabase(*db, fields, rows);
        db->Modified = false;
        page.SetDatabase(db.get());
        page.RefreshView();
        tester = std::make_unique<QAbstractItemModelTester>(page.Model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        page.resize(700, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
    }
    ~PageFixture() { page.SetDatabase(nullptr); }

    TExtendedGrid& Grid() { return *page.Grid(); }
    QModelIndex Index(int row, int col) { return page.Model()->index(row, col); }
    QPoint Centre(int row, int col) { return Grid().visualRect(Index(row, col)).center(); }
    // As the mouse does it: press and release, then the second press.
    void DoubleClick(int row, int col)
    {
        Grid().setCurrentIndex(QModelIndex());
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, Centre(row, col));
        QTest::mouseDClick(Grid().viewport(), Qt::LeftButton, {}, Centre(row, col));
    }
    void ClickHeader(int col)
    {
        QHeaderView* header = Grid().horizontalHeader();
        const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList Shown(int col)
    {
        QStringList texts;
        for (int row = 0; row < page.Model()->rowCount(); ++row)
            texts << page.Model()->CellText(row, col);
        return texts;
    }
    std::string Field(int record, int field) const { return db->GetCell(record, field); }

    std::unique_ptr<TDataBase> db;
    TDatabasePage page{2};
    std::unique_ptr<QAbstractItemModelTester> tester;
};

const std::vector<FieldSpec> kShop = {{"Item", kTypeString, {}},      {"Qty", kTypeInteger, {}},
                                      {"Price", kTypeFloat, {}},      {"Bin", kTypeList, {"A1", "B2"}},
                                      {"In stock", kTypeBoolean, {}}, {"Due", kTypeIntDate, {}}};

// The next long-text editor: replace its text with `text`, press OK.
void AnswerEditor(const QString& text)
{
    QueueModalAnswer([text](QDialog& d) {
        d.findChild<QPlainTextEdit*>(Tr("Memo"))->setPlainText(text);
        d.findChild<QPushButton*>(Tr("OkBtn"))->click();
    });
}

// The next warning: note its text and default button, press `button`.
void AnswerWarning(QString& text, QString& defaultButton, const char* button)
{
    AnswerAfter([&](QDialog& d) {
        text = d.findChild<QLabel*>(Tr("Message"))->text();
        defaultButton = dynamic_cast<TMessageForm&>(d).DefaultButton()->objectName();
    }, Tr(button));
}

// A dialog that should not appear: it is closed and leaves its mark.
void QueueUnexpected(bool& shown)
{
    QueueModalAnswer([&shown](QDialog& d) {
        shown = true;
        d.reject();
    });
}

// Counts the presses of one key that reach a widget.
class KeyCounter : public QObject {
public:
    KeyCounter(QWidget* target, int key) : key_(key) { target->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == key_)
            ++count;
        return false;
    }

private:
    int key_;
};

}  // namespace

class GridViewTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ResetMessageTexts();
        ClearModalAnswers();
        ForgetLeaveChoice();
    }
    void cleanup()
    {
        QCOMPARE(QueuedModalAnswers(), 0);
        ClearModalAnswers();
    }

    void columnsFollowFieldTypes()
    {
        PageFixture f(kShop, {{"Hex bolt", "250", "0.12", "B2", "1", "03 feb 2001"}});
        QCOMPARE(f.Grid().objectName(), Tr("Grid2"));
        const TGridColumn& list = *f.Grid().Column(3);
        QCOMPARE(list.ColumnKind, TColumnKind::List);
        QCOMPARE(list.ComboItems, QStringList({Tr("A1"), Tr("B2")}));
        const TGridColumn& box = *f.Grid().Column(4);
        QCOMPARE(box.ColumnKind, TColumnKind::CheckBox);
        QCOMPARE(box.CheckedValue(), Tr("1"));
        QCOMPARE(box.UncheckedValue(), Tr("0"));
        QCOMPARE(f.Grid().Column(2)->CellHorzAlign, THorzAlign::Right);
        QCOMPARE(f.Grid().Column(1)->ColumnKind, TColumnKind::Integer);
        QCOMPARE(f.Grid().Column(5)->ColumnKind, TColumnKind::Text);
        QCOMPARE(f.Grid().Column(0)->Title, Tr("Item"));
    }

    void listColumnsAreNarrowedWhenFilled()
    {
        PageFixture f(kShop, {});
        f.page.SetColumnWidths({200, 64, 64, 200});
        f.page.RefreshView();
        QCOMPARE(f.page.ColumnWidths()[0], 200);
        QCOMPARE(f.page.ColumnWidths()[3], kMaxListColumnWidth);
        QCOMPARE(f.Grid().columnWidth(3), kMaxListColumnWidth);
    }

    void checkBoxClickStoresOne()
    {
        PageFixture f(kShop, {{"Hex bolt", "250", "0.12", "B2", "0", ""}});
        QSignalSpy edited(&f.page, &TDatabasePage::DatabaseEdited);
        QTest::mouseClick(f.Grid().viewport(), Qt::LeftButton, {}, f.Centre(0, 4));
        QCOMPARE(f.Field(1, 5), std::string("1"));
        QVERIFY(f.db->Modified);
        QCOMPARE(edited.size(), 1);
        QTest::mouseClick(f.Grid().viewport(), Qt::LeftButton, {}, f.Centre(0, 4));
        QCOMPARE(f.Field(1, 5), std::string("0"));
    }

    void typedTextReachesTheRecordOfTheRow()
    {
        PageFixture f(kShop, {{"a"}, {"b"}, {"c"}});
        f.db->SetShown(2, 0);
        f.page.RefreshView();
        f.Grid().SetCellText(0, 1, Tr("C¤D"));
        QCOMPARE(f.Field(3, 1), std::string("C\nD"));
        QCOMPARE(f.Field(2, 1), std::string("b"));
    }

    void longTextEditorStoresTheEditedValue()
    {
        PageFixture f(kShop, {{"short"}});
        AnswerEditor(Tr("first\nsecond"));
        f.DoubleClick(0, 0);
        QCOMPARE(f.Field(1, 1), std::string("first\nsecond"));
    }

    void tooLongTextTruncatesToExactly4000()
    {
        PageFixture f(kShop, {{std::string(100, 'a')}});
        QString warning, defaultButton;
        AnswerEditor(QString(4100, QLatin1Char('b')));
        AnswerWarning(warning, defaultButton, "YesToAll");
        f.DoubleClick(0, 0);
        QCOMPARE(warning, Tr("String has become too long to save in pre-5.5 JFile Format (len = 4100, "
                             "max=4000 characters)"));
        QCOMPARE(defaultButton, Tr("NoToAll"));
        QCOMPARE(f.Field(1, 1), std::string(4000, 'b'));
        QCOMPARE(MessageTexts().Captions[mbNoToAll], Tr("Re-edit"));
        QCOMPARE(MessageTexts().Captions[mbAll], Tr("Leave"));
    }

    void textAlreadyTooLongIsStoredWithoutWarning()
    {
        PageFixture f(kShop, {{std::string(4500, 'a')}});
        bool warned = false;
        AnswerEditor(QString(4600, QLatin1Char('b')));
        QueueUnexpected(warned);
        f.page.Grid()->setCurrentIndex(f.Index(0, 0));
        f.page.GridDblClick();
        QVERIFY(!warned);
        ClearModalAnswers();
        QCOMPARE(f.Field(1, 1), std::string(4600, 'b'));
    }

    void reEditThenCancelKeepsTheOldText()
    {
        PageFixture f(kShop, {{"old"}});
        QString warning, defaultButton;
        AnswerEditor(QString(4001, QLatin1Char('b')));
        AnswerWarning(warning, defaultButton, "NoToAll");
        AnswerButton(Tr("CancelBtn"));
        f.DoubleClick(0, 0);
        QCOMPARE(f.Field(1, 1), std::string("old"));
        QVERIFY(!f.db->Modified);
    }

    void leaveOnceBecomesTheDefault()
    {
        PageFixture f(kShop, {{"old"}, {"other"}});
        QString warning, firstDefault, secondDefault;
        AnswerEditor(QString(4100, QLatin1Char('b')));
        AnswerWarning(warning, firstDefault, "All");
        f.DoubleClick(0, 0);
        QCOMPARE(f.Field(1, 1), std::string(4100, 'b'));
        AnswerEditor(QString(4200, QLatin1Char('c')));
        AnswerWarning(warning, secondDefault, "Cancel");
        f.DoubleClick(1, 0);
        QCOMPARE(firstDefault, Tr("NoToAll"));
        QCOMPARE(secondDefault, Tr("All"));
        QCOMPARE(f.Field(2, 1), std::string("other"));
    }

    void calendarOpensOnALongDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("lower-case month") << Tr("03 feb 2001") << QDate(2001, 2, 3);
        QTest::newRow("leap day") << Tr("29 Feb 2000") << QDate(2000, 2, 29);
        QTest::newRow("the day of date value 0") << Tr("30 DEC 1899") << QDate(1899, 12, 30);
    }
    void calendarOpensOnALongDate()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        PageFixture f(kShop, {{"x", "", "", "", "", FromQString(text)}});
        QDate opened;
        QueueModalAnswer([&opened](QDialog& d) {
            auto& form = dynamic_cast<TCalForm&>(d);
            opened = form.Date();
            form.SetDate(QDate(2001, 2, 10));
            form.accept();
        });
        f.DoubleClick(0, 5);
        QCOMPARE(opened, date);
        QCOMPARE(f.Field(1, 6), std::string("10 Feb 2001"));
    }

    void calendarIgnoresWhatIsNoLongDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("one-digit day") << Tr("3 Feb 2001");
        QTest::newRow("no such day") << Tr("30 Feb 2001");
        QTest::newRow("not a leap year") << Tr("29 Feb 1900");
        QTest::newRow("unknown month") << Tr("03 Fbr 2001");
        QTest::newRow("empty") << QString();
    }
    void calendarIgnoresWhatIsNoLongDate()
    {
        QFETCH(QString, text);
        PageFixture f(kShop, {{"x", "", "", "", "", FromQString(text)}});
        bool opened = false;
        QueueUnexpected(opened);
        f.Grid().setCurrentIndex(f.Index(0, 5));
        f.page.GridDblClick();
        QVERIFY(!opened);
        ClearModalAnswers();
        QVERIFY(!f.db->Modified);
    }

    void headerClickSortsThenReverses()
    {
        PageFixture f({{"Name", kTypeString, {}}, {"Town", kTypeString, {}}, {"Score", kTypeString, {}}},
                      {{"c", "x", "2"}, {"a", "y", "1"}, {"b", "z", "2"}, {"d", "w", "1"}});
        f.ClickHeader(2);  // by Score, then Name
        QCOMPARE(f.Shown(0), QStringList({Tr("a"), Tr("d"), Tr("b"), Tr("c")}));
        QCOMPARE(f.Field(1, 1), std::string("a"));
        f.ClickHeader(2);
        QCOMPARE(f.Shown(0), QStringList({Tr("c"), Tr("b"), Tr("d"), Tr("a")}));
        QCOMPARE(f.Field(1, 1), std::string("a"));  // the database keeps its order
        f.ClickHeader(2);
        QCOMPARE(f.Shown(0), QStringList({Tr("a"), Tr("d"), Tr("b"), Tr("c")}));
    }

    void editAfterSortMakesTheNextClickSortAgain()
    {
        PageFixture f({{"Name", kTypeString, {}}}, {{"b"}, {"c"}, {"a"}, {"d"}});
        f.db->SetShown(4, 0);
        f.page.RefreshView();
        f.ClickHeader(0);  // nothing sorted yet: the first column sorts too; "d" stays hidden
        QCOMPARE(f.Shown(0), QStringList({Tr("a"), Tr("b"), Tr("c")}));
        f.Grid().SetCellText(0, 0, Tr("z"));
        f.ClickHeader(0);
        QCOMPARE(f.Shown(0), QStringList({Tr("b"), Tr("c"), Tr("z")}));
    }

    void draggingColumnZeroToTwoMovesTheField()
    {
        PageFixture f({{"Name", kTypeString, {}}, {"Town", kTypeString, {}}, {"Flag", kTypeBoolean, {}}},
                      {{"ann", "Oslo", "1"}});
        f.page.SetColumnWidths({120, 70, 50});
        QSignalSpy edited(&f.page, &TDatabasePage::DatabaseEdited);
        QHeaderView* header = f.Grid().horizontalHeader();
        header->moveSection(0, 2);  // what a drag of the first title does
        QCOMPARE(f.db->GetFieldName(3), std::string("Name"));
        QCOMPARE(f.db->GetFieldName(1), std::string("Town"));
        QCOMPARE(f.Field(1, 3), std::string("ann"));
        for (int col = 0; col < 3; ++col)
            QCOMPARE(header->visualIndex(col), col);
        QCOMPARE(f.Grid().Column(2)->Title, Tr("Name"));
        QCOMPARE(f.Grid().Column(1)->ColumnKind, TColumnKind::CheckBox);
        QCOMPARE(f.page.ColumnWidths(), (std::vector<int>{70, 50, 120}));
        QCOMPARE(header->sectionSize(2), 120);
        QCOMPARE(f.page.Model()->CellText(0, 2), Tr("ann"));
        QCOMPARE(edited.size(), 1);
    }

    void rightClickChoosesTheContextCell()
    {
        PageFixture f(kShop, {{"a"}, {"b"}});
        const QPoint at = f.Centre(1, 3);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, f.Grid().viewport()->mapToGlobal(at));
        QSignalSpy popup(&f.page, &TDatabasePage::ContextPopup);
        QApplication::sendEvent(f.Grid().viewport(), &event);
        QCOMPARE(f.page.ContextCol(), 3);
        QCOMPARE(f.page.ContextRow(), 1);
        QCOMPARE(popup.size(), 1);
    }

    void failedEditIsShownOnce()
    {
        PageFixture f(kShop, {{"a"}, {"b"}});
        QString shown;
        AnswerAfter([&](QDialog& d) { shown = d.findChild<QLabel*>(Tr("Message"))->text(); }, Tr("OK"));
        f.db->SetRecordCount(1);  // row 1 names a record that is gone
        f.Grid().SetCellText(0, 1, Tr("x"));
        QTRY_COMPARE(QueuedModalAnswers(), 0);
        QCOMPARE(shown, Tr("SetCell: Record index out of range (2) at GridSetEditText"));
    }

    void windowKeysClickTheirButtons_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("button");
        QTest::newRow("Insert") << int(Qt::Key_Insert) << int(Qt::NoModifier) << Tr("AddBtn");
        QTest::newRow("Ctrl+H") << int(Qt::Key_H) << int(Qt::ControlModifier) << Tr("ReplaceBtn");
        QTest::newRow("Ctrl+F") << int(Qt::Key_F) << int(Qt::ControlModifier) << Tr("FindBtn");
    }
    void windowKeysClickTheirButtons()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, button);
        ConfigHome config;
        QTemporaryDir dir;
        const std::string path = MakeDatabase(dir.path(), "keys.PDB", "Keys", {{"Name", kTypeString, {}}}, {{"a"}});
        TMainForm form;
        form.FormCreate({PathToQString(path)});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QAction* action = form.Action(FromQString(button).c_str());
        action->setEnabled(false);
        QSignalSpy triggered(action, &QAction::triggered);
        TExtendedGrid* grid = form.Tabs()->Page(0)->Grid();
        grid->setFocus();
        KeyCounter reached(grid, key);
        QTest::keyClick(grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(triggered.size(), 0);  // a disabled button ignores the click ...
        QCOMPARE(reached.count, 0);     // ... and the key is consumed all the same
        action->setEnabled(true);
        QueueModalAnswer([](QDialog& d) { d.reject(); });  // Find and Replace open their dialogs
        QTest::keyClick(grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        ClearModalAnswers();
        QCOMPARE(triggered.size(), 1);
        QTest::keyClick(grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers | Qt::AltModifier));
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(reached.count, 1);
    }
};

QTEST_MAIN(GridViewTest)
#include "grid_view_test.moc"
