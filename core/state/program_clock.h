#pragma once

// The clock the program runs on: the host's tick count while a receiver is
// live, the recording's own GPS time while a raw log is replayed. A replay
// at ten times or at full speed then ages messages, paces data-log rows and
// finds UTC midnight exactly as the receiver's session did, and as the
// offline converters do with the same recording.

#include <cstdint>

#include "core/state/replay_clock.h"

namespace zarnmon {

class CProgramClock final : public ITickClock {
public:
    explicit CProgramClock(const ITickClock& live) : live_(live) {}

    [[nodiscard]] std::uint32_t Now() const override { return replaying_ ? replay_.Now() : live_.Now(); }

    // Starts following a new recording's time from nothing, or returns to the host's clock.
    void FollowRecording(bool on) {
        replaying_ = on;
        replay_ = CReplayClock{};
    }
    [[nodiscard]] bool FollowsRecording() const noexcept { return replaying_; }
    // Every stored message while a recording is followed: messages 1 and 99 move the time.
    void Take(const CMsgHandler& handler) { replay_.Take(handler); }

private:
    const ITickClock& live_;
    CReplayClock replay_;
    bool replaying_ = false;
};

}  // namespace zarnmon
