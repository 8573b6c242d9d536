// Windows open wholly on the screen whatever placement was stored, and at
// any scale factor (ctest runs this a second time with QT_SCALE_FACTOR=1.5).
#include "define_dialog.h"
#include "form_position.h"
#include "gui_test_support.h"
#include "long_text_dialog.h"
#include "main_window.h"
#include "text_convert.h"

#include <QScreen>
#include <QTest>

using namespace quorvil;
using namespace quorvil::test;

namespace {

QRect Available(const QWidget& form)
{
    return form.screen()->availableGeometry();
}

}  // namespace

class ScreenFitTest : public GuiCase {
    Q_OBJECT

private slots:
    void the_scale_asked()
    {
        const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                 ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                 : 1.0;
        QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), scale);
    }

    void stored_placements_end_on_the_screen_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("none stored") << QString();
        QTest::newRow("off to the right and below") << FromUtf8("5000,4000,300,200");
        QTest::newRow("off to the left and above") << FromUtf8("-900,-700,300,200");
        QTest::newRow("larger than any screen") << FromUtf8("-10,-10,4000,3000");
        QTest::newRow("too few numbers") << FromUtf8("12,40");
    }
    void stored_placements_end_on_the_screen()
    {
        QFETCH(QString, stored);
        for (const char* key : {"MainFormPos", "EditFormPos", "DefineFormPos"})
            config_->Write(CurrentScreenSection(), key, stored.toStdString());
        TMainForm main;
        main.FormCreate({});
        TEditForm edit;
        TDefineForm define;
        for (QWidget* form :
             {static_cast<QWidget*>(&main), static_cast<QWidget*>(&edit), static_cast<QWidget*>(&define)}) {
            const QRect placed(form->pos(), form->size());
            QVERIFY2(Available(*form).contains(placed), qPrintable(form->objectName() + FromUtf8(" at %1,%2 %3x%4")
                                                                                            .arg(placed.x())
                                                                                            .arg(placed.y())
                                                                                            .arg(placed.width())
                                                                                            .arg(placed.height())));
            QVERIFY(form->width() >= form->minimumWidth());
        }
        if (stored.isEmpty())  // a fresh start is centred, give or take the frame
            QVERIFY(qAbs(main.geometry().center().x() - Available(main).center().x()) <= 8);
    }

    void a_placement_that_fits_is_restored_as_stored()
    {
        config_->Write(CurrentScreenSection(), "EditFormPos", "20,30,250,150");
        config_->Write(CurrentScreenSection(), "DefineFormPos", "40,50,300,200");
        TEditForm edit;
        TDefineForm define;
        QCOMPARE(QRect(edit.pos(), edit.size()), QRect(20, 30, 250, 150));
        QCOMPARE(QRect(define.pos(), define.size()), QRect(40, 50, 300, 200));
    }
};

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_test.moc"
