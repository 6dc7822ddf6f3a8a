#pragma once

// Whether a tracked satellite counts as used in the solution: the rule the
// channel table colours its channels by and the sky plot fills its dots by.
// Message 89 answers for the SBAS satellites it tracks; message 2 answers,
// for GPS channels only, by its GPS mask or its two SBAS slots. A message
// answers only while it flows, so a solution that stopped uses nothing.

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

// Whether messages 2 and 89 were flowing when a view last updated. A view
// samples them once per update, so every channel of a pass sees the same answer.
struct ChannelUse {
    bool msg2Active = false;
    bool msg89Active = false;
};

// Samples the two messages' activity (the non-strict 6000 ms rule).
[[nodiscard]] ChannelUse SampleChannelUse(const CMsgDispatcher& dispatcher);

// prn of a GPS channel (message 99) or, with gpsChannel false, of an SBAS channel (message 89).
[[nodiscard]] bool UsedInSolution(const CMsgDispatcher& dispatcher, const ChannelUse& use, int prn, bool gpsChannel);

}  // namespace zarnmon
