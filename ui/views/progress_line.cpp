#include "progress_line.h"

#include "command_guard.h"
#include "text_convert.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <exception>

namespace quorvil {

namespace {

// Repainting more often than this slows the work for nothing.
constexpr int kPaintInterval = 40;
// Work run aside that has reported no step for this long is in a step that
// cannot report (a file being compressed as it closes): the bar shows it busy.
constexpr int kQuietInterval = 300;

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Drop:
    case QEvent::Close:
    case QEvent::ContextMenu: return true;
    default: return false;
    }
}

}  // namespace

TProgressLine::TProgressLine(QWidget* parent)
    : QWidget(parent), bar_(new QProgressBar(this)), cancel_(new QToolButton(this))
{
    setObjectName(FromUtf8("ProgressLine"));
    bar_->setObjectName(FromUtf8("ProgressBar"));
    bar_->setMaximumWidth(240);
    cancel_->setObjectName(FromUtf8("CancelProgressBtn"));
    cancel_->setText(FromUtf8("Cancel"));
    cancel_->setToolTip(FromUtf8("Stop; the file stays as it was"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    layout->addWidget(cancel_);
    connect(cancel_, &QToolButton::clicked, this, [this] {
        cancelled_ = cancellable_;
        // Work run aside stops at its next step, which may be a while away.
        cancel_->setEnabled(!cancelled_);
    });
    hide();
}

TProgressLine::~TProgressLine()
{
    End();
}

void TProgressLine::Begin(bool cancellable)
{
    running_ = true;
    cancellable_ = cancellable;
    cancelled_ = false;
    started_.start();
    painted_.invalidate();
    bar_->reset();
    bar_->resetFormat();
    cancel_->setVisible(cancellable);
    cancel_->setEnabled(true);
    // The work's own steps process events: only the Cancel button listens.
    qApp->installEventFilter(this);
}

void TProgressLine::End()
{
    if (!running_)
        return;
    qApp->removeEventFilter(this);
    running_ = false;
    cancellable_ = false;
    hide();
    if (closeLater_)
        CloseWhenIdle(closeLater_);
    closeLater_ = nullptr;
}

// The command that ran the work has its own end to reach (its status text,
// its files) before the window may close.
void TProgressLine::CloseWhenIdle(QPointer<QWidget> window)
{
    QTimer::singleShot(CommandRunning() ? kPaintInterval : 0, this, [this, window] {
        if (window && (CommandRunning() || running_))
            CloseWhenIdle(window);
        else if (window)
            window->close();
    });
}

bool TProgressLine::Step(int done, int total)
{
    if (!running_)
        return true;
    if (aside_)  // the bar follows the work's own steps
        return !cancelled_;
    if (probe_)
        probe_();
    if (isHidden() && started_.elapsed() >= delay_)
        show();
    if (!isHidden() && (!painted_.isValid() || painted_.elapsed() >= kPaintInterval || done >= total)) {
        bar_->setRange(0, total);
        bar_->setValue(done);
        painted_.start();
        // Input to anything but Cancel is dropped here: a command must not
        // start inside another one. A message the work shows has its own loop.
        pumping_ = true;
        QApplication::processEvents();
        pumping_ = false;
    }
    return !cancelled_;
}

// What the steps of work run aside hand to this thread: the latest one, and
// whether a call to show it is on its way already.
struct TProgressLine::TAsideSteps {
    std::atomic<int> Done = 0;
    std::atomic<int> Total = 0;
    std::atomic<bool> Posted = false;
};

void TProgressLine::RunAside(const std::function<void()>& work)
{
    if (!running_ || aside_ || QThread::currentThread() != thread()) {
        work();
        return;
    }
    const auto steps = std::make_shared<TAsideSteps>();
    std::exception_ptr failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        const TProgressWatch watch([this, steps](int done, int total) { return AsideStep(steps, done, total); });
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer quiet;
    connect(&quiet, &QTimer::timeout, this, &TProgressLine::ShowQuiet);
    aside_ = true;
    pumping_ = true;
    stepped_.start();
    worker->start();
    quiet.start(kPaintInterval);
    loop.exec();
    worker->wait();
    pumping_ = false;
    aside_ = false;
    if (failure)
        std::rethrow_exception(failure);
}

// On the work's thread: the step goes to this thread, one call at a time.
bool TProgressLine::AsideStep(const std::shared_ptr<TAsideSteps>& steps, int done, int total)
{
    if (asideProbe_)
        asideProbe_(done, total);
    steps->Done = done;
    steps->Total = total;
    if (!steps->Posted.exchange(true))
        QMetaObject::invokeMethod(
            this,
            [this, steps] {
                steps->Posted = false;
                ShowStep(steps->Done, steps->Total);
            },
            Qt::QueuedConnection);
    return !cancelled_;
}

void TProgressLine::ShowStep(int done, int total)
{
    if (!aside_)
        return;
    stepped_.start();
    if (probe_)
        probe_();
    if (isHidden() && started_.elapsed() >= delay_)
        show();
    bar_->setRange(0, total);
    bar_->setValue(done);
}

void TProgressLine::ShowQuiet()
{
    if (isHidden() && started_.elapsed() >= delay_)
        show();
    if (stepped_.elapsed() >= kQuietInterval)
        bar_->setRange(0, 0);
}

bool TProgressLine::eventFilter(QObject* watched, QEvent* event)
{
    // A window closed while work runs closes once it has ended: closing it
    // now would pull the database from under the work.
    if (pumping_ && event->type() == QEvent::Close && watched == window()) {
        event->ignore();
        closeLater_ = window();
        bar_->setFormat(FromUtf8("%p% - closing when done"));
        return true;
    }
    // The window passes input on to its widgets, and a key to the action of
    // its shortcut: those are where it stops.
    const bool target = watched->isWidgetType() || event->type() == QEvent::Shortcut;
    if (pumping_ && target && watched != cancel_ && IsInput(event->type()))
        return true;
    return QWidget::eventFilter(watched, event);
}

TProgressLine::TRun::TRun(TProgressLine* line, bool cancellable)
{
    if (!line || line->Running())
        return;
    line_ = line;
    line_->Begin(cancellable);
    watch_ = std::make_unique<TProgressWatch>([line](int done, int total) { return line->Step(done, total); });
}

TProgressLine::TRun::~TRun()
{
    watch_.reset();
    if (line_)
        line_->End();
}

bool TProgressLine::TRun::Step(int done, int total)
{
    return !line_ || line_->Step(done, total);
}

bool TProgressLine::TRun::Cancelled() const
{
    return line_ && line_->Cancelled();
}

}  // namespace quorvil
