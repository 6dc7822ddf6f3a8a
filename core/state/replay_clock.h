#pragma once

// The clock of a replayed recording: the receiver's own GPS time, not the
// host's. It reads the latest GPS time of the messages 1 and 99 taken so far,
// in milliseconds (truncated to the 32-bit tick), so intervals, the 6 s
// "flowing" rule and UTC midnight follow the recording and a conversion
// gives the same output at any replay speed. Before the first timed message
// it reads 0; it never runs backwards, so a message without a time (week 0)
// cannot undo the time already seen.

#include <cstdint>

#include "core/link/msg_handler.h"
#include "core/link/tick_clock.h"

namespace zarnmon {

class CReplayClock final : public ITickClock {
public:
    [[nodiscard]] std::uint32_t Now() const override { return static_cast<std::uint32_t>(latestMs_); }

    // Moves the clock to a stored message's time when it is a message 1 or
    // 99 (told by the handler's name) and later than the time so far.
    void Take(const CMsgHandler& handler);
    // Moves the clock to a GPS week and time of week when later.
    void TakeGpsTime(std::int32_t week, double secondsOfWeek);

    [[nodiscard]] bool HasTime() const noexcept { return latestMs_ > 0; }
    // The whole GPS time in milliseconds, for spans the 32-bit tick cannot hold.
    [[nodiscard]] std::int64_t GpsMs() const noexcept { return latestMs_; }

private:
    std::int64_t latestMs_ = 0;
};

}  // namespace zarnmon
