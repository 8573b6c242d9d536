// Print preview through the main window's menu by keys: the options dialog
// opened from the preview, the pages laid out again for what it chose, and
// the choices remembered under the database's title.
#include "config_store.h"
#include "database_page.h"
#include "database_tabs.h"
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "modal.h"
#include "print_document.h"
#include "print_options_dialog.h"
#include "print_preview.h"
#include "text_convert.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {
    {"Item", TFieldType::String, {}}, {"Count", TFieldType::Integer, {}}, {"Note", TFieldType::String, {}}};

// Enough records for several pages in either layout.
Rows ManyRows()
{
    Rows rows;
    for (int r = 1; r <= 400; ++r)
        rows.push_back({"item " + std::to_string(r), std::to_string(r * 7), "a note on item " + std::to_string(r)});
    return rows;
}

// A mnemonic clicks its button a moment later, as a mouse click shows: the
// click is waited for.
void PressMnemonic(QWidget& window, const char* button, Qt::Key key)
{
    auto* target = window.findChild<QAbstractButton*>(FromUtf8(button));
    QVERIFY(target);
    QSignalSpy clicked(target, &QAbstractButton::clicked);
    QTest::keyClick(&window, key, Qt::AltModifier);
    QVERIFY(!clicked.isEmpty() || clicked.wait());
}

// Mnemonics reach the active window only; the File menu that opened the
// preview is active until it has closed.
void Activate(QWidget& window)
{
    QTRY_VERIFY(!QApplication::activePopupWidget());
    window.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &window);
}

}  // namespace

class PrintPreviewTest : public GuiCase {
    Q_OBJECT

private slots:
    void the_preview_lays_out_the_pages_again_for_the_options_chosen_in_it_data()
    {
        QTest::addColumn<bool>("cards");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("record cards, landscape") << true << true;
        QTest::newRow("table, landscape") << false << true;
    }

    void the_preview_lays_out_the_pages_again_for_the_options_chosen_in_it()
    {
        QFETCH(bool, cards);
        QFETCH(bool, landscape);
        auto form = StartMainForm({PathToQString(Db("stock.PDB", "Stock list", kFields, ManyRows()))});
        TPrintOptions chosen;
        chosen.Layout = cards ? TPrintLayout::Cards : TPrintLayout::Table;
        chosen.Landscape = landscape;
        TDatabasePage* page = form->Tabs()->Page(0);
        TPrintDocument expected(*form->Tabs()->CurrentDB(), {page->ShownRecords(), page->ColumnWidths(), {}}, chosen);
        expected.Paginate();
        TPrintDocument portraitTable(*form->Tabs()->CurrentDB(), {page->ShownRecords(), page->ColumnWidths(), {}},
                                     TPrintOptions());
        portraitTable.Paginate();

        QString before;
        QString after;
        QueueModalAnswer([&](QDialog& d) {
            auto* preview = qobject_cast<TPrintPreview*>(&d);
            [&] {  // a failed check still closes the preview
                QVERIFY(preview);
                auto* count = preview->findChild<QLabel*>(FromUtf8("PageCountLabel"));
                before = count->text();
                Activate(*preview);
                PressMnemonic(*preview, "OptionsBtn", Qt::Key_O);
                auto* options = preview->findChild<TPrintOptionsForm*>();
                QVERIFY(options);
                Activate(*options);
                if (cards)
                    PressMnemonic(*options, "CardsBtn", Qt::Key_R);
                if (landscape)
                    PressMnemonic(*options, "LandscapeBtn", Qt::Key_L);
                QTest::keyClick(options, Qt::Key_Return);
                QTRY_VERIFY(!preview->findChild<TPrintOptionsForm*>() ||
                            !preview->findChild<TPrintOptionsForm*>()->isVisible());
                after = count->text();
            }();
            d.reject();
        });
        Activate(*form);
        QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_V);
        QTRY_COMPARE(QueuedModalAnswers(), 0);

        QCOMPARE(before, FromUtf8("Page 1 of %1").arg(portraitTable.PageCount()));
        QCOMPARE(after, FromUtf8("Page 1 of %1").arg(expected.PageCount()));
        QCOMPARE(ReadPrintOptions(*OpenConfig(), "Stock list", 3), chosen);
        QVERIFY2(expected.PageCount() != portraitTable.PageCount(), "the options change the pages");
    }
};

QTEST_MAIN(PrintPreviewTest)
#include "print_preview_test.moc"
