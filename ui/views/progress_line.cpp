#include "progress_line.h"

#include "text_convert.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QToolButton>

namespace quorvil {

namespace {

// Repainting more often than this slows the work for nothing.
constexpr int kPaintInterval = 40;

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
    connect(cancel_, &QToolButton::clicked, this, [this] { cancelled_ = cancellable_; });
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
    cancel_->setVisible(cancellable);
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
}

bool TProgressLine::Step(int done, int total)
{
    if (!running_)
        return true;
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

bool TProgressLine::eventFilter(QObject* watched, QEvent* event)
{
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
