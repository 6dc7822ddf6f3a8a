#include "core/state/replay_clock.h"

#include <cmath>

#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"

namespace zarnmon {

void CReplayClock::Take(const CMsgHandler& handler) {
    const std::string_view name = handler.Name();
    if (name == "Msg1") {
        const Msg1View msg1(handler.LastMessage());
        TakeGpsTime(msg1.GpsWeek(), msg1.GpsTimeOfWeek());
    } else if (name == "Msg99") {
        const Msg99View msg99(handler.LastMessage());
        TakeGpsTime(msg99.GpsWeek(), msg99.GpsTimeOfWeek());
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
