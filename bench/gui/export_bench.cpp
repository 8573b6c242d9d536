// The workbook export of a large database through the editor's menu, with
// an event posted to the window every 20 ms from another thread: the worst
// delay before the window handled one is how long it did not answer. The
// dashboard takes the figures from DashboardExportFigures.
#include "main_window.h"
#include "modal.h"
#include "text_convert.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace quorvil::bench {

namespace {

constexpr auto kPostInterval = std::chrono::milliseconds(20);

// Posts a stamped call to `receiver`'s thread every 20 ms while it lives;
// the longest any waited there, in milliseconds.
class TAnswerWatch {
public:
    explicit TAnswerWatch(QObject* receiver) : receiver_(receiver)
    {
        clock_.start();
        poster_ = std::thread([this] {
            while (!stop_) {
                const qint64 posted = clock_.nsecsElapsed();
                QMetaObject::invokeMethod(
                    receiver_,
                    [this, posted] {
                        longest_ = std::max(longest_, double(clock_.nsecsElapsed() - posted) / 1e6);
                        ++handled_;
                    },
                    Qt::QueuedConnection);
                ++posted_;
                std::this_thread::sleep_for(kPostInterval);
            }
        });
    }
    ~TAnswerWatch() { Stop(); }
    TAnswerWatch(const TAnswerWatch&) = delete;
    TAnswerWatch& operator=(const TAnswerWatch&) = delete;

    // Stops posting and waits for every posted call to be handled.
    double Stop()
    {
        stop_ = true;
        if (poster_.joinable())
            poster_.join();
        while (handled_ < posted_)
            QApplication::processEvents();
        return longest_;
    }

private:
    QObject* receiver_;
    QElapsedTimer clock_;
    std::thread poster_;
    std::atomic<bool> stop_ = false;
    std::atomic<int> posted_ = 0;
    int handled_ = 0;  // on the receiver's thread
    double longest_ = 0;
};

// Every field, then the file dialog given `target`.
void AnswerExportDialogs(const QString& target)
{
    QueueModalAnswer([](QDialog& d) { d.findChild<QPushButton*>(FromUtf8("OkBtn"))->click(); });
    QueueModalAnswer([target](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.selectFile(target);
        QMetaObject::invokeMethod(&dialog, "accept");
    });
}

}  // namespace

// "export_longest ms" and "export_total ms" of one workbook export of
// `path` from the editor's menu; false when it wrote nothing.
bool DashboardExportFigures(const std::string& path)
{
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    TMainForm form;
    form.FormCreate({PathToQString(path)});
    form.show();
    QApplication::processEvents();
    const QString target = settings.filePath(FromUtf8("large.xlsx"));
    AnswerExportDialogs(target);
    QElapsedTimer total;
    total.start();
    TAnswerWatch watch(&form);
    form.Action("ExportXlsxItem")->trigger();
    const double ms = double(total.nsecsElapsed()) / 1e6;
    const double longest = watch.Stop();
    std::printf("export_longest %.3f\nexport_total %.3f\n", longest, ms);
    return QFile::exists(target);
}

}  // namespace quorvil::bench
