#include "core/state/replay_clock.h"

#include <cmath>

#include "core/link/gps_time.h"
#include "core/link/replay_index.h"

namespace zarnmon {

void CReplayClock::Take(const CMsgHandler& handler) {
    if (const auto time = TimeTagOf(handler)) {
        TakeGpsTime(time->week, time->secondsOfWeek);
    }
}

void CReplayClock::TakeGpsTime(std::int32_t week, double secondsOfWeek) {
    // A time of week outside the week is damage, not time.
    if (!(secondsOfWeek >= 0.0 && secondsOfWeek < kSecondsPerWeek)) {
        return;
    }
    const std::int64_t ms =
        std::int64_t{week} * kSecondsPerWeek * 1000 + static_cast<std::int64_t>(std::llround(secondsOfWeek * 1000.0));
    if (ms > latestMs_) {
        latestMs_ = ms;
    }
}

}  // namespace zarnmon
