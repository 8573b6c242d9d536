// The character set a database is shown in: a typed character the set lacks
// is refused, the set is chosen by keys in View > Character set and
// remembered, and a database that reads as a multi-byte set gets that set
// suggested in the status line, applied with one click.
#include "charset.h"
#include "database_model.h"
#include "database_page.h"
#include "database_tabs.h"
#include "extended_grid.h"
#include "field_types.h"
#include "grid_header.h"
#include "gui_test_support.h"
#include "jfile.h"
#include "main_window.h"
#include "sample_db.h"
#include "test_files.h"
#include "text_convert.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using namespace quorvil;
using namespace quorvil::test;

namespace {

// View > Character set > the set at `position` (from 0) in the menu, by keys
// as a person chooses it.
void ChooseCharsetByKeys(TMainForm& form, int position)
{
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_V, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_C);
    QTRY_COMPARE(QApplication::activePopupWidget()->objectName(), FromUtf8("CharsetMenu"));
    for (int k = 0; k < position; ++k)
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

QString Utf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

class CharsetViewTest : public GuiCase {
    Q_OBJECT

private slots:
    void lodz_is_refused_in_windows_1252_and_stored_once_windows_1250_is_chosen()
    {
        const std::string path = Db("cities.PDB", "Cities", {{"City", TFieldType::String, {}}}, {{"Paris"}});
        auto form = StartMainForm({PathToQString(path)});
        TDatabasePage& page = *form->Tabs()->Page(0);
        TDataBase& db = *form->Tabs()->CurrentDB();
        const QModelIndex cell = page.Model()->index(0, 0);
        const QString lodz = FromUtf8("Łódź");

        QString refusal;
        AnswerMessage(refusal);
        QVERIFY(TypeIntoCell(*page.Grid(), cell, lodz));
        QTRY_VERIFY(!refusal.isEmpty());
        QCOMPARE(refusal, FromUtf8("'Ł' cannot be stored in a Windows-1252 database; choose the database's "
                                   "character set in View > Character set"));
        auto* editor = qobject_cast<QLineEdit*>(page.Grid()->indexWidget(cell));
        QVERIFY(editor);
        QCOMPARE(editor->text(), lodz);  // kept for correction
        QCOMPARE(db.GetCell(1, 1), std::string("Paris"));
        QTest::keyClick(editor, Qt::Key_Escape);

        ChooseCharsetByKeys(*form, 1);
        QCOMPARE(db.Charset(), TCharset::Windows1250);
        QVERIFY(!db.Modified());  // no byte changed
        QVERIFY(form->findChild<QAction*>(FromUtf8("Charset_windows-1250"))->isChecked());

        QVERIFY(TypeIntoCell(*page.Grid(), cell, lodz));
        QTRY_COMPARE(db.GetCell(1, 1), std::string("\xA3\xF3\x64\x9F"));  // committed after the key event
        // A title is text of the set too.
        QString titleRefusal;
        AnswerInputLine(FromUtf8("Ж"));
        AnswerMessage(titleRefusal);
        AnswerInputLine(FromUtf8("Cities"));
        form->Action("SaveBtn")->trigger();
        QCOMPARE(titleRefusal, FromUtf8("'Ж' cannot be stored in a Windows-1250 database; choose the database's "
                                        "character set in View > Character set"));
        QCOMPARE(pdbtest::Parse(testkit::ReadBytes(path)).db.records.at(0).cells.at(0),
                 std::string("\xA3\xF3\x64\x9F"));

        // The choice is the database's from now on.
        form.reset();
        form = StartMainForm({PathToQString(path)});
        QCOMPARE(form->Tabs()->CurrentDB()->Charset(), TCharset::Windows1250);
        QCOMPARE(form->Tabs()->Page(0)->Model()->index(0, 0).data().toString(), lodz);
        QVERIFY(!form->findChild<QWidget*>(FromUtf8("CharsetSuggestion"))->isVisible());

        // A filter box: a letter of the set finds its cell; one the set
        // lacks leaves the box out and says why.
        TDatabasePage& reopened = *form->Tabs()->Page(0);
        form->Action("FilterRowItem")->trigger();
        auto* box = qobject_cast<QLineEdit*>(reopened.Grid()->Header()->FilterBox(0));
        QVERIFY(box);
        TypeText(box, FromUtf8("x"));
        reopened.FinishFilter();
        QCOMPARE(reopened.Model()->rowCount(), 0);
        box->clear();
        TypeText(box, FromUtf8("ź"));
        reopened.FinishFilter();
        QCOMPARE(reopened.Model()->rowCount(), 1);
        QCOMPARE(box->toolTip(), FromUtf8("Filter: a text the cells contain"));
        TypeText(box, FromUtf8("Ж"));
        reopened.FinishFilter();
        QVERIFY(box->toolTip().startsWith(FromUtf8("'Ж' cannot be stored in a Windows-1250 database")));
    }

    // Each sample set: the multi-byte ones are suggested and, once applied,
    // show the sample's own texts; the single-byte ones read as plausible
    // Windows-1252 and get no suggestion.
    void a_multi_byte_database_gets_its_set_suggested_and_applied_by_one_click_data()
    {
        QTest::addColumn<int>("sample");
        for (size_t k = 0; k < pdbtest::CharsetSamples().size(); ++k)
            QTest::newRow(pdbtest::CharsetSamples()[k].set.c_str()) << int(k);
    }
    void a_multi_byte_database_gets_its_set_suggested_and_applied_by_one_click()
    {
        QFETCH(int, sample);
        const pdbtest::CharsetSample& s = pdbtest::CharsetSamples()[size_t(sample)];
        const TCharset set = *CharsetByName(s.set);
        const std::string path = QStringToPath(Data(FromUtf8("sample.PDB")));
        testkit::WriteBytes(path, pdbtest::Build(pdbtest::CharsetDatabase(s)));
        auto form = StartMainForm({PathToQString(path)});
        auto* suggestion = form->findChild<QWidget*>(FromUtf8("CharsetSuggestion"));
        QCOMPARE(suggestion->isVisible(), IsMultiByte(set));
        if (!IsMultiByte(set))
            return;
        const QString caption = Utf8(std::string(CharsetCaption(set)));
        QCOMPARE(form->findChild<QLabel*>(FromUtf8("CharsetSuggestionText"))->text(),
                 FromUtf8("Shown as Windows-1252; this database looks like %1.").arg(caption));
        auto* button = form->findChild<QToolButton*>(FromUtf8("CharsetSuggestionButton"));
        QCOMPARE(button->text(), FromUtf8("Show as %1").arg(caption));
        QTest::mouseClick(button, Qt::LeftButton);

        const TDataBase& db = *form->Tabs()->CurrentDB();
        const TDatabaseModel& model = *form->Tabs()->Page(0)->Model();
        QCOMPARE(db.Charset(), set);
        QVERIFY(!db.Modified());
        QVERIFY(!suggestion->isVisible());
        for (size_t f = 0; f < s.fields.size(); ++f)
            QCOMPARE(model.headerData(int(f), Qt::Horizontal).toString(), Utf8(s.fields[f].utf8));
        for (size_t r = 0; r < s.records.size(); ++r)
            for (size_t f = 0; f < s.records[r].size(); ++f)
                QCOMPARE(model.index(int(r), int(f)).data().toString(), Utf8(s.records[r][f].utf8));
    }
};

QTEST_MAIN(CharsetViewTest)
#include "charset_view_test.moc"
