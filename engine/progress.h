#pragma once
// Progress of long work (loading, writing, exporting), reported from the
// loops that do it to whoever watches, who may also ask it to stop. The
// watcher is installed for one thread around the work, so the loops need no
// parameter for it and a program without a watcher pays one test per step.
#include <functional>
#include <stdexcept>

namespace quorvil {

// Thrown by ReportProgress when the watcher asked to stop. Writers throw it
// before their temporary file takes the place of the target, so work that
// stops this way has replaced no file.
class ECancelled : public std::runtime_error {
public:
    ECancelled() : std::runtime_error("Cancelled") {}
};

// Told that `done` of `total` steps are finished; returns false to stop.
using TProgressSink = std::function<bool(int done, int total)>;

// Installs `sink` as this thread's watcher while it lives; the watcher
// before it comes back afterwards. An empty sink silences the work inside.
class TProgressWatch {
public:
    explicit TProgressWatch(TProgressSink sink);
    ~TProgressWatch();
    TProgressWatch(const TProgressWatch&) = delete;
    TProgressWatch& operator=(const TProgressWatch&) = delete;

private:
    TProgressSink previous_;
};

// Passes the step on to the watcher; throws ECancelled when it says stop.
void ReportProgress(int done, int total);

}  // namespace quorvil
