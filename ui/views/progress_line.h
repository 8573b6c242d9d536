#pragma once
// The progress of long work in the status line: a bar that appears once the
// work has taken about half a second, and a Cancel button where stopping
// leaves every file as it was. Work on this thread moves the bar from its
// progress steps, which also let the window repaint and the Cancel button be
// pressed while every other input waits; work run aside keeps the window
// answering throughout, even through a last step that reports nothing.
#include "progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

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
    // Runs `work` on a thread of its own while this thread keeps the window
    // answering, with the input it would take waiting as for work on this
    // thread: the work's progress steps move the bar, Cancel stops it at its
    // next step, and what it throws is thrown here once it has ended. The
    // work must touch no widget and show nothing. Outside a run, or on
    // another thread, `work` simply runs.
    void RunAside(const std::function<void()>& work);
    // How long work runs before the bar shows, 500 ms unless a test says.
    void SetShowDelay(int milliseconds) { delay_ = milliseconds; }
    // Called at every step while work runs (a test presses Cancel from it).
    void SetStepProbe(std::function<void()> probe) { probe_ = std::move(probe); }
    // Called on the work's thread at every step of work run aside, before
    // the step is passed on (a test holds the work there).
    void SetAsideProbe(std::function<void(int done, int total)> probe) { asideProbe_ = std::move(probe); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TAsideSteps;
    void Begin(bool cancellable);
    void End();
    void ShowStep(int done, int total);
    bool AsideStep(const std::shared_ptr<TAsideSteps>& steps, int done, int total);
    void ShowQuiet();
    void CloseWhenIdle(QPointer<QWidget> window);

    QProgressBar* bar_;
    QToolButton* cancel_;
    QElapsedTimer started_;
    QElapsedTimer painted_;
    QElapsedTimer stepped_;
    std::function<void()> probe_;
    std::function<void(int, int)> asideProbe_;
    QPointer<QWidget> closeLater_;  // a window whose closing waits for the work
    int delay_ = 500;
    bool running_ = false;
    bool pumping_ = false;
    bool aside_ = false;
    bool cancellable_ = false;
    std::atomic<bool> cancelled_ = false;  // read by work run aside
};

}  // namespace quorvil
