// The editor opening a large database in its real window, beside loading the
// same file the way the command-line tool does, in the same process. The
// dashboard takes both figures from DashboardOpenFigures.
#include "database_tabs.h"
#include "jfile.h"
#include "main_window.h"
#include "text_convert.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace quorvil::bench {

namespace {

double Ms(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// From creating the window to the grid painted: what a person waits for.
bool OpenInEditor(const std::string& path)
{
    TMainForm form;
    form.FormCreate({PathToQString(path)});
    form.show();
    QApplication::processEvents();
    return form.Tabs()->CurrentDB() != nullptr;
}

}  // namespace

// "cli_load ms" and "editor_open ms", each the best of five, by turns so that
// both meet the same load of the machine.
bool DashboardOpenFigures(const std::string& path)
{
    // The user's settings stay untouched; the window's remembered places
    // start empty each run.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    OpenInEditor(path);  // fonts, styles and plugins come once
    double load = 1e30, open = 1e30;
    bool opened = true;
    for (int run = 0; run < 5; ++run) {
        load = std::min(load, Ms([&] { Open(path); }));
        open = std::min(open, Ms([&] { opened = OpenInEditor(path) && opened; }));
    }
    std::printf("cli_load %.3f\neditor_open %.3f\n", load, open);
    return opened;
}

}  // namespace quorvil::bench
