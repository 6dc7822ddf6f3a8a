#pragma once

// The receiver's processing statistics of the last message 97, with two
// counters of the program itself: what the statistics view shows.

#include <cstdint>

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

struct ReceiverStatistics {
    double spareCpuPercent = 0.0;
    int missedSubframes = 0;
    int maxSubframesPending = 0;
    int missedAccumulations = 0;
    int missedMeasurements = 0;
    std::uint32_t unprocessedCommBytes = 0;  // bytes the dispatcher dropped
    std::uint32_t debugMessages = 0;         // updates of the first debug message
};

// From the stored message 97 (zeros before one arrives) and the dispatcher's counters.
[[nodiscard]] ReceiverStatistics LoadReceiverStatistics(const CMsgDispatcher& dispatcher);

}  // namespace zarnmon
