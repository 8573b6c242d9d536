// The desktop editor: the main window with the databases named on the
// command line, or the last one opened.
#include "main_window.h"
#include "text_convert.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Only the plain name: a display name would make Qt append " — Quorvil"
    // to every window title, and the titles are the program's own texts.
    QApplication::setApplicationName(quorvil::FromUtf8("Quorvil"));

    quorvil::TMainForm mainForm;
    mainForm.FormCreate(QApplication::arguments().mid(1));
    mainForm.show();
    return QApplication::exec();
}
