#include "progress.h"

#include <utility>

namespace quorvil {

namespace {

thread_local TProgressSink current;

}  // namespace

TProgressWatch::TProgressWatch(TProgressSink sink) : previous_(std::exchange(current, std::move(sink))) {}

TProgressWatch::~TProgressWatch()
{
    current = std::move(previous_);
}

void ReportProgress(int done, int total)
{
    if (current && !current(done, total))
        throw ECancelled();
}

}  // namespace quorvil
