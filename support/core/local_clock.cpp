#include "local_clock.h"

#include <ctime>

namespace quorvil {

namespace {

std::optional<TLocalMoment> fixedMoment;

}  // namespace

TLocalMoment LocalNow()
{
    if (fixedMoment)
        return *fixedMoment;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    // A leap second (60) counts as 59: no time of a cell holds 60.
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
            {local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec}};
}

TFixedClock::TFixedClock(const TLocalMoment& moment) : saved_(fixedMoment)
{
    fixedMoment = moment;
}

TFixedClock::~TFixedClock()
{
    fixedMoment = saved_;
}

}  // namespace quorvil
