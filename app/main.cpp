// The desktop editor: the main window with the databases named on the
// command line, or the last one opened.
#include "main_window.h"
#include "text_convert.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(quorvil::Tr("Quorvil"));
    QApplication::setApplicationDisplayName(quorvil::Tr("Quorvil"));

    quorvil::TMainForm mainForm;
    mainForm.FormCreate(QApplication::arguments().mid(1));
    mainForm.show();
    return QApplication::exec();
}
