// The exports for other programs through the main window: the menu and the
// tool bar's drop-down, the field chooser, the CSV options typed with keys,
// the file dialog, and the bytes written.
#include "field_types.h"
#include "gui_test_support.h"
#include "main_window.h"
#include "modal.h"
#include "program_export.h"
#include "progress_line.h"
#include "sort_dialog.h"
#include "text_convert.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace quorvil;
using namespace quorvil::test;

namespace {

const std::vector<FieldSpec> kFields = {{"Name", TFieldType::String, {}}, {"Size", TFieldType::Integer, {}}};
const Rows kRows = {{"caf\xE9", "10"}, {"a \"b\", c", "2"}};

QString StatusText(const TMainForm& form)
{
    return form.findChild<QLabel*>(FromUtf8("Panel1"))->text();
}

// The next CSV options dialog: note what it shows, pick a separator and the
// mark with their Alt keys as a person does, then OK.
void AnswerCsvOptions(char separator, bool mark, QString* shown)
{
    QueueModalAnswer([=](QDialog& d) {
        auto* semicolon = d.findChild<QRadioButton*>(FromUtf8("SemicolonBtn"));
        auto* markBox = d.findChild<QCheckBox*>(FromUtf8("MarkBox"));
        *shown = FromUtf8("%1 %2").arg(QString(QLatin1Char(semicolon->isChecked() ? ';' : ',')),
                                       FromUtf8(markBox->isChecked() ? "mark" : "no mark"));
        // A mnemonic clicks its button a moment later, as a mouse click shows:
        // the click is waited for.
        const auto press = [&d](const char* button, Qt::Key key) {
            QSignalSpy clicked(d.findChild<QAbstractButton*>(FromUtf8(button)), &QAbstractButton::clicked);
            QTest::keyClick(&d, key, Qt::AltModifier);
            QVERIFY(!clicked.isEmpty() || clicked.wait());
        };
        [&] {                    // a failed check still closes the dialog
            d.activateWindow();  // mnemonics reach the active window only
            QVERIFY(QTest::qWaitForWindowActive(&d));
            press(separator == ';' ? "SemicolonBtn" : "CommaBtn", separator == ';' ? Qt::Key_S : Qt::Key_A);
            QCOMPARE(semicolon->isChecked(), separator == ';');
            if (markBox->isChecked() != mark) {
                press("MarkBox", Qt::Key_M);
                QCOMPARE(markBox->isChecked(), mark);
            }
        }();
        d.findChild<QPushButton*>(FromUtf8("OkBtn"))->click();
    });
}

}  // namespace

class ProgramExportTest : public GuiCase {
    Q_OBJECT

private slots:
    void the_menus_and_the_tool_bar_offer_the_same_four_exports()
    {
        auto form = StartMainForm({PathToQString(Db("things.PDB", "Things", kFields, kRows))});
        // The printed pages as PDF follow the formats, after a separator.
        const QStringList items = FromUtf8(
                                      "ExportXlsxItem ExportCsvUtf8Item ExportHtml5Item ExportJsonItem  ExportPdfItem")
                                      .split(QLatin1Char(' '));
        QMenu* menu = form->findChild<QMenu*>(FromUtf8("ExportProgramMenu"));
        QVERIFY(menu);
        QStringList names;
        for (const QAction* action : menu->actions())
            names << action->objectName();
        QCOMPARE(names, items);
        QVERIFY(form->menuBar()->findChild<QMenu*>(FromUtf8("FileMenu"))->actions().contains(menu->menuAction()));
        auto* button = qobject_cast<QToolButton*>(
            form->findChild<QToolBar*>(FromUtf8("ToolBar"))->widgetForAction(form->Action("ExportProgramBtn")));
        QVERIFY(button);
        QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
        QCOMPARE(button->defaultAction()->menu(), menu);
    }

    // Semicolon and no mark picked with their keys, remembered for the next
    // export, which may keep the existing file.
    void csv_options_are_typed_remembered_and_an_existing_file_is_asked_about()
    {
        auto form = StartMainForm({PathToQString(Db("things.PDB", "Things", kFields, kRows))});
        const QString out = Data(FromUtf8("things.csv"));
        AnswerButton(FromUtf8("OkBtn"));  // every field, in its order
        QString before;
        AnswerCsvOptions(';', false, &before);
        QStringList shown;
        AnswerFileDialog(out, &shown);
        form->Action("ExportCsvUtf8Item")->trigger();
        QCOMPARE(before, FromUtf8(", mark"));
        QCOMPARE(shown.value(0), FromUtf8("Export to CSV file (UTF-8)"));
        QCOMPARE(FileBytes(out), QByteArray("Name;Size\r\ncaf\xC3\xA9;10\r\n\"a \"\"b\"\", c\";2\r\n"));
        QCOMPARE(StatusText(*form), FromUtf8("Exported 2 records to things.csv"));

        AnswerButton(FromUtf8("OkBtn"));
        AnswerCsvOptions(',', true, &before);
        AnswerFileDialog(out);
        QString question;
        AnswerMessage(question, FromUtf8("No"));
        WriteFile(out, "mine");
        form->Action("ExportCsvUtf8Item")->trigger();
        QCOMPARE(before, FromUtf8("; no mark"));
        QVERIFY(question.contains(FromUtf8("Overwrite")));
        QCOMPARE(FileBytes(out), QByteArray("mine"));
    }

