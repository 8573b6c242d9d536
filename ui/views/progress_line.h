#pragma once
// The progress of long work in the status line: a bar that appears once the
// work has taken about half a second, and a Cancel button where stopping
// leaves every file as it was. The work runs on this thread; the bar is moved
// from its progress steps, which also let the window repaint and the Cancel
// button be pressed while every other input waits.
#include "progress.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class QProgressBar;
class QToolButton;

namespace quorvil {

class TProgressLine : public QWidget {
    Q_OBJECT
public:
    explicit TProgressLine(QWidget* parent = nullptr);
    ~TProgressLine() override;

    // One piece of long work. While it lives, the engine's progress steps
    // move the bar; with `cancellable` the Cancel button stops the work at
    // its next step (the engine then throws ECancelled). A run inside
    // another one adds nothing: the outer one shows.
    class TRun {
    public:
        TRun(TProgressLine* line, bool cancellable);
        ~TRun();
        TRun(const TRun&) = delete;
        TRun& operator=(const TRun&) = delete;
        // The step as work that reports through a callback of its own gives it.
        bool Step(int done, int total);
        bool Cancelled() const;

    private:
        TProgressLine* line_ = nullptr;  // null: an inner run, or none to show
        std::unique_ptr<TProgressWatch> watch_;
    };

    // One step of the running work: moves the bar and lets Cancel be
    // pressed. False once it was; true when no work runs.
    bool Step(int done, int total);
    bool Running() const { return running_; }
    bool Cancelled() const { return cancelled_; }
    // How long work runs before the bar shows, 500 ms unless a test says.
    void SetShowDelay(int milliseconds) { delay_ = milliseconds; }
    // Called at every step while work runs (a test presses Cancel from it).
    void SetStepProbe(std::function<void()> probe) { probe_ = std::move(probe); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Begin(bool cancellable);
    void End();

    QProgressBar* bar_;
    QToolButton* cancel_;
    QElapsedTimer started_;
    QElapsedTimer painted_;
    std::function<void()> probe_;
    int delay_ = 500;
    bool running_ = false;
    bool pumping_ = false;
    bool cancellable_ = false;
    bool cancelled_ = false;
};

}  // namespace quorvil
