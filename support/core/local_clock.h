#pragma once
// The one place the program reads the local date and time, so that a test
// can fix the moment that new records and edits are stamped with.
#include "date_text.h"

#include <optional>

namespace quorvil {

struct TLocalMoment {
    TCivilDate Date;
    TClockTime Time;
    bool operator==(const TLocalMoment&) const = default;
};

// The local date and time now, to the second; the fixed moment while a
// TFixedClock lives.
TLocalMoment LocalNow();

// Makes LocalNow answer `moment` for a scope, and restores the clock on the
// way out (also when an exception passes).
class TFixedClock {
public:
    explicit TFixedClock(const TLocalMoment& moment);
    ~TFixedClock();
    TFixedClock(const TFixedClock&) = delete;
    TFixedClock& operator=(const TFixedClock&) = delete;

private:
    std::optional<TLocalMoment> saved_;
};

}  // namespace quorvil