    // The dialog offers the database's name with the whole extension; a name
    // typed without one gets it too.
    void each_format_writes_its_file_of_the_chosen_fields_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("workbook") << FromUtf8("ExportXlsxItem") << FromUtf8("things.xlsx") << FromUtf8("out")
                                  << FromUtf8("out.xlsx") << QByteArray("PK\x03\x04");
        QTest::newRow("web page") << FromUtf8("ExportHtml5Item") << FromUtf8("things.html") << FromUtf8("out.html")
                                  << FromUtf8("out.html") << QByteArray("<!DOCTYPE html>");
        QTest::newRow("json") << FromUtf8("ExportJsonItem") << FromUtf8("things.json") << FromUtf8("out")
                              << FromUtf8("out.json") << QByteArray("{");
    }

    void each_format_writes_its_file_of_the_chosen_fields()
    {
        QFETCH(QString, item);
        QFETCH(QString, offered);
        QFETCH(QString, typed);
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        if (item == QLatin1String("ExportXlsxItem") && !ProgramFormatAvailable(TProgramFormat::XLSX))
            QSKIP("This build writes no workbooks");
        auto form = StartMainForm({PathToQString(Db("things.PDB", "Things", kFields, kRows))});
        QueueModalAnswer([](QDialog& d) {  // Size alone
            dynamic_cast<TSortForm&>(d).SortList()->item(0)->setSelected(true);
            d.findChild<QPushButton*>(FromUtf8("DelBtn"))->click();
            d.findChild<QPushButton*>(FromUtf8("OkBtn"))->click();
        });
        QString shown;
        QueueModalAnswer([&](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            shown = QFileInfo(dialog.selectedFiles().value(0)).fileName();
            dialog.selectFile(typed);
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        form->Action(item.toUtf8().constData())->trigger();
        QCOMPARE(shown, offered);
        const QByteArray bytes = FileBytes(Data(file));
        QVERIFY2(bytes.startsWith(start), bytes.left(40).constData());
        QCOMPARE(StatusText(*form), FromUtf8("Exported 2 records to %1").arg(file));
        if (!item.contains(FromUtf8("Xlsx")))  // the workbook's text is compressed
            QVERIFY(bytes.contains("Size") && !bytes.contains("caf"));
    }

    // The workbook is written on a thread of its own. Held at its last step,
    // after the compressing close, the window still handles what is posted
    // to it and a close of the window waits for the export; Cancel there
    // leaves the old file and no temporary one.
    void the_window_answers_while_a_workbook_is_finished_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("finished") << false;
        QTest::newRow("cancelled at the end") << true;
    }

    void the_window_answers_while_a_workbook_is_finished()
    {
        QFETCH(bool, cancel);
        if (!ProgramFormatAvailable(TProgramFormat::XLSX))
            QSKIP("This build writes no workbooks");
        QTemporaryDir scratch;  // where the workbook is made before it is copied
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(scratch.path()));
        auto form = StartMainForm({PathToQString(Db("things.PDB", "Things", kFields, kRows))});
        const QString out = Data(FromUtf8("out.xlsx"));
        WriteFile(out, "mine");
        auto* line = form->findChild<TProgressLine*>(FromUtf8("ProgressLine"));
        line->SetShowDelay(0);
        bool answered = false;
        bool running = false;
        bool closedAtOnce = true;
        QSemaphore released;
        line->SetAsideProbe([&](int done, int total) {
            if (done < total)
                return;
            QMetaObject::invokeMethod(
                form.get(),
                [&] {
                    answered = true;
                    running = line->Running();
                    closedAtOnce = form->close();
                    if (cancel)
                        QTest::mouseClick(line->findChild<QToolButton*>(FromUtf8("CancelProgressBtn")), Qt::LeftButton);
                    released.release();
                },
                Qt::QueuedConnection);
            // Only a window that never answers waits this long: the case fails instead of hanging.
            released.tryAcquire(1, 30000);
        });
        AnswerButton(FromUtf8("OkBtn"));  // every field
        AnswerFileDialog(out);
        QString question;
        AnswerMessage(question, FromUtf8("Yes"));
        form->Action("ExportXlsxItem")->trigger();
        line->SetAsideProbe({});
        qputenv("TMPDIR", oldTmp);

        QVERIFY(answered && running);
        QVERIFY(!closedAtOnce);
        QVERIFY(form->isVisible());
        if (cancel) {
            QCOMPARE(FileBytes(out), QByteArray("mine"));
            QCOMPARE(StatusText(*form), FromUtf8("Export cancelled; nothing was written to out.xlsx."));
        } else {
            QVERIFY(FileBytes(out).startsWith("PK\x03\x04"));
            QCOMPARE(StatusText(*form), FromUtf8("Exported 2 records to out.xlsx"));
        }
        QCOMPARE(QDir(Data(QString())).entryList(QDir::Files), FromUtf8("out.xlsx things.PDB").split(QLatin1Char(' ')));
        QVERIFY(QDir(scratch.path()).isEmpty());
        QTRY_VERIFY(!form->isVisible());  // the close that waited
    }
};

QTEST_MAIN(ProgramExportTest)
#include "program_export_test.moc"
